#include "platform/FolderSet.h"

#include <windows.h>
#include <shlobj.h>

#include <cwchar>

#include "platform/win32/Handles.h"
#include "platform/win32/ShellFolder.h"

namespace quenlow {
namespace {

constexpr std::size_t kMinFolderLength = 6;
constexpr std::size_t kMaxFolderLength = 261;

}  // namespace

std::wstring AcceptShellFolder(const wchar_t* shellPath, const std::wstring& defaultPath) {
  if (!shellPath) return defaultPath;
  const std::size_t length = std::wcslen(shellPath);
  if (length < kMinFolderLength || length > kMaxFolderLength) return defaultPath;
  WIN32_FIND_DATAW found;
  UniqueFind search(::FindFirstFileW(shellPath, &found));
  if (!search || !(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) return defaultPath;
  return shellPath;
}

std::wstring ResolveShellFolder(int csidl, const std::wstring& defaultPath) {
  wchar_t path[MAX_PATH] = {};
  if (FAILED(::SHGetFolderPathW(nullptr, csidl, nullptr, SHGFP_TYPE_CURRENT, path))) return defaultPath;
  return AcceptShellFolder(path, defaultPath);
}

std::wstring ResolveProgramFilesX86() { return ResolveShellFolder(CSIDL_PROGRAM_FILESX86, L"C:\\Program Files (x86)"); }

std::wstring ReadOfxPluginPath() {
  wchar_t value[32768];
  const DWORD length = ::GetEnvironmentVariableW(L"OFX_PLUGIN_PATH", value, 32768);
  return length > 0 && length < 32768 ? std::wstring(value, length) : std::wstring();
}

FolderSet ResolveFolderSet() {
  FolderSet folders;
  folders.programFiles = ResolveShellFolder(CSIDL_PROGRAM_FILES, kDefaultProgramFiles);
  folders.commonDocuments = ResolveShellFolder(CSIDL_COMMON_DOCUMENTS, kDefaultCommonDocuments);
  folders.commonAppData = ResolveShellFolder(CSIDL_COMMON_APPDATA, kDefaultCommonAppData);
  return folders;
}

}  // namespace quenlow
