// A stand-in for the user and the shell: records what the dialog asked and answers as told.
#pragma once

#include <deque>
#include <string>
#include <vector>

#include "app/Services.h"

namespace quenlow::test {

struct MessageBoxCall {
  HWND owner;
  std::wstring text;
  std::wstring caption;
  UINT type;
};

struct MenuCall {
  std::vector<std::pair<UINT, std::wstring>> items;
  UINT flags;
  POINT at;
  HWND owner;
};

struct ShellCall {
  HWND owner;
  std::wstring verb;
  std::wstring file;
  int show;
};

class FakeServices : public CUserServices {
 public:
  int ShowMessageBox(HWND owner, const std::wstring& text, const std::wstring& caption, UINT type) override {
    boxes.push_back({owner, text, caption, type});
    if (answers.empty()) return IDOK;
    int answer = answers.front();
    answers.pop_front();
    return answer;
  }
  POINT CursorPosition() override { return cursor; }
  UINT ShowPopupMenu(HMENU menu, UINT flags, POINT at, HWND owner) override {
    MenuCall call{{}, flags, at, owner};
    for (int i = 0; i < ::GetMenuItemCount(menu); ++i) {
      wchar_t text[64] = {};
      ::GetMenuStringW(menu, static_cast<UINT>(i), text, 64, MF_BYPOSITION);
      call.items.emplace_back(::GetMenuItemID(menu, i), text);
    }
    menus.push_back(call);
    return menuChoice;
  }
  void OpenWithShell(HWND owner, const wchar_t* verb, const std::wstring& file, int show) override {
    shell.push_back({owner, verb, file, show});
  }
  bool IsCtrlDown() override { return ctrlDown; }

  std::deque<int> answers;  // message box answers, in order; IDOK when none are left
  UINT menuChoice = 0;
  POINT cursor{100, 120};
  bool ctrlDown = false;
  std::vector<MessageBoxCall> boxes;
  std::vector<MenuCall> menus;
  std::vector<ShellCall> shell;
};

}  // namespace quenlow::test
