// CNorvikApp: start-up of the controller, the one command-line switch and the folder set.
#pragma once

#include <windows.h>

#include <string>

#include "app/framework/WinApp.h"
#include "platform/FolderSet.h"
#include "platform/win32/ShellFolder.h"

namespace quenlow {

class CNorvikDlg;

class CNorvikApp : public CWinAppEx {
 public:
  BOOL InitInstance() override;
};

// The first argument of the argument text (the text after the program name), or empty.
std::wstring FirstArgument(const wchar_t* argumentText);

// Whether the first argument keeps the dialog on top: it begins with "-".
bool IsKeepOnTopSwitch(const std::wstring& firstArgument);

// Resolves the three folders into the dialog, in the order the program always uses.
void ResolveFolderSet(CNorvikDlg& dialog);

}  // namespace quenlow
