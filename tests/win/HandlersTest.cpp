// The link handlers, the resets and the report button, driven in-process with the
// services fake standing in for the user and the shell.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>

#include "DialogFixture.h"
#include "app/InfoText.h"
#include "catalogue/Catalogue.h"

namespace quenlow::test {
namespace {

const std::wstring kSite = kMakerWebSite;
const std::wstring kReport = L"\\Quenlow\\FX\\System\\report.txt";

class HandlersTest : public DialogFixture {
 protected:
  void SetUp() override {
    for (const FamilyInfo& family : kFamilies)
      for (const wchar_t* preset : family.presetFiles) docs.Write(preset, "preset");
    docs.Write(L"\\Quenlow\\FX\\System\\lm.regr", "KEY:SOFTWARE\\Quenlow Software\\FX\\DefaultRenderer\r\nVAL:2\r\n");
    ASSERT_TRUE(Open());
  }

  // Every preset of every family, as the fixture writes them.
  static int AllPresets() {
    int all = 0;
    for (const FamilyInfo& family : kFamilies) all += static_cast<int>(family.presetFiles.size());
    return all;
  }

  int PresetsLeft() const {
    int left = 0;
    for (const FamilyInfo& family : kFamilies)
      for (const wchar_t* preset : family.presetFiles) left += docs.Exists(preset);
    return left;
  }
};

TEST_F(HandlersTest, FamilyMenuAndStatusBox) {
  programFiles.Write(L"\\CyberLink\\Shared files\\PlugIn\\Quenlow\\CES_PlugIn_Quenlow_HTV_ENU.xml", "x");
  dialog.reset();
  ASSERT_TRUE(Open());
  fake.menuChoice = ID_PLUGIN_STATUS;
  EXPECT_EQ(Link(IDC_INFO_LINK, 3, L"tv"), 0);
  ASSERT_EQ(fake.menus.size(), 1u);
  const MenuCall& menu = fake.menus[0];
  ASSERT_EQ(menu.items.size(), 3u);
  EXPECT_EQ(menu.items[0], std::make_pair(UINT{ID_PLUGIN_STATUS}, std::wstring(L"Plugin Info/Status")));
  EXPECT_EQ(menu.items[1], std::make_pair(UINT{ID_RESET_SETTINGS}, std::wstring(L"Reset Settings")));
  EXPECT_EQ(menu.items[2], std::make_pair(UINT{ID_PRODUCT_PAGE}, std::wstring(L"Product Page")));
  EXPECT_EQ(menu.flags, 0x182u);
  EXPECT_EQ(menu.at.x, fake.cursor.x);
  EXPECT_EQ(menu.owner, hwnd);
  ASSERT_EQ(fake.boxes.size(), 1u);
  EXPECT_EQ(fake.boxes[0].caption, L"Plugin Status");
  EXPECT_EQ(fake.boxes[0].type, static_cast<UINT>(MB_OK | MB_ICONINFORMATION));
  EXPECT_EQ(fake.boxes[0].owner, hwnd);
  EXPECT_EQ(fake.boxes[0].text, L"Taviro\nInstalled In: CyberLink \nTaviro Extras\nNot Installed\n");
  EXPECT_TRUE(fake.shell.empty());
}

TEST_F(HandlersTest, ResetFromTheMenuAsksAndHonoursNo) {
  fake.menuChoice = ID_RESET_SETTINGS;
  fake.answers = {IDNO};
  Link(IDC_INFO_LINK, 4, L"cv");
  ASSERT_EQ(fake.boxes.size(), 1u);
  EXPECT_EQ(fake.boxes[0].text, L"All Corvane Tools settings will be reset to default values.");
  EXPECT_EQ(fake.boxes[0].caption, L"Reset Settings");
  EXPECT_EQ(fake.boxes[0].type, static_cast<UINT>(MB_YESNO));
  EXPECT_EQ(PresetsLeft(), AllPresets());

  fake.answers = {IDYES};
  Link(IDC_INFO_LINK, 4, L"cv");
  EXPECT_EQ(PresetsLeft(), AllPresets() - static_cast<int>(kFamilies[FAMILY_CORVANE_TOOLS].presetFiles.size()));
  EXPECT_TRUE(::IsWindowVisible(hwnd)) << "the dialog stays open";
}

TEST_F(HandlersTest, DismissedMenuDoesNothing) {
  fake.menuChoice = 0;
  Link(IDC_INFO_LINK, 0, L"ob");
  EXPECT_EQ(fake.menus.size(), 1u);
  EXPECT_TRUE(fake.boxes.empty());
  EXPECT_TRUE(fake.shell.empty());
  EXPECT_EQ(PresetsLeft(), AllPresets());
}

TEST_F(HandlersTest, ProductPageOpensInTheBrowser) {
  fake.menuChoice = ID_PRODUCT_PAGE;
  Link(IDC_INFO_LINK, 6, L"cn");
  ASSERT_EQ(fake.shell.size(), 1u);
  EXPECT_EQ(fake.shell[0].verb, L"open");
  EXPECT_EQ(fake.shell[0].file, kSite + L"/celluna/intro.htm");
  EXPECT_EQ(fake.shell[0].owner, nullptr);
  EXPECT_EQ(fake.shell[0].show, SW_SHOW);
}

TEST_F(HandlersTest, HelpAndWebLinksGoToTheShell) {
  const std::wstring help = programFiles.root() + L"\\Quenlow\\FX\\Help";
  Link(IDC_INFO_LINK, 7, help);
  Link(IDC_INFO_LINK, 8, kSite + L"/help.htm");
  Link(IDC_INFO_LINK, 9, kSite + L"/versions.htm");
  Link(IDC_RENDERER_LINK, 0, kSite + L"/help-tech-support-form.htm");
  ASSERT_EQ(fake.shell.size(), 4u);
  EXPECT_EQ(fake.shell[0].verb, L"explore");
  EXPECT_EQ(fake.shell[0].file, help);
  EXPECT_EQ(fake.shell[0].show, SW_SHOWNORMAL);
  for (int i = 1; i < 4; ++i) {
    EXPECT_EQ(fake.shell[static_cast<std::size_t>(i)].verb, L"open");
    EXPECT_EQ(fake.shell[static_cast<std::size_t>(i)].show, SW_SHOW);
  }
  EXPECT_EQ(fake.shell[3].file, kSite + L"/help-tech-support-form.htm");
  EXPECT_TRUE(fake.menus.empty());
}

TEST_F(HandlersTest, PositionComesFromTheTargetNotWinesRunCount) {
  // Wine counts plain text runs in iLink: Celluna arrives as 12, the help link as 14,
  // Corvane Tools as 8.
  Link(IDC_INFO_LINK, 12, L"cn");
  Link(IDC_INFO_LINK, 8, L"cv");
  EXPECT_EQ(fake.menus.size(), 2u);
  EXPECT_TRUE(fake.shell.empty());
  Link(IDC_INFO_LINK, 14, programFiles.root() + L"\\Quenlow\\FX\\Help");
  ASSERT_EQ(fake.shell.size(), 1u);
  EXPECT_EQ(fake.shell[0].verb, L"explore");
  // A target the dialog did not write falls back to the reported position.
  Link(IDC_INFO_LINK, 9, L"https://elsewhere.example/");
  ASSERT_EQ(fake.shell.size(), 2u);
  EXPECT_EQ(fake.shell[1].verb, L"open");
}

TEST_F(HandlersTest, EnterActsLikeAClickAndStrangersAreIgnored) {
  Link(IDC_INFO_LINK, 5, L"br", NM_RETURN);
  ASSERT_EQ(fake.menus.size(), 1u);
  RECT link{};
  ::GetWindowRect(Item(IDC_INFO_LINK), &link);
  EXPECT_EQ(fake.menus[0].at.x, link.left) << "from the keyboard the menu opens at the link, not at the pointer";
  EXPECT_EQ(fake.menus[0].at.y, link.top);
  Link(IDC_RENDERER_LINK, 0, kSite + L"/help-tech-support-form.htm", NM_RETURN);
  EXPECT_EQ(fake.shell.size(), 1u);
  // A notification whose sender is not the link control does nothing.
  Link(IDC_INFO_LINK, 5, L"br", NM_CLICK, Item(IDC_RENDERER_LINK));
  Link(IDC_RENDERER_LINK, 0, L"x", NM_CLICK, Item(IDC_INFO_LINK));
  EXPECT_EQ(fake.menus.size(), 1u);
  EXPECT_EQ(fake.shell.size(), 1u);
}

TEST_F(HandlersTest, ResetFamilyIgnoresEmptyAndMiscasedNames) {
  dialog->ResetFamilySettings(L"", TRUE);
  EXPECT_TRUE(fake.boxes.empty()) << "an empty name asks nothing";
  fake.answers = {IDYES};
  dialog->ResetFamilySettings(L"celluna", TRUE);
  EXPECT_EQ(fake.boxes.size(), 1u) << "the question is still asked";
  EXPECT_EQ(PresetsLeft(), AllPresets());
  dialog->ResetFamilySettings(L"Celluna", FALSE);
  EXPECT_EQ(fake.boxes.size(), 1u);
  EXPECT_EQ(PresetsLeft(), AllPresets() - static_cast<int>(kFamilies[FAMILY_CELLUNA].presetFiles.size()));
}

TEST_F(HandlersTest, CtrlOnTheReportButtonResetsAll) {
  docs.Write(L"\\Quenlow\\FX\\System\\cuui.regr", "x");
  Select(0);
  fake.ctrlDown = true;
  fake.answers = {IDNO};
  Press(IDC_EXPORT_REPORT);
  ASSERT_EQ(fake.boxes.size(), 1u);
  EXPECT_EQ(fake.boxes[0].text, L"All settings will be reset to default values.");
  EXPECT_EQ(PresetsLeft(), AllPresets());
  EXPECT_EQ(Selection(), 0) << "declined: the selection stays";

  fake.answers = {IDYES};
  Press(IDC_EXPORT_REPORT);
  EXPECT_EQ(fake.boxes.size(), 2u) << "one question, none per family";
  EXPECT_EQ(PresetsLeft(), 0);
  EXPECT_FALSE(docs.Exists(L"\\Quenlow\\FX\\System\\cuui.regr"));
  EXPECT_FALSE(docs.Exists(L"\\Quenlow\\FX\\System\\lm.regr"));
  EXPECT_EQ(dialog->m_nRenderer, 3);
  EXPECT_EQ(Selection(), 3);
  EXPECT_FALSE(docs.Exists(kReport));
  EXPECT_TRUE(fake.shell.empty());
}

TEST_F(HandlersTest, UndeletableFileStopsTheResetOfAll) {
  const std::wstring taviro = L"\\Quenlow\\FX\\System\\Fx\\Transitions\\Taviro.mru";
  ASSERT_TRUE(::SetFileAttributesW(docs.Path(taviro).c_str(), FILE_ATTRIBUTE_READONLY));
  Select(0);
  fake.answers = {IDYES};
  EXPECT_FALSE(dialog->ResetAllSettings());
  ::SetFileAttributesW(docs.Path(taviro).c_str(), FILE_ATTRIBUTE_NORMAL);
  ASSERT_EQ(fake.boxes.size(), 2u);
  EXPECT_NE(fake.boxes[1].text.find(docs.Path(taviro)), std::wstring::npos) << "the error names the file";
  EXPECT_EQ(fake.boxes[1].type, static_cast<UINT>(MB_OK | MB_ICONERROR));
  EXPECT_EQ(PresetsLeft(), AllPresets() - 3) << "Orbitale, Velumen and Fondara went; Taviro and later stay";
  EXPECT_TRUE(docs.Exists(L"\\Quenlow\\FX\\System\\lm.regr"));
  EXPECT_EQ(dialog->m_nRenderer, 1);
  EXPECT_EQ(Selection(), 1) << "the list shows what the engine file still holds";
}

TEST_F(HandlersTest, AfterAResetOfAllTheListShowsWhatTheEngineFileHolds) {
  const std::wstring engineFile = L"\\Quenlow\\FX\\System\\lm.regr";
  // A plugin reads the engine file (others may read too): the reset leaves it, and the list
  // keeps its engine.
  HANDLE held =
      ::CreateFileW(docs.Path(engineFile).c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
  ASSERT_NE(held, INVALID_HANDLE_VALUE);
  Select(0);
  fake.answers = {IDYES};
  EXPECT_TRUE(dialog->ResetAllSettings());
  ::CloseHandle(held);
  EXPECT_TRUE(docs.Exists(engineFile));
  EXPECT_EQ(dialog->m_nRenderer, 1);
  EXPECT_EQ(Selection(), 1);

  // The reset stops after the engine file is gone: the list shows the default it means now.
  docs.Write(engineFile, "KEY:SOFTWARE\\Quenlow Software\\FX\\DefaultRenderer\r\nVAL:2\r\n");
  const std::wstring last = L"\\Quenlow\\FX\\System\\dlm.regr";
  docs.Write(last, "x");
  ASSERT_TRUE(::SetFileAttributesW(docs.Path(last).c_str(), FILE_ATTRIBUTE_READONLY));
  dialog.reset();
  ASSERT_TRUE(Open());
  EXPECT_EQ(dialog->m_nRenderer, 1);
  fake.answers = {IDYES};
  EXPECT_FALSE(dialog->ResetAllSettings());
  ::SetFileAttributesW(docs.Path(last).c_str(), FILE_ATTRIBUTE_NORMAL);
  EXPECT_FALSE(docs.Exists(engineFile));
  EXPECT_EQ(dialog->m_nRenderer, 3);
  EXPECT_EQ(Selection(), 3);
}

TEST_F(HandlersTest, ResetsKeepABackupAndStopWhereNoneCanBeMade) {
  const std::wstring celluna = L"\\Quenlow\\FX\\System\\Fx\\Effects\\Celluna.mru";
  const std::wstring backups = L"\\Quenlow\\FX\\Backups";
  // A file where the backups belong: the reset stops at the first file, which stays.
  docs.Write(backups, "in the way");
  fake.answers = {IDYES};
  dialog->ResetFamilySettings(L"Celluna", TRUE);
  ASSERT_EQ(fake.boxes.size(), 2u);
  EXPECT_NE(fake.boxes[1].text.find(docs.Path(celluna)), std::wstring::npos) << "the error names the file";
  EXPECT_NE(fake.boxes[1].text.find(L"backup copy could not be written"), std::wstring::npos);
  EXPECT_EQ(fake.boxes[1].type, static_cast<UINT>(MB_OK | MB_ICONERROR));
  EXPECT_EQ(PresetsLeft(), AllPresets());

  // With room for it, the dialog's reset keeps one backup of what it deletes.
  std::filesystem::remove(docs.FsPath(backups));
  fake.answers = {IDYES};
  dialog->ResetFamilySettings(L"Celluna", TRUE);
  EXPECT_FALSE(docs.Exists(celluna));
  int kept = 0;
  for (const auto& entry : std::filesystem::directory_iterator(docs.FsPath(backups))) {
    ++kept;
    std::ifstream manifest(entry.path() / "manifest.json");
    const std::string text((std::istreambuf_iterator<char>(manifest)), std::istreambuf_iterator<char>());
    EXPECT_NE(text.find("\"origin\": \"dialog\""), std::string::npos) << text;
    EXPECT_NE(text.find("\"reset\": \"Celluna\""), std::string::npos) << text;
    EXPECT_TRUE(std::filesystem::exists(entry.path() / "System" / "Fx" / "Effects" / "Celluna.mru"));
  }
  EXPECT_EQ(kept, 1);
}

TEST_F(HandlersTest, ReportIsWrittenThenOpened) {
  programFiles.Write(L"\\Quenlow\\FX\\System\\lm.regr",
                     "KEY:SOFTWARE\\Quenlow Software\\FX\\Documents\r\nVAL:E:\\Vids\r\n");
  docs.Write(kReport, std::string(5000, 'o'));
  Press(IDC_EXPORT_REPORT);
  const std::string report = docs.Read(kReport);
  EXPECT_EQ(report.rfind("OS: ", 0), 0u);
  EXPECT_NE(report.find("\r\nDefault Renderer: OpenGL\r\nCustom Location: E:\\Vids\r\n\r\nOrbitale\nNot Installed\n"),
            std::string::npos);
  EXPECT_EQ(report.find('o' + std::string(10, 'o')), std::string::npos) << "the old report is gone";
  ASSERT_EQ(fake.shell.size(), 1u);
  EXPECT_EQ(fake.shell[0].verb, L"open");
  EXPECT_EQ(fake.shell[0].file, docs.Path(kReport));
  EXPECT_EQ(fake.shell[0].owner, hwnd);
  EXPECT_EQ(fake.shell[0].show, SW_SHOWNORMAL);
  EXPECT_TRUE(fake.boxes.empty());
}

TEST_F(HandlersTest, UnwritableReportIsNotOpened) {
  TempTree empty;  // no "\Quenlow\FX\System" folder to write into
  dialog->m_strCommonDocuments = empty.root();
  Press(IDC_EXPORT_REPORT);
  EXPECT_TRUE(fake.shell.empty());
  ASSERT_EQ(fake.boxes.size(), 1u);
  EXPECT_NE(fake.boxes[0].text.find(empty.Path(kReport)), std::wstring::npos);
  EXPECT_EQ(fake.boxes[0].type, static_cast<UINT>(MB_OK | MB_ICONERROR));
}

}  // namespace
}  // namespace quenlow::test
