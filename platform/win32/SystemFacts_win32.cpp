#include "platform/SystemFacts.h"

#include <windows.h>

#include <cwchar>

#include "platform/TextConvert.h"
#include "platform/win32/Handles.h"

namespace quenlow {
namespace {

// Byte limits of the report's fixed buffers, terminators included.
constexpr std::size_t kProductNameUnits = 40;  // 80 bytes as read from the registry
constexpr std::size_t kOsNameCapacity = 128;
constexpr std::size_t kAdapterNameCapacity = 80;

void ReadOsName(std::string& name) {
  OSVERSIONINFOW version{};
  version.dwOSVersionInfoSize = sizeof version;
  if (::GetVersionExW(&version) && version.dwMajorVersion >= 5) name = "XP or later";

  HKEY opened = nullptr;
  if (::RegOpenKeyExW(HKEY_LOCAL_MACHINE, L"SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion", 0, KEY_QUERY_VALUE,
                      &opened) != ERROR_SUCCESS)
    return;
  UniqueKey key(opened);
  wchar_t product[kProductNameUnits] = {};
  DWORD size = sizeof product;
  if (::RegQueryValueExW(key.get(), L"ProductName", nullptr, nullptr, reinterpret_cast<BYTE*>(product), &size) !=
      ERROR_SUCCESS)
    return;
  // The registry need not store the terminator: a name that fills the buffer does not fit.
  if (!std::wmemchr(product, L'\0', kProductNameUnits)) return;
  std::string utf8;
  if (!WideToUtf8(product, kOsNameCapacity, utf8)) return;
  wchar_t build[16] = {};
  DWORD buildSize = sizeof build - sizeof(wchar_t);
  unsigned long buildNumber = 0;
  if (::RegQueryValueExW(key.get(), L"CurrentBuildNumber", nullptr, nullptr, reinterpret_cast<BYTE*>(build),
                         &buildSize) == ERROR_SUCCESS)
    buildNumber = std::wcstoul(build, nullptr, 10);
  name = ReportedProductName(utf8, buildNumber);
}

void ReadAdapterName(std::string& name) {
  DISPLAY_DEVICEW device{};
  device.cb = sizeof device;
  if (!::EnumDisplayDevicesW(nullptr, 0, &device, 0)) return;
  (void)WideToUtf8(device.DeviceString, kAdapterNameCapacity, name);
}

void ReadScreen(SystemFacts& facts) {
  HDC screen = ::GetDC(nullptr);
  if (!screen) return;
  facts.screenWidth = ::GetDeviceCaps(screen, HORZRES);
  facts.screenHeight = ::GetDeviceCaps(screen, VERTRES);
  facts.dpiX = ::GetDeviceCaps(screen, LOGPIXELSX);
  facts.dpiY = ::GetDeviceCaps(screen, LOGPIXELSY);
  ::ReleaseDC(nullptr, screen);
}

}  // namespace

SystemFacts GatherSystemFacts() {
  SystemFacts facts;
  ReadOsName(facts.osName);
  ReadAdapterName(facts.adapterName);
  ReadScreen(facts);
  return facts;
}

}  // namespace quenlow
