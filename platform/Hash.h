// Checksums for the backups a reset keeps.
#pragma once

#include <string>
#include <string_view>

namespace quenlow {

// The SHA-256 digest of the bytes, as 64 lower-case hexadecimal digits. From the system's
// own cryptography (CNG on Windows, OpenSSL's libcrypto elsewhere).
std::string Sha256Hex(std::string_view bytes);

}  // namespace quenlow
