// The command line beside the dialog, in one process under Wine: its report is the dialog's
// report byte for byte, and a reset leaves a file that another program holds open.
#include <windows.h>

#include <gtest/gtest.h>

#include "../unit/RecordedIo.h"
#include "DialogFixture.h"
#include "cli/Cli.h"
#include "platform/TextConvert.h"

namespace quenlow::test {
namespace {

class CliWinTest : public DialogFixture {
 protected:
  int Run(std::vector<std::string> arguments) {
    io = RecordedIo{};
    std::vector<std::string> all = {"--program-files",    WideToUtf8(programFiles.root()),
                                    "--common-documents", WideToUtf8(docs.root()),
                                    "--common-appdata",   WideToUtf8(appData.root())};
    all.insert(all.end(), arguments.begin(), arguments.end());
    return cli::RunCommandLine(all, io);
  }
  RecordedIo io;
};

TEST_F(CliWinTest, ReportEqualsTheDialogsReport) {
  programFiles.Write(L"\\Quenlow\\FX\\System\\lm.regr",
                     "KEY:SOFTWARE\\Quenlow Software\\FX\\Documents\r\nVAL:E:\\V\r\n");
  programFiles.Write(L"\\CyberLink\\Shared files\\PlugIn\\Quenlow\\CES_PlugIn_Quenlow_HTV_ENU.xml", "x");
  docs.Write(L"\\Quenlow\\FX\\System\\lm.regr", "KEY:SOFTWARE\\Quenlow Software\\FX\\DefaultRenderer\r\nVAL:2\r\n");
  ASSERT_TRUE(Open());
  Press(IDC_EXPORT_REPORT);
  const std::string dialogs = docs.Read(L"\\Quenlow\\FX\\System\\report.txt");
  ASSERT_EQ(Run({"report", "--output", WideToUtf8(docs.Path(L"\\cli-report.txt"))}), cli::kExitDone) << io.err;
  EXPECT_EQ(docs.Read(L"\\cli-report.txt"), dialogs);
  ASSERT_EQ(Run({"report"}), cli::kExitDone);
  EXPECT_EQ(io.out, dialogs);
}

TEST_F(CliWinTest, AResetLeavesABusyFileAndExitsFour) {
  const std::wstring busy = L"\\Quenlow\\FX\\System\\Fx\\Effects\\Celluna.mru";
  const std::wstring other = L"\\Quenlow\\FX\\System\\Fx\\Effects\\Celluna Pro.mru";
  docs.Write(busy, "x");
  docs.Write(other, "x");
  HANDLE held = ::CreateFileW(docs.Path(busy).c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
  ASSERT_NE(held, INVALID_HANDLE_VALUE);
  EXPECT_EQ(Run({"reset", "Celluna", "--yes"}), cli::kExitBusyLeft);
  ::CloseHandle(held);
  EXPECT_TRUE(docs.Exists(busy));
  EXPECT_FALSE(docs.Exists(other));
  EXPECT_NE(io.out.find("busy     " + WideToUtf8(docs.Path(busy))), std::string::npos) << io.out;

  // A file that cannot be deleted stops the reset: exit 1, named, and valid JSON first.
  docs.Write(other, "x");
  ASSERT_TRUE(::SetFileAttributesW(docs.Path(busy).c_str(), FILE_ATTRIBUTE_READONLY));
  EXPECT_EQ(Run({"reset", "cn", "--yes", "--json"}), cli::kExitFailed);
  ::SetFileAttributesW(docs.Path(busy).c_str(), FILE_ATTRIBUTE_NORMAL);
  EXPECT_NE(io.out.find("\"outcome\": \"failed\""), std::string::npos) << io.out;
  EXPECT_NE(io.err.find(WideToUtf8(docs.Path(busy))), std::string::npos);
  EXPECT_TRUE(docs.Exists(other)) << "nothing after the failing file";
}

}  // namespace
}  // namespace quenlow::test
