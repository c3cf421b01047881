#include "settings/NumberText.h"

namespace quenlow {
namespace {

bool IsBlank(char c) { return c == ' ' || (c >= '\t' && c <= '\r'); }

int DigitValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'z') return c - 'a' + 10;
  if (c >= 'A' && c <= 'Z') return c - 'A' + 10;
  return 99;
}

}  // namespace

std::uint32_t ParseUnsigned32(const char* text) {
  if (!text) return 0;
  const char* p = text;
  while (IsBlank(*p)) ++p;
  bool negative = false;
  if (*p == '+' || *p == '-') negative = *p++ == '-';
  int base = 10;
  if (*p == '0') {
    base = 8;
    if (p[1] == 'x' || p[1] == 'X') {
      base = 16;
      p += 2;
    }
  }
  std::uint64_t value = 0;
  bool overflow = false;
  for (int digit; (digit = DigitValue(*p)) < base; ++p) {
    value = value * static_cast<unsigned>(base) + static_cast<unsigned>(digit);
    if (value > UINT32_MAX) {
      overflow = true;
      value = UINT32_MAX;
    }
  }
  if (overflow) return UINT32_MAX;
  auto result = static_cast<std::uint32_t>(value);
  return negative ? static_cast<std::uint32_t>(0u - result) : result;
}

std::string FormatUnsigned32(std::uint32_t value) { return std::to_string(value); }

}  // namespace quenlow
