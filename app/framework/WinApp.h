// CWinAppEx stand-in: the one application object, started from wWinMain.
#pragma once

#include <windows.h>

#include <string>

namespace quenlow {

class CDialog;

class CWinAppEx {
 public:
  CWinAppEx();
  CWinAppEx(const CWinAppEx&) = delete;
  CWinAppEx& operator=(const CWinAppEx&) = delete;
  virtual ~CWinAppEx();

  // Returns FALSE to end the process once start-up is done.
  virtual BOOL InitInstance() { return TRUE; }

  // The framework's per-user profile key; kept, never written to by this program.
  void SetRegistryKey(const wchar_t* key) { m_registryKey = key; }

  // Runs the application object; the result is the process exit code.
  static int Run();

  // The command line after the program name and the blanks that follow it.
  const wchar_t* m_lpCmdLine = L"";
  CDialog* m_pMainWnd = nullptr;

 private:
  std::wstring m_registryKey;
  static CWinAppEx* s_app;
};

// The argument text of a full command line: the program name (quoted or not) and the
// blanks after it are skipped, as the C runtime does for WinMain.
const wchar_t* SkipProgramName(const wchar_t* commandLine);

}  // namespace quenlow
