#include "app/framework/WinApp.h"

namespace quenlow {

CWinAppEx* CWinAppEx::s_app = nullptr;

CWinAppEx::CWinAppEx() { s_app = this; }

CWinAppEx::~CWinAppEx() {
  if (s_app == this) s_app = nullptr;
}

int CWinAppEx::Run() {
  if (!s_app) return 1;
  s_app->m_lpCmdLine = SkipProgramName(::GetCommandLineW());
  // A dialog program ends when its dialog closes: InitInstance's FALSE means "done".
  (void)s_app->InitInstance();
  return 0;
}

const wchar_t* SkipProgramName(const wchar_t* commandLine) {
  const wchar_t* p = commandLine ? commandLine : L"";
  if (*p == L'"') {
    ++p;
    while (*p && *p != L'"') ++p;
    if (*p == L'"') ++p;
  } else {
    while (*p && *p != L' ' && *p != L'\t') ++p;
  }
  while (*p == L' ' || *p == L'\t') ++p;
  return p;
}

}  // namespace quenlow
