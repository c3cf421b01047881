#include "platform/Registry.h"

#include <windows.h>

#include <cstring>

#include "platform/win32/Handles.h"

namespace quenlow {
namespace {

constexpr REGSAM kReadAccess = KEY_READ | KEY_WOW64_32KEY;

UniqueKey OpenSettingsKey(const char* keyPath) {
  HKEY key = nullptr;
  if (::RegOpenKeyExA(HKEY_LOCAL_MACHINE, keyPath, 0, kReadAccess, &key) != ERROR_SUCCESS) return {};
  return UniqueKey(key);
}

// A registry string need not carry its terminator; a text without one inside the buffer
// does not fit.
bool HasTerminator(const char* buffer, std::size_t size) { return std::memchr(buffer, '\0', size) != nullptr; }

}  // namespace

int RegReadDword(const char* keyPath, const char* valueName, std::uint32_t* out) {
  if (!keyPath || !valueName || !out) return 0;
  UniqueKey key = OpenSettingsKey(keyPath);
  if (!key) return 0;
  DWORD type = 0;
  DWORD value = 0;
  DWORD size = sizeof value;
  if (::RegQueryValueExA(key.get(), valueName, nullptr, &type, reinterpret_cast<BYTE*>(&value), &size) !=
          ERROR_SUCCESS ||
      type != REG_DWORD)
    return 0;
  *out = value;
  return 1;
}

int RegReadDocumentsFolder(char* buffer) {
  if (!buffer) return 0;
  UniqueKey key = OpenSettingsKey(kGeneralKey);
  if (!key) return 0;
  char text[kDocumentsFolderBufferSize] = {};
  DWORD type = 0;
  DWORD size = sizeof text;
  if (::RegQueryValueExA(key.get(), kDocumentsValue, nullptr, &type, reinterpret_cast<BYTE*>(text), &size) !=
          ERROR_SUCCESS ||
      !HasTerminator(text, sizeof text))
    return 0;
  if (type == REG_SZ) {
    std::memcpy(buffer, text, sizeof text);
    return 1;
  }
  if (type != REG_EXPAND_SZ) return 0;
  char expanded[kDocumentsFolderBufferSize] = {};
  DWORD needed = ::ExpandEnvironmentStringsA(text, expanded, sizeof expanded);
  if (needed < 1 || needed > sizeof expanded) return 0;
  std::memcpy(buffer, expanded, sizeof expanded);
  return 1;
}

}  // namespace quenlow
