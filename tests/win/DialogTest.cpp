// The main dialog in-process: its template, texts, list and the render-engine choice.
#include <gtest/gtest.h>

#include <filesystem>

#include "../unit/EngineFileBytes.h"
#include "DialogFixture.h"
#include "app/InfoText.h"
#include "settings/Settings.h"

namespace quenlow::test {
namespace {

const std::wstring kMirror = L"\\Quenlow\\FX\\System\\lm.regr";

std::wstring ClassOf(HWND window) {
  wchar_t name[64] = {};
  ::GetClassNameW(window, name, 64);
  return name;
}

using DialogTest = DialogFixture;

TEST_F(DialogTest, TemplateMatchesTheLayout) {
  ASSERT_TRUE(Open());
  wchar_t caption[128] = {};
  ::GetWindowTextW(hwnd, caption, 128);
  EXPECT_STREQ(caption, L"Quenlow FX Controller -- CyberLink, Magix and VEGAS/OFX");
  const auto style = static_cast<DWORD>(::GetWindowLongPtrW(hwnd, GWL_STYLE));
  EXPECT_TRUE(style & WS_CAPTION);
  EXPECT_TRUE(style & WS_POPUP);
  EXPECT_FALSE(style & WS_SYSMENU) << "no close box";
  EXPECT_TRUE(::GetWindowLongPtrW(hwnd, GWL_EXSTYLE) & WS_EX_APPWINDOW);

  const struct {
    int id;
    const wchar_t* className;
    const wchar_t* text;
    DWORD style;  // bits that must be set
    RECT units;   // x, y, width, height in dialog units
  } controls[] = {
      {IDC_STATIC, L"Button", L"Info", BS_GROUPBOX, {6, 6, 368, 88}},
      {IDC_INFO_LINK, L"SysLink", nullptr, WS_TABSTOP, {12, 18, 360, 72}},
      {IDC_RENDERER_GROUP, L"Button", L"Render Engine", BS_GROUPBOX, {6, 102, 368, 88}},
      {IDC_RENDERER_LINK, L"SysLink", nullptr, WS_TABSTOP, {12, 132, 360, 54}},
      {IDC_RENDERER_LABEL, L"Static", L"Default Renderer:", SS_CENTER | WS_GROUP, {126, 116, 72, 10}},
      {IDC_VERSION_TEXT, L"Static", L"Version 1.00", SS_LEFT | WS_GROUP, {12, 116, 104, 10}},
      // The combo box hands WS_VSCROLL on to its list; checked there below.
      {IDC_RENDERER_COMBO, L"ComboBox", nullptr, CBS_DROPDOWNLIST | WS_TABSTOP, {204, 114, 114, 14}},
      {IDC_EXPORT_REPORT, L"Button", L"Export Text Report", WS_TABSTOP, {6, 192, 84, 14}},
      {IDOK, L"Button", L"OK", BS_DEFPUSHBUTTON | WS_TABSTOP, {270, 192, 50, 14}},
      {IDCANCEL, L"Button", L"Cancel", WS_TABSTOP, {324, 192, 50, 14}},
  };
  // Tab order is template order.
  HWND child = ::GetWindow(hwnd, GW_CHILD);
  for (const auto& c : controls) {
    SCOPED_TRACE(c.id);
    ASSERT_TRUE(child);
    EXPECT_EQ(::GetDlgCtrlID(child), c.id);
    EXPECT_EQ(ClassOf(child), c.className);
    if (c.text) {
      wchar_t text[64] = {};
      ::GetWindowTextW(child, text, 64);
      EXPECT_STREQ(text, c.text);
    }
    const auto controlStyle = static_cast<DWORD>(::GetWindowLongPtrW(child, GWL_STYLE));
    EXPECT_EQ(controlStyle & c.style, c.style);
    // The dialog manager converts position and size each on its own.
    RECT position = {c.units.left, c.units.top, 0, 0};
    RECT size = {0, 0, c.units.right, c.units.bottom};
    ::MapDialogRect(hwnd, &position);
    ::MapDialogRect(hwnd, &size);
    RECT actual{};
    ::GetWindowRect(child, &actual);
    ::MapWindowPoints(nullptr, hwnd, reinterpret_cast<POINT*>(&actual), 2);
    EXPECT_EQ(actual.left, position.left);
    EXPECT_EQ(actual.top, position.top);
    EXPECT_EQ(actual.right - actual.left, size.right);
    if (c.id != IDC_RENDERER_COMBO) {  // a closed combo box is as high as its selection field
      EXPECT_EQ(actual.bottom - actual.top, size.bottom);
    }
    child = ::GetWindow(child, GW_HWNDNEXT);
  }
  EXPECT_EQ(child, nullptr);

  COMBOBOXINFO combo{};
  combo.cbSize = sizeof combo;
  ASSERT_TRUE(::GetComboBoxInfo(Item(IDC_RENDERER_COMBO), &combo));
  EXPECT_TRUE(::GetWindowLongPtrW(combo.hwndList, GWL_STYLE) & WS_VSCROLL);
  EXPECT_FALSE(::GetWindowLongPtrW(Item(IDC_RENDERER_COMBO), GWL_STYLE) & CBS_SORT);
}

TEST_F(DialogTest, ListHoldsTheFiveEnginesAndShowsTheDefault) {
  ASSERT_TRUE(Open());
  HWND list = Item(IDC_RENDERER_COMBO);
  // The list comes from the resource the build generates from the engine table.
  ASSERT_EQ(::SendMessageW(list, CB_GETCOUNT, 0, 0), kRenderEngineCount);
  for (int i = 0; i < kRenderEngineCount; ++i) {
    wchar_t text[32] = {};
    ::SendMessageW(list, CB_GETLBTEXT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(text));
    EXPECT_STREQ(text, kRenderEngines[i].name);
  }
  EXPECT_EQ(Selection(), 3);
  EXPECT_EQ(dialog->m_nRenderer, 3);
}

TEST_F(DialogTest, LinkTextsCarryTheResolvedHelpFolder) {
  ASSERT_TRUE(Open());
  const std::wstring info = Text(IDC_INFO_LINK);
  EXPECT_EQ(info, BuildInfoText(programFiles.root()));
  EXPECT_EQ(info.rfind(L"<a href=\"ob\">Orbitale</a>   <a href=\"vl\">Velumen</a>   <a href=\"fd\">Fondara</a>   "
                       L"<a href=\"tv\">Taviro</a>   <a href=\"cv\">Corvane Tools</a>   <a href=\"br\">Brisavo</a>   "
                       L"<a href=\"cn\">Celluna</a>\n\nClick PlugIn names",
                       0),
            0u);
  EXPECT_NE(info.find(L"<a href=\"" + programFiles.root() +
                      L"\\Quenlow\\FX\\Help\">Start > Quenlow FX</a> menu. "
                      L"For FAQs and technicall support  <a href=\""),
            std::wstring::npos);
  EXPECT_EQ(info.find(L"C:\\Program Files\\Quenlow"), std::wstring::npos);
  EXPECT_NE(info.find(L"/help.htm\">click here</a>. Check for newer versions <a href=\""), std::wstring::npos);
  EXPECT_NE(info.find(L"/versions.htm\">here</a>. You can access this app ANYTIME from your Start > Quenlow FX menu."),
            std::wstring::npos);
  const std::wstring renderer = Text(IDC_RENDERER_LINK);
  EXPECT_EQ(renderer.rfind(L"Switch the render engine to a different renderer", 0), 0u);
  EXPECT_NE(renderer.find(L"paste the exported text into our <a href=\"https://www.quenlow.com/"
                          L"help-tech-support-form.htm\">contact form</a>."),
            std::wstring::npos);
}

TEST_F(DialogTest, TopmostOnlyWithTheSwitch) {
  ASSERT_TRUE(Open(0));
  EXPECT_FALSE(::GetWindowLongPtrW(hwnd, GWL_EXSTYLE) & WS_EX_TOPMOST);
  dialog.reset();
  ASSERT_TRUE(Open(1));
  EXPECT_TRUE(::GetWindowLongPtrW(hwnd, GWL_EXSTYLE) & WS_EX_TOPMOST);
}

TEST_F(DialogTest, OkStoresAChangedEngineUnderTheFourKeys) {
  docs.MakeFolder(L"\\Quenlow\\FX\\System");
  ASSERT_TRUE(Open());
  Select(0);
  Press(IDOK);
  EXPECT_EQ(docs.Read(kMirror), EngineFileBytes(2, 0)) << "Cg: DefaultRenderer 2, DirectRenderer 0";
  dialog.reset();
  ASSERT_TRUE(Open());
  EXPECT_EQ(Selection(), 0) << "reopened, the dialog shows Cg";
}

TEST_F(DialogTest, UnchangedOkAndCancelWriteNothing) {
  docs.MakeFolder(L"\\Quenlow\\FX\\System");
  ASSERT_TRUE(Open());
  Press(IDOK);
  EXPECT_FALSE(docs.Exists(kMirror)) << "OK with the shown engine creates no file";

  dialog.reset();
  ASSERT_TRUE(Open());
  Select(1);
  Press(IDCANCEL);
  EXPECT_FALSE(docs.Exists(kMirror));

  const std::string stored = "KEY:SOFTWARE\\Quenlow Software\\FX\\DefaultRenderer\nVAL:2\n";
  docs.Write(kMirror, stored);
  const auto stamp = std::filesystem::last_write_time(docs.FsPath(kMirror)) - std::chrono::hours(1);
  std::filesystem::last_write_time(docs.FsPath(kMirror), stamp);
  dialog.reset();
  ASSERT_TRUE(Open());
  EXPECT_EQ(Selection(), 1);
  Press(IDOK);
  EXPECT_EQ(docs.Read(kMirror), stored);
  EXPECT_EQ(std::filesystem::last_write_time(docs.FsPath(kMirror)), stamp);
}

TEST_F(DialogTest, EngineOutsideTheListShowsNoSelection) {
  const std::string stored = "KEY:SOFTWARE\\Quenlow Software\\FX\\DefaultRenderer\r\nVAL:5\r\n";
  docs.Write(kMirror, stored);
  ASSERT_TRUE(Open());
  EXPECT_EQ(dialog->m_nRenderer, 5);
  EXPECT_EQ(Selection(), CB_ERR);
  Press(IDOK);
  EXPECT_EQ(docs.Read(kMirror), stored);
}

TEST_F(DialogTest, FileHeldOpenByAPluginIsNotReplaced) {
  const std::string stored = "KEY:SOFTWARE\\Quenlow Software\\FX\\DefaultRenderer\r\nVAL:2\r\n";
  docs.Write(kMirror, stored);
  HANDLE held = ::CreateFileW(docs.Path(kMirror).c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
  ASSERT_NE(held, INVALID_HANDLE_VALUE);
  ASSERT_TRUE(Open());
  EXPECT_EQ(Selection(), 3) << "the file could not be read";
  Select(4);
  Press(IDOK);
  ::CloseHandle(held);
  EXPECT_EQ(docs.Read(kMirror), stored);
}

}  // namespace
}  // namespace quenlow::test
