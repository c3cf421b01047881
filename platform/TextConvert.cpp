#include "platform/TextConvert.h"

#include <cstdint>

namespace quenlow {
namespace {

constexpr char32_t kReplacement = 0xFFFD;

bool IsHighSurrogate(char32_t c) { return c >= 0xD800 && c <= 0xDBFF; }
bool IsLowSurrogate(char32_t c) { return c >= 0xDC00 && c <= 0xDFFF; }

// Takes the code point at `i` and advances past it. Surrogate pairs are joined whatever the
// width of wchar_t, so both builds see the same code points.
char32_t NextCodePoint(std::wstring_view text, std::size_t& i) {
  char32_t c = static_cast<char32_t>(static_cast<std::make_unsigned_t<wchar_t>>(text[i++]));
  if (IsHighSurrogate(c)) {
    if (i < text.size()) {
      char32_t low = static_cast<char32_t>(static_cast<std::make_unsigned_t<wchar_t>>(text[i]));
      if (IsLowSurrogate(low)) {
        ++i;
        return 0x10000 + ((c - 0xD800) << 10) + (low - 0xDC00);
      }
    }
    return kReplacement;
  }
  if (IsLowSurrogate(c) || c > 0x10FFFF) return kReplacement;
  return c;
}

void AppendUtf8(char32_t c, std::string& out) {
  if (c < 0x80) {
    out += static_cast<char>(c);
  } else if (c < 0x800) {
    out += static_cast<char>(0xC0 | (c >> 6));
    out += static_cast<char>(0x80 | (c & 0x3F));
  } else if (c < 0x10000) {
    out += static_cast<char>(0xE0 | (c >> 12));
    out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (c & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | (c >> 18));
    out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
    out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (c & 0x3F));
  }
}

void AppendWide(char32_t c, std::wstring& out) {
  if constexpr (sizeof(wchar_t) == 2) {
    if (c >= 0x10000) {
      c -= 0x10000;
      out += static_cast<wchar_t>(0xD800 + (c >> 10));
      out += static_cast<wchar_t>(0xDC00 + (c & 0x3FF));
      return;
    }
  }
  out += static_cast<wchar_t>(c);
}

}  // namespace

bool WideToUtf8(std::wstring_view text, std::size_t capacity, std::string& out) {
  std::string converted = WideToUtf8(text);
  if (capacity == 0 || converted.size() > capacity - 1) return false;
  out = std::move(converted);
  return true;
}

std::string WideToUtf8(std::wstring_view text) {
  std::string out;
  out.reserve(text.size());
  for (std::size_t i = 0; i < text.size();) AppendUtf8(NextCodePoint(text, i), out);
  return out;
}

std::wstring Utf8ToWide(std::string_view text) {
  std::wstring out;
  out.reserve(text.size());
  std::size_t i = 0;
  while (i < text.size()) {
    const auto lead = static_cast<unsigned char>(text[i]);
    int extra = 0;
    char32_t c = 0;
    char32_t min = 0;
    if (lead < 0x80) {
      c = lead;
    } else if ((lead & 0xE0) == 0xC0) {
      extra = 1, c = lead & 0x1F, min = 0x80;
    } else if ((lead & 0xF0) == 0xE0) {
      extra = 2, c = lead & 0x0F, min = 0x800;
    } else if ((lead & 0xF8) == 0xF0) {
      extra = 3, c = lead & 0x07, min = 0x10000;
    } else {
      AppendWide(kReplacement, out);
      ++i;
      continue;
    }
    std::size_t j = i + 1;
    bool valid = true;
    for (int k = 0; k < extra; ++k, ++j) {
      if (j >= text.size() || (static_cast<unsigned char>(text[j]) & 0xC0) != 0x80) {
        valid = false;
        break;
      }
      c = (c << 6) | (static_cast<unsigned char>(text[j]) & 0x3F);
    }
    if (!valid || c < min || c > 0x10FFFF || IsHighSurrogate(c) || IsLowSurrogate(c)) {
      AppendWide(kReplacement, out);
      i = valid ? j : i + 1;
      continue;
    }
    AppendWide(c, out);
    i = j;
  }
  return out;
}

}  // namespace quenlow
