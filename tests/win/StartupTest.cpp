// Start-up under Wine: the shell folders, the command-line switch and DoUI in-process.
#include "ProductInfo.h"
#include <windows.h>
#include <shlobj.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <thread>

#include "app/NorvikApp.h"
#include "app/framework/WinApp.h"

extern "C" int DoUI(HWND caller);

namespace quenlow {
namespace {

namespace fs = std::filesystem;

TEST(ShellFolder, AcceptsOnlyExistingFoldersOfSixTo261Characters) {
  const std::wstring fallback = L"D:\\Fallback";
  fs::create_directory(L"C:\\qa");
  fs::create_directory(L"C:\\qab");
  std::ofstream(L"C:\\qfile").put('x');
  fs::create_directory(L"C:\\qgone");
  fs::remove(L"C:\\qgone");

  EXPECT_EQ(AcceptShellFolder(L"C:\\qa", fallback), fallback) << "five characters, even though it exists";
  EXPECT_EQ(AcceptShellFolder(L"C:\\qab", fallback), L"C:\\qab") << "six characters";
  EXPECT_EQ(AcceptShellFolder(L"C:\\qfile", fallback), fallback) << "a file, not a folder";
  EXPECT_EQ(AcceptShellFolder(L"C:\\qgone", fallback), fallback) << "a vanished folder";
  EXPECT_EQ(AcceptShellFolder(nullptr, fallback), fallback) << "the shell call failed";
  EXPECT_EQ(AcceptShellFolder((L"C:\\" + std::wstring(259, L'q')).c_str(), fallback), fallback) << "262 characters";

  fs::remove(L"C:\\qa");
  fs::remove(L"C:\\qab");
  fs::remove(L"C:\\qfile");
}

TEST(ShellFolder, ResolvesTheFolderSet) {
  EXPECT_EQ(ResolveShellFolder(CSIDL_PROGRAM_FILES, L"X:\\none"), L"C:\\Program Files");
  EXPECT_EQ(fs::path(ResolveShellFolder(CSIDL_COMMON_DOCUMENTS, L"X:\\none")).filename(), L"Documents");
  EXPECT_NE(ResolveShellFolder(CSIDL_COMMON_APPDATA, L"X:\\none"), L"X:\\none");
}

TEST(CommandLine, OnlyAFirstArgumentWithADashKeepsTheDialogOnTop) {
  const struct {
    const wchar_t* commandLine;
    bool onTop;
  } cases[] = {
      // clang-format off
      {L"controller.exe", false},
      {L"\"C:\\Program Files\\Quenlow\\FX\\controller.exe\"", false},
      {L"controller.exe -", true},
      {L"controller.exe -x", true},
      {L"controller.exe \"-x\"", true},
      {L"\"C:\\Program Files\\Quenlow\\FX\\controller.exe\" -x", true},
      {L"controller.exe   -x", true},
      {L"controller.exe \t-x", true},
      {L"controller.exe a -", false},
      {L"controller.exe x-", false},
      // clang-format on
  };
  for (const auto& c : cases)
    EXPECT_EQ(IsKeepOnTopSwitch(FirstArgument(SkipProgramName(c.commandLine))), c.onTop) << c.commandLine;
}

// Inside the controller's own process DoUI shows the dialog, owned by the caller's window.
TEST(DoUI, InTheMainImageRunsTheDialogModally) {
  HWND owner = ::CreateWindowExW(0, L"STATIC", L"caller", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
  HWND seenOwner = nullptr;
  std::thread closer([&] {
    for (int i = 0; i < 200; ++i) {
      HWND dialog = ::FindWindowW(L"#32770", QUENLOW_WIDEN(QUENLOW_WINDOW_CAPTION));
      if (dialog) {
        seenOwner = ::GetWindow(dialog, GW_OWNER);
        ::PostMessageW(dialog, WM_COMMAND, IDCANCEL, 0);
        return;
      }
      ::Sleep(50);
    }
  });
  EXPECT_EQ(DoUI(owner), 1);
  closer.join();
  EXPECT_EQ(seenOwner, owner);
  ::DestroyWindow(owner);
}

}  // namespace
}  // namespace quenlow
