// The report's facts outside Windows: the operating system's name where Wine keeps it in
// the prefix; the display facts keep the report's own fallbacks (no adapter name,
// 1024x768 at 96 DPI), since no display of the prefix's programs is asked.
#include "platform/SystemFacts.h"

#include <cstdlib>

#include "platform/TextConvert.h"
#include "platform/posix/WinePrefix.h"

namespace quenlow {
namespace {

constexpr const char* kWindowsNt = "Software\\Microsoft\\Windows NT\\CurrentVersion";
// As the Windows build reads it: at most 39 UTF-16 units and a terminator.
constexpr std::size_t kProductNameUnits = 40;
constexpr std::size_t kOsNameCapacity = 128;

}  // namespace

SystemFacts GatherSystemFacts() {
  SystemFacts facts;
  if (wine::CurrentPrefix().empty()) return facts;
  // Wine reports itself as a Windows of version 5 or later.
  facts.osName = "XP or later";
  const std::optional<std::string> product = wine::ReadRegistryString("system.reg", kWindowsNt, "ProductName");
  if (!product) return facts;
  const std::wstring wide = Utf8ToWide(*product);
  std::size_t units = 0;
  for (wchar_t c : wide) units += static_cast<unsigned long>(c) > 0xFFFF ? 2 : 1;
  std::string name;
  if (units >= kProductNameUnits || !WideToUtf8(wide, kOsNameCapacity, name)) return facts;
  const std::optional<std::string> build = wine::ReadRegistryString("system.reg", kWindowsNt, "CurrentBuildNumber");
  facts.osName = ReportedProductName(name, build ? std::strtoul(build->c_str(), nullptr, 10) : 0);
  return facts;
}

}  // namespace quenlow
