// What the doctor reads from a Windows executable image: its machine type and the file
// version of its version resource. Portable: the headers are read as bytes.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <system_error>

namespace quenlow {

constexpr std::uint16_t kMachineX64 = 0x8664;

struct PeImage {
  bool readable = false;  // the file could be read at all
  std::error_code error;  // why not
  bool isPe = false;      // "MZ" and "PE\0\0" headers that fit the file
  std::uint16_t machine = 0;
  std::optional<std::string> version;  // "1.2.3.4" from VS_FIXEDFILEINFO, when there is one
  std::string malformed;               // what is wrong with a resource section that cannot be walked
};

PeImage ReadPeImage(const std::wstring& path);

// The version attribute of the root element of an XML file (CyberLink's manifests), if any.
std::optional<std::string> ReadXmlVersion(const std::wstring& path);

}  // namespace quenlow
