// Conversions between the program's wide strings and 8-bit UTF-8 text.
//
// The conversion works by code point, so it gives the same bytes whether wchar_t holds
// UTF-16 (Windows) or UTF-32 (Linux). Like the system converter, an unpaired surrogate
// becomes U+FFFD. Every capacity counts the terminating zero byte of the fixed buffer the
// text is meant for: a text that does not fit is unavailable, never cut.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace quenlow {

// Converts `text` to UTF-8 into `out` when the bytes fit a buffer of `capacity` bytes
// together with a terminator (at most capacity - 1 bytes of text). On false `out` is left
// unchanged.
[[nodiscard]] bool WideToUtf8(std::wstring_view text, std::size_t capacity, std::string& out);

// Converts without a limit.
std::string WideToUtf8(std::wstring_view text);

// Decodes UTF-8 into wide characters; malformed sequences become U+FFFD.
std::wstring Utf8ToWide(std::string_view text);

}  // namespace quenlow
