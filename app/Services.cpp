#include "app/Services.h"

#include <shellapi.h>

namespace quenlow {
namespace {

class CSystemServices final : public CUserServices {
 public:
  int ShowMessageBox(HWND owner, const std::wstring& text, const std::wstring& caption, UINT type) override {
    return ::MessageBoxW(owner, text.c_str(), caption.c_str(), type);
  }

  POINT CursorPosition() override {
    POINT at{};
    ::GetCursorPos(&at);
    return at;
  }

  UINT ShowPopupMenu(HMENU menu, UINT flags, POINT at, HWND owner) override {
    return static_cast<UINT>(::TrackPopupMenu(menu, flags, at.x, at.y, 0, owner, nullptr));
  }

  void OpenWithShell(HWND owner, const wchar_t* verb, const std::wstring& file, int show) override {
    ::ShellExecuteW(owner, verb, file.c_str(), nullptr, nullptr, show);
  }

  bool IsCtrlDown() override { return (::GetKeyState(VK_CONTROL) & 0x8000) != 0; }
};

}  // namespace

CUserServices& SystemServices() {
  static CSystemServices services;
  return services;
}

}  // namespace quenlow
