// Number parsing and formatting for mirror-file values, identical in both builds.
#pragma once

#include <cstdint>
#include <string>

namespace quenlow {

// Parses like the Windows C library's strtoul in base 0 with a 32-bit unsigned long:
// leading blanks, an optional sign, "0x"/"0X" for hexadecimal, a leading 0 for octal.
// Text without digits gives 0, a negative value wraps as unsigned, and a magnitude above
// 4294967295 gives 4294967295. (The system strtoul on Linux works in 64 bits.)
std::uint32_t ParseUnsigned32(const char* text);

// "%u": decimal, no sign, no fill, no leading zeros.
std::string FormatUnsigned32(std::uint32_t value);

}  // namespace quenlow
