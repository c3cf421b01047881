// The exact bytes of an engine mirror file holding only a stored engine choice: the pair
// under the general key and then under each host's key.
#pragma once

#include <cstdint>
#include <string>

namespace quenlow::test {

inline std::string EngineFileBytes(std::uint32_t defaultRenderer, std::uint32_t directRenderer) {
  std::string bytes;
  for (const char* key : {"FX", "FX for OFX", "FX for CyberLink", "FX for Magix"}) {
    bytes += std::string("KEY:SOFTWARE\\Quenlow Software\\") + key +
             "\\DefaultRenderer\r\nVAL:" + std::to_string(defaultRenderer) + "\r\n";
    bytes += std::string("KEY:SOFTWARE\\Quenlow Software\\") + key +
             "\\DirectRenderer\r\nVAL:" + std::to_string(directRenderer) + "\r\n";
  }
  return bytes;
}

}  // namespace quenlow::test
