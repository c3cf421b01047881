#include "app/NorvikApp.h"

#include <commctrl.h>
#include <shellapi.h>
#include <shlobj.h>

#include "app/NorvikDlg.h"
#include "platform/win32/Handles.h"

namespace quenlow {
namespace {

constexpr std::size_t kMinFolderLength = 6;
constexpr std::size_t kMaxFolderLength = 261;

}  // namespace

std::wstring AcceptShellFolder(const wchar_t* shellPath, const std::wstring& defaultPath) {
  if (!shellPath) return defaultPath;
  const std::size_t length = ::wcslen(shellPath);
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

std::wstring FirstArgument(const wchar_t* argumentText) {
  int count = 0;
  UniqueArgv arguments(::CommandLineToArgvW(argumentText, &count));
  return arguments && count >= 1 ? std::wstring(arguments.get()[0]) : std::wstring();
}

bool IsKeepOnTopSwitch(const std::wstring& firstArgument) { return !firstArgument.empty() && firstArgument[0] == L'-'; }

void ResolveFolderSet(CNorvikDlg& dialog) {
  dialog.m_strProgramFiles = ResolveShellFolder(CSIDL_PROGRAM_FILES, L"C:\\Program Files");
  dialog.m_strCommonDocuments = ResolveShellFolder(CSIDL_COMMON_DOCUMENTS, L"C:\\Users\\Public\\Documents");
  dialog.m_strCommonAppData = ResolveShellFolder(CSIDL_COMMON_APPDATA, L"C:\\ProgramData");
}

BOOL CNorvikApp::InitInstance() {
  INITCOMMONCONTROLSEX controls{sizeof controls, ICC_WIN95_CLASSES};
  ::InitCommonControlsEx(&controls);
  CWinAppEx::InitInstance();
  SetRegistryKey(L"Quenlow Software");

  const std::wstring firstArgument = FirstArgument(m_lpCmdLine);
  CNorvikDlg dialog;
  m_pMainWnd = &dialog;
  if (IsKeepOnTopSwitch(firstArgument)) dialog.m_bKeepOnTop = 1;
  ResolveFolderSet(dialog);
  (void)dialog.DoModal();
  m_pMainWnd = nullptr;
  return FALSE;
}

}  // namespace quenlow
