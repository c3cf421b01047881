#include "app/NorvikApp.h"

#include <commctrl.h>
#include <objbase.h>
#include <shellapi.h>

#include "app/NorvikDlg.h"
#include "platform/win32/Handles.h"

namespace quenlow {

std::wstring FirstArgument(const wchar_t* argumentText) {
  int count = 0;
  UniqueArgv arguments(::CommandLineToArgvW(argumentText, &count));
  return arguments && count >= 1 ? std::wstring(arguments.get()[0]) : std::wstring();
}

bool IsKeepOnTopSwitch(const std::wstring& firstArgument) { return !firstArgument.empty() && firstArgument[0] == L'-'; }

void ResolveFolderSet(CNorvikDlg& dialog) {
  FolderSet folders = ResolveFolderSet();
  dialog.m_strProgramFiles = std::move(folders.programFiles);
  dialog.m_strCommonDocuments = std::move(folders.commonDocuments);
  dialog.m_strCommonAppData = std::move(folders.commonAppData);
}

BOOL CNorvikApp::InitInstance() {
  INITCOMMONCONTROLSEX controls{sizeof controls, ICC_WIN95_CLASSES};
  ::InitCommonControlsEx(&controls);
  CWinAppEx::InitInstance();
  SetRegistryKey(L"Quenlow Software");

  // Some shell handlers that open the links and the report need COM on the calling thread.
  const HRESULT com = ::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE);

  const std::wstring firstArgument = FirstArgument(m_lpCmdLine);
  CNorvikDlg dialog;
  m_pMainWnd = &dialog;
  if (IsKeepOnTopSwitch(firstArgument)) dialog.m_bKeepOnTop = 1;
  ResolveFolderSet(dialog);
  (void)dialog.DoModal();
  m_pMainWnd = nullptr;
  if (SUCCEEDED(com)) ::CoUninitialize();
  return FALSE;
}

}  // namespace quenlow
