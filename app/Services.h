// What the dialog asks of the user and the shell: message boxes, the popup menu, the shell's
// open and explore verbs, the Ctrl key. The real implementation calls Win32; the dialog
// tests put a recording fake in its place.
#pragma once

#include <windows.h>

#include <string>

namespace quenlow {

class CUserServices {
 public:
  virtual ~CUserServices() = default;
  virtual int ShowMessageBox(HWND owner, const std::wstring& text, const std::wstring& caption, UINT type) = 0;
  virtual POINT CursorPosition() = 0;
  // Shows the menu and returns the chosen command id, or 0 when it was dismissed.
  virtual UINT ShowPopupMenu(HMENU menu, UINT flags, POINT at, HWND owner) = 0;
  virtual void OpenWithShell(HWND owner, const wchar_t* verb, const std::wstring& file, int show) = 0;
  virtual bool IsCtrlDown() = 0;
};

// The services of the running system.
CUserServices& SystemServices();

}  // namespace quenlow
