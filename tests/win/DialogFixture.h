// Runs the main dialog in-process over temporary folders, with the services fake in place
// of the user and the shell, and sends it the messages the system would.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "../unit/TempTree.h"
#include "FakeServices.h"
#include "app/NorvikDlg.h"
#include "res/resource.h"

namespace quenlow::test {

class DialogFixture : public ::testing::Test {
 protected:
  void TearDown() override { dialog.reset(); }

  HWND Open(int keepOnTop = 0) {
    dialog = std::make_unique<CNorvikDlg>();
    dialog->SetServices(fake);
    dialog->m_strProgramFiles = programFiles.root();
    dialog->m_strCommonDocuments = docs.root();
    dialog->m_strCommonAppData = appData.root();
    dialog->m_bKeepOnTop = keepOnTop;
    hwnd = dialog->Create();
    if (!hwnd) ADD_FAILURE() << "the dialog could not be created: error " << ::GetLastError();
    return hwnd;
  }

  HWND Item(int id) const { return ::GetDlgItem(hwnd, id); }

  void Press(int id) {
    ::SendMessageW(hwnd, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(Item(id)));
  }

  int Selection() const { return static_cast<int>(::SendMessageW(Item(IDC_RENDERER_COMBO), CB_GETCURSEL, 0, 0)); }
  void Select(int index) { ::SendMessageW(Item(IDC_RENDERER_COMBO), CB_SETCURSEL, static_cast<WPARAM>(index), 0); }

  // A link notification as the SysLink control sends it; `iLink` may disagree with the
  // target, as Wine's does for mouse clicks.
  LRESULT Link(int control, int iLink, const std::wstring& target, UINT code = NM_CLICK, HWND from = nullptr) {
    NMLINK link{};
    link.hdr.hwndFrom = from ? from : Item(control);
    link.hdr.idFrom = static_cast<UINT_PTR>(control);
    link.hdr.code = code;
    link.item.iLink = iLink;
    wcsncpy(link.item.szUrl, target.c_str(), L_MAX_URL_LENGTH - 1);
    return ::SendMessageW(hwnd, WM_NOTIFY, static_cast<WPARAM>(control), reinterpret_cast<LPARAM>(&link));
  }

  std::wstring Text(int id) const {
    wchar_t text[4096] = {};
    ::GetWindowTextW(Item(id), text, 4096);
    return text;
  }

  TempTree programFiles;
  TempTree docs;
  TempTree appData;
  FakeServices fake;
  std::unique_ptr<CNorvikDlg> dialog;
  HWND hwnd = nullptr;
};

}  // namespace quenlow::test
