#include <windows.h>
#include <bcrypt.h>

#include "platform/Hash.h"

namespace quenlow {

std::string Sha256Hex(std::string_view bytes) {
  unsigned char digest[32] = {};
  // BCRYPT_SHA256_ALG_HANDLE needs Windows 10; opening the provider works everywhere.
  BCRYPT_ALG_HANDLE algorithm = nullptr;
  if (::BCryptOpenAlgorithmProvider(&algorithm, BCRYPT_SHA256_ALGORITHM, nullptr, 0) != 0) return {};
  BCRYPT_HASH_HANDLE hash = nullptr;
  bool ok = ::BCryptCreateHash(algorithm, &hash, nullptr, 0, nullptr, 0, 0) == 0;
  while (ok && !bytes.empty()) {
    const ULONG chunk = bytes.size() > 0x40000000 ? 0x40000000 : static_cast<ULONG>(bytes.size());
    ok = ::BCryptHashData(hash, reinterpret_cast<PUCHAR>(const_cast<char*>(bytes.data())), chunk, 0) == 0;
    bytes.remove_prefix(chunk);
  }
  ok = ok && ::BCryptFinishHash(hash, digest, sizeof digest, 0) == 0;
  if (hash) ::BCryptDestroyHash(hash);
  ::BCryptCloseAlgorithmProvider(algorithm, 0);
  if (!ok) return {};
  static constexpr char kDigits[] = "0123456789abcdef";
  std::string hex;
  for (unsigned char byte : digest) {
    hex += kDigits[byte >> 4];
    hex += kDigits[byte & 15];
  }
  return hex;
}

}  // namespace quenlow
