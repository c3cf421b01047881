// The Linux command line on Wine prefixes that the tests make themselves: the registry
// file, drive and letter-case mapping, the running-server check, and the POSIX file layer
// refusing what Windows refuses. Native build only.
#include "platform/posix/WinePrefix.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <nlohmann/json.hpp>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <set>

#include "EngineFileBytes.h"
#include "RecordedIo.h"
#include "TempTree.h"
#include "catalogue/Catalogue.h"
#include "cli/Cli.h"
#include "maintenance/Resets.h"
#include "platform/Files.h"
#include "platform/TextConvert.h"
#include "settings/Settings.h"

namespace quenlow {
namespace {

using Json = nlohmann::json;
namespace fs = std::filesystem;

// A prefix as Wine lays it out, with a system.reg in Wine's text format: escapes, a value
// continued on the next line, an expandable string, and common documents that are not the
// default and not ASCII ("Dokumente ÄÖ" written as \x escapes).
class WinePrefixTest : public ::testing::Test {
 protected:
  void SetUp() override {
    root = fs::path(WideToUtf8(tree.root()));
    prefix = root / "prefix";
    fs::create_directories(prefix / "dosdevices");
    fs::create_directories(prefix / "drive_c");
    fs::create_directory_symlink("../drive_c", prefix / "dosdevices" / "c:");
    std::ofstream(prefix / "system.reg") << R"(WINE REGISTRY Version 2
;; All keys relative to \\Machine

#arch=win64

[Software\\Microsoft\\Windows\\CurrentVersion] 1700000000
#time=1d9a0b0c0d0e0f0
"CommonFilesDir"="C:\\Program Files\\Common Files"
"ProgramFilesDir"="C:\\Program Files"
"ProgramFilesPath"=str(2):"%ProgramFiles%"

[Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders] 1700000000
"Common AppData"="C:\\ProgramData"
"Common Documents"="C:\\users\\Public\\Dokumente \x00c4\x00d6"
"Quoted \"Name\""="a \"quoted\" \\ value"
"Long"="first part \
  second part"

[Software\\Microsoft\\Windows NT\\CurrentVersion] 1700000000
"CurrentBuildNumber"="22631"
"ProductName"="Windows 10 Pro"

[System\\CurrentControlSet\\Control\\Session Manager\\Environment] 1700000000
"OFX_PLUGIN_PATH"="C:\\OFX;D:\\More"
)";
    std::ofstream(prefix / "user.reg") << "WINE REGISTRY Version 2\n";
    // Stored in other letter cases than the catalogue writes them.
    drive = prefix / "drive_c";
    fs::create_directories(drive / "program files" / "common files" / "ofx" / "plugins" / "quenlow" /
                           "ORBITALE.ofx.bundle" / "contents" / "win64");
    Touch(drive / "program files" / "common files" / "ofx" / "plugins" / "quenlow" / "ORBITALE.ofx.bundle" /
          "contents" / "win64" / "orbitale.OFX");
    fs::create_directories(drive / "PROGRAMDATA" / "magix" / "common" / "vfxplugins");
    Touch(drive / "PROGRAMDATA" / "magix" / "common" / "vfxplugins" / "quenlow taviro 3.VXX");
    docs = drive / "users" / "Public" / "Dokumente \u00C4\u00D6";
    fs::create_directories(docs / "quenlow" / "fx" / "SYSTEM");
    wine::UsePrefix(prefix.string());
  }

  void TearDown() override { wine::UsePrefix(""); }

  static void Touch(const fs::path& path, const std::string& bytes = "x") {
    std::ofstream(path, std::ios::binary) << bytes;
  }

  int Run(std::vector<std::string> arguments) {
    io = test::RecordedIo{};
    arguments.insert(arguments.begin(), {"--wine-prefix", prefix.string()});
    return cli::RunCommandLine(arguments, io);
  }

  test::TempTree tree;
  fs::path root, prefix, drive, docs;
  test::RecordedIo io;
};

TEST_F(WinePrefixTest, ReadsWinesRegistryFormat) {
  const char* folders = "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders";
  EXPECT_EQ(wine::ReadRegistryString("system.reg", folders, "Common Documents"),
            "C:\\users\\Public\\Dokumente \u00C4\u00D6");
  EXPECT_EQ(wine::ReadRegistryString("system.reg", "SOFTWARE\\MICROSOFT\\windows\\CurrentVersion", "programfilesdir"),
            "C:\\Program Files")
      << "keys and names ignore letter case";
  EXPECT_EQ(wine::ReadRegistryString("system.reg", folders, "Quoted \"Name\""), "a \"quoted\" \\ value");
  EXPECT_EQ(wine::ReadRegistryString("system.reg", folders, "Long"), "first part second part");
  EXPECT_EQ(wine::ReadRegistryString("system.reg", "Software\\Microsoft\\Windows\\CurrentVersion", "ProgramFilesPath"),
            "%ProgramFiles%");
  EXPECT_FALSE(wine::ReadRegistryString("system.reg", folders, "Missing"));
  EXPECT_FALSE(wine::ReadRegistryString("user.reg", folders, "Common Documents"));
}

TEST_F(WinePrefixTest, MapsDrivesAndLetterCaseAsWineDoes) {
  const fs::path c = prefix / "dosdevices" / "c:";
  EXPECT_EQ(wine::MapWindowsPath("C:\\Program Files\\Common Files\\OFX\\Plugins\\Quenlow"),
            (c / "program files" / "common files" / "ofx" / "plugins" / "quenlow").string());
  EXPECT_EQ(wine::MapWindowsPath("c:\\ProgramData\\New Folder\\Next"),
            (c / "PROGRAMDATA" / "New Folder" / "Next").string())
      << "what is not there keeps the program's names";
  EXPECT_EQ(wine::MapWindowsPath("Q:\\anything"), "") << "an unmapped drive leads nowhere";
  EXPECT_TRUE(GetFileInfo(L"C:\\USERS\\public\\dokumente \u00E4\u00F6\\Quenlow").folder) << "letter case beyond ASCII";
}

TEST_F(WinePrefixTest, CommandsWorkOnThePrefix) {
  ASSERT_EQ(Run({"status", "--json"}), cli::kExitDone) << io.err;
  const Json status = Json::parse(io.out);
  EXPECT_EQ(status["folders"]["commonDocuments"], "C:\\users\\Public\\Dokumente \u00C4\u00D6");
  std::set<std::string> installed;
  for (const Json& family : status["families"])
    if (family["installed"]) installed.insert(family["name"]);
  EXPECT_EQ(installed, (std::set<std::string>{"Orbitale", "Taviro"}));
  EXPECT_EQ(status["families"][3]["hosts"], Json::array({"Magix"}));

  // The engine file keeps the name it has on disk, and gets the bytes the dialog writes.
  Touch(docs / "quenlow" / "fx" / "SYSTEM" / "LM.REGR", "KEY:SOFTWARE\\Quenlow Software\\FX\\Other\r\nVAL:1\r\n");
  ASSERT_EQ(Run({"engine", "set", "OpenGL"}), cli::kExitDone) << io.err;
  std::ifstream in(docs / "quenlow" / "fx" / "SYSTEM" / "LM.REGR", std::ios::binary);
  const std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  EXPECT_EQ(bytes, "KEY:SOFTWARE\\Quenlow Software\\FX\\Other\r\nVAL:1\r\n" + test::EngineFileBytes(2, 1));
  EXPECT_FALSE(fs::exists(docs / "Quenlow")) << "no second folder in another letter case";

  // The report names the system as the prefix does, with the display fallbacks.
  ASSERT_EQ(Run({"report"}), cli::kExitDone);
  EXPECT_EQ(
      io.out.rfind("OS: Windows 11 Pro\r\nDisplay Adapter: , 1024x768,  96x96 DPI\r\nDefault Renderer: OpenGL\r\n", 0),
      0u)
      << io.out;

  // A reset of all deletes exactly the files the catalogue names, whatever their case.
  const fs::path presets = docs / "quenlow" / "fx" / "SYSTEM" / "fx" / "EFFECTS";
  fs::create_directories(presets);
  Touch(presets / "celluna.mru");
  Touch(presets / "stranger.mru");
  ASSERT_EQ(Run({"reset", "--all", "--yes", "--json"}), cli::kExitDone) << io.err;
  std::set<std::string> removed;
  const Json reset = Json::parse(io.out);
  for (const Json& file : reset["files"])
    if (file["outcome"] == "removed") removed.insert(file["path"]);
  EXPECT_EQ(removed, (std::set<std::string>{
                         "C:\\users\\Public\\Dokumente \u00C4\u00D6\\Quenlow\\FX\\System\\Fx\\Effects\\Celluna.mru",
                         "C:\\users\\Public\\Dokumente \u00C4\u00D6\\Quenlow\\FX\\System\\lm.regr"}));
  EXPECT_TRUE(fs::exists(presets / "stranger.mru"));
  EXPECT_FALSE(fs::exists(presets / "celluna.mru"));

  // OFX_PLUGIN_PATH comes from the prefix, not from this system's environment.
  ::setenv("OFX_PLUGIN_PATH", "/elsewhere", 1);
  EXPECT_EQ(ReadOfxPluginPath(), L"C:\\OFX;D:\\More");
  ::unsetenv("OFX_PLUGIN_PATH");
}

TEST_F(WinePrefixTest, AFolderThatIsNoPrefixIsAUsageError) {
  io = test::RecordedIo{};
  EXPECT_EQ(cli::RunCommandLine({"--wine-prefix", root.string(), "status"}, io), cli::kExitUsage);
  EXPECT_NE(io.err.find(root.string()), std::string::npos) << "the message names the folder";
}

TEST_F(WinePrefixTest, ARunningWineserverStopsChanges) {
  Touch(docs / "quenlow" / "fx" / "SYSTEM" / "lm.regr", test::EngineFileBytes(2, 1));
  const std::string environment = "WINEPREFIX='" + prefix.string() + "' WINEDEBUG=-all ";
  ASSERT_EQ(std::system((environment + "wineserver -p30 </dev/null >/dev/null 2>&1").c_str()), 0);
  bool running = false;
  for (int i = 0; i < 50 && !(running = wine::IsServerRunning(prefix.string())); ++i) ::usleep(100000);
  const int refused = Run({"engine", "set", "Cg"});
  const std::string message = io.err;
  const int forced = Run({"--force", "engine", "set", "Cg"});
  (void)std::system((environment + "wineserver -k </dev/null >/dev/null 2>&1").c_str());
  ASSERT_TRUE(running);
  EXPECT_EQ(refused, cli::kExitRefused);
  EXPECT_NE(message.find("wineserver -k"), std::string::npos) << message;
  EXPECT_EQ(forced, cli::kExitDone) << "--force goes ahead";
  for (int i = 0; i < 50 && wine::IsServerRunning(prefix.string()); ++i) ::usleep(100000);
  EXPECT_FALSE(wine::IsServerRunning(prefix.string())) << "a stale server folder without the lock is not running";
}

TEST(PosixFiles, RefuseWhatWindowsRefuses) {
  test::TempTree tree;
  const std::wstring folder = L"\\Quenlow\\FX\\System";
  tree.MakeFolder(folder);
  // A read-only file is neither replaced nor deleted.
  tree.Write(folder + L"\\ro.mru", "kept");
  ::chmod(tree.FsPath(folder + L"\\ro.mru").c_str(), 0444);
  EXPECT_TRUE(ReplaceFileBytes(tree.Path(folder + L"\\ro.mru"), "new"));
  EXPECT_EQ(ProbeAndDeleteFile(tree.Path(folder + L"\\ro.mru")).status, RemoveStatus::Failed);
  EXPECT_EQ(tree.Read(folder + L"\\ro.mru"), "kept");
  // A FIFO in place of the engine file is unreadable, and reading it does not wait.
  ASSERT_EQ(::mkfifo(tree.FsPath(folder + L"\\lm.regr").c_str(), 0644), 0);
  EXPECT_EQ(ReadFileBytes(tree.Path(folder + L"\\lm.regr")).status, ReadStatus::Failed);
  EXPECT_EQ(ProbeAndDeleteFile(tree.Path(folder + L"\\lm.regr")).status, RemoveStatus::Skipped);
  EXPECT_EQ(StoreRenderEngine(tree.root(), 0).outcome, StoreOutcome::NotReadWhole);
  fs::remove(tree.FsPath(folder + L"\\lm.regr"));
  // A link is read through; a save puts the new file in the link's place.
  tree.Write(L"\\target.regr", test::EngineFileBytes(2, 1));
  fs::create_symlink(tree.FsPath(L"\\target.regr"), tree.FsPath(folder + L"\\lm.regr"));
  EXPECT_EQ(ReadRenderEngine(tree.root()), 1);
  EXPECT_EQ(StoreRenderEngine(tree.root(), 0).outcome, StoreOutcome::Stored);
  EXPECT_FALSE(fs::is_symlink(tree.FsPath(folder + L"\\lm.regr")));
  EXPECT_EQ(tree.Read(folder + L"\\lm.regr"), test::EngineFileBytes(2, 0));
  EXPECT_EQ(tree.Read(L"\\target.regr"), test::EngineFileBytes(2, 1)) << "the link's target is as it was";
}

}  // namespace
}  // namespace quenlow
