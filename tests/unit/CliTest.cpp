// The command line in-process (both builds): its commands over fixture folders, with
// recorded streams in place of the console.
#include "cli/Cli.h"

#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include <filesystem>
#include <string>
#include <vector>

#include "EngineFileBytes.h"
#include "RecordedIo.h"
#include "TempTree.h"
#include "catalogue/Catalogue.h"
#include "maintenance/Resets.h"
#include "platform/TextConvert.h"

namespace quenlow {
namespace {

using test::NoFolders;
using test::RecordedIo;

using Json = nlohmann::json;

const std::wstring kMirror = L"\\Quenlow\\FX\\System\\lm.regr";

class CliTest : public ::testing::Test {
 protected:
  int Run(std::vector<std::string> arguments) {
    io = RecordedIo{};
    io.console = console;
    io.answers = answers;
    std::vector<std::string> all = {"--program-files",    WideToUtf8(programFiles.root()),
                                    "--common-documents", WideToUtf8(docs.root()),
                                    "--common-appdata",   WideToUtf8(appData.root())};
    all.insert(all.end(), arguments.begin(), arguments.end());
    return cli::RunCommandLine(all, io, NoFolders);
  }

  void WriteAllPresets() {
    for (const FamilyInfo& family : kFamilies)
      for (const wchar_t* preset : family.presetFiles) docs.Write(preset, "preset");
  }

  test::TempTree programFiles, docs, appData;
  RecordedIo io;
  bool console = false;
  std::vector<std::string> answers;
};

TEST_F(CliTest, StatusJsonNamesEveryFamilyItsHostsAndItsStatusText) {
  // Taviro in CyberLink only; Brisavo's transitions in Magix; Corvane's Mistweave in OFX.
  programFiles.Write(kPlugins[3].hostFiles[HOST_CYBERLINK], "x");
  appData.Write(FindPlugin(PLUGIN_BRISAVO_TRANSITIONS)->hostFiles[HOST_MAGIX], "x");
  programFiles.Write(FindPlugin(PLUGIN_MISTWEAVE)->hostFiles[HOST_OFX], "x");
  docs.Write(kMirror, test::EngineFileBytes(2, 1));
  ASSERT_EQ(Run({"status", "--json"}), cli::kExitDone) << io.err;
  const Json status = Json::parse(io.out);
  EXPECT_EQ(status["schemaVersion"], 1);
  EXPECT_EQ(status["engine"], (Json{{"index", 1}, {"name", "OpenGL"}, {"stored", true}}));
  EXPECT_EQ(status["folders"]["commonDocuments"], WideToUtf8(docs.root()));
  ASSERT_EQ(status["families"].size(), kFamilies.size());
  std::vector<std::string> names;
  for (const Json& family : status["families"]) names.push_back(family["name"]);
  EXPECT_EQ(names, (std::vector<std::string>{"Orbitale", "Velumen", "Fondara", "Taviro", "Corvane Tools", "Brisavo",
                                             "Celluna"}));
  const Json& taviro = status["families"][3];
  EXPECT_EQ(taviro["id"], "tv");
  EXPECT_EQ(taviro["installed"], true);
  EXPECT_EQ(taviro["hosts"], Json::array({"CyberLink"}));
  EXPECT_EQ(taviro["statusText"], "Taviro\nInstalled In: CyberLink \nTaviro Extras\nNot Installed\n");
  EXPECT_EQ(status["families"][4]["hosts"], Json::array({"Vegas/OFX"}));
  EXPECT_EQ(status["families"][5]["hosts"], Json::array({"Magix"}));
  EXPECT_EQ(status["families"][5]["statusText"], "Brisavo\nInstalled In: Magix (T) \n");
  EXPECT_EQ(status["families"][0]["installed"], false);
  EXPECT_EQ(status["families"][0]["hosts"], Json::array());

  ASSERT_EQ(Run({"status"}), cli::kExitDone);
  EXPECT_NE(io.out.find("Render engine: OpenGL\n"), std::string::npos) << io.out;
  EXPECT_NE(io.out.find("Taviro: installed in CyberLink\n    Taviro\n    Installed In: CyberLink \n"),
            std::string::npos)
      << io.out;
}

TEST_F(CliTest, EngineShowListAndSet) {
  ASSERT_EQ(Run({"engine", "--json"}), cli::kExitDone);
  EXPECT_EQ(Json::parse(io.out)["engine"], (Json{{"index", 3}, {"name", "Direct3D Shader"}, {"stored", false}}));
  ASSERT_EQ(Run({"engine", "list"}), cli::kExitDone);
  EXPECT_EQ(io.out, "0 Cg\n1 OpenGL\n2 Direct3D Effect\n3 Direct3D Shader\n4 Direct3D Legacy\n");

  docs.MakeFolder(L"\\Quenlow\\FX\\System");
  // The same bytes as choosing the engine in the dialog and pressing OK.
  const struct {
    const char* argument;
    std::uint32_t defaultRenderer, directRenderer;
  } cases[] = {{"opengl", 2, 1}, {"0", 2, 0}, {"DIRECT3D legacy", 1, 0}, {"2", 16, 0}};
  for (const auto& c : cases) {
    ASSERT_EQ(Run({"engine", "set", c.argument}), cli::kExitDone) << c.argument << ": " << io.err;
    EXPECT_EQ(docs.Read(kMirror), test::EngineFileBytes(c.defaultRenderer, c.directRenderer)) << c.argument;
  }
  // The engine already in force is not written again.
  std::filesystem::remove(docs.FsPath(kMirror));
  ASSERT_EQ(Run({"engine", "set", "Direct3D Shader"}), cli::kExitDone);
  EXPECT_NE(io.out.find("already Direct3D Shader"), std::string::npos);
  EXPECT_FALSE(docs.Exists(kMirror));

  for (const char* bad : {"Vulkan", "5", "-1", ""}) {
    EXPECT_EQ(Run({"engine", "set", bad}), cli::kExitUsage) << bad;
    EXPECT_NE(io.err.find("0 Cg, 1 OpenGL"), std::string::npos) << "the message lists what is valid";
  }
}

TEST_F(CliTest, ARefusedStoreExitsThreeNamingTheFileAndLeavesIt) {
  std::string tooLong;
  for (int i = 0; i < 1500; ++i) tooLong += "KEY:k" + std::to_string(i) + "\r\nVAL:1\r\n";
  docs.Write(kMirror, tooLong);
  EXPECT_EQ(Run({"engine", "set", "Cg"}), cli::kExitRefused);
  EXPECT_NE(io.err.find(WideToUtf8(docs.Path(kMirror))), std::string::npos) << io.err;
  EXPECT_NE(io.err.find("reset --all"), std::string::npos) << "the message says how to repair it";
  EXPECT_EQ(docs.Read(kMirror), tooLong);

  docs.Write(kMirror, test::EngineFileBytes(2, 1));
  std::filesystem::permissions(
      docs.FsPath(kMirror),
      std::filesystem::perms::owner_write | std::filesystem::perms::group_write | std::filesystem::perms::others_write,
      std::filesystem::perm_options::remove);
  EXPECT_EQ(Run({"engine", "set", "Cg"}), cli::kExitRefused);
  EXPECT_NE(io.err.find("read-only"), std::string::npos) << io.err;
  EXPECT_EQ(docs.Read(kMirror), test::EngineFileBytes(2, 1));
  std::filesystem::permissions(docs.FsPath(kMirror), std::filesystem::perms::owner_write,
                               std::filesystem::perm_options::add);

  // A folder that is not there is a failure of its own (nothing to refuse).
  test::TempTree empty;
  io = RecordedIo{};
  EXPECT_EQ(cli::RunCommandLine({"--common-documents", WideToUtf8(empty.root()), "engine", "set", "Cg"}, io, NoFolders),
            cli::kExitFailed);
}

TEST_F(CliTest, ResetAsksConfirmsAndReportsEachFile) {
  WriteAllPresets();

  // Without a console nothing happens unless --yes says so.
  EXPECT_EQ(Run({"reset", "Celluna"}), cli::kExitUsage);
  EXPECT_NE(io.err.find("--yes"), std::string::npos);
  // A dry run lists and keeps.
  EXPECT_EQ(Run({"reset", "--all", "--dry-run"}), cli::kExitDone);
  EXPECT_NE(io.out.find("would remove  " + WideToUtf8(docs.Path(L"\\Quenlow\\FX\\System\\Fx\\Effects\\Celluna.mru"))),
            std::string::npos);
  for (const FamilyInfo& family : kFamilies)
    for (const wchar_t* preset : family.presetFiles) EXPECT_TRUE(docs.Exists(preset));
  // Unknown families are usage errors that list the valid ones.
  EXPECT_EQ(Run({"reset", "Celluna", "Nope", "--yes"}), cli::kExitUsage);
  EXPECT_NE(io.err.find("Corvane Tools (cv)"), std::string::npos);
  EXPECT_TRUE(docs.Exists(L"\\Quenlow\\FX\\System\\Fx\\Effects\\Celluna.mru"));

  // At a console the question is asked; anything but yes keeps the files.
  console = true;
  answers = {"n"};
  EXPECT_EQ(Run({"reset", "cn", "tv"}), cli::kExitDone);
  EXPECT_NE(io.err.find("Reset Celluna and Taviro settings? [y/N] "), std::string::npos) << io.err;
  EXPECT_TRUE(docs.Exists(L"\\Quenlow\\FX\\System\\Fx\\Effects\\Celluna.mru"));
  answers = {"Y"};
  EXPECT_EQ(Run({"reset", "CELLUNA", "--json"}), cli::kExitDone);
  const Json reset = Json::parse(io.out);
  ASSERT_EQ(reset["files"].size(), 2u);
  EXPECT_EQ(reset["files"][0],
            (Json{{"path", WideToUtf8(docs.Path(L"\\Quenlow\\FX\\System\\Fx\\Effects\\Celluna.mru"))},
                  {"outcome", "removed"}}));
  EXPECT_FALSE(docs.Exists(L"\\Quenlow\\FX\\System\\Fx\\Effects\\Celluna Pro.mru"));

  // A second reset finds nothing; --verbose says so file by file.
  console = false;
  EXPECT_EQ(Run({"reset", "cn", "--yes", "--verbose"}), cli::kExitDone);
  EXPECT_EQ(io.out.find("missing  "), 0u) << io.out;

  EXPECT_EQ(Run({"reset", "--all", "--yes"}), cli::kExitDone);
  for (const FamilyInfo& family : kFamilies)
    for (const wchar_t* preset : family.presetFiles) EXPECT_FALSE(docs.Exists(preset));
}

TEST_F(CliTest, UsageErrorsExitTwoAndChangeNothing) {
  EXPECT_EQ(Run({"frobnicate"}), cli::kExitUsage);
  EXPECT_NE(io.err.find("unknown command 'frobnicate'"), std::string::npos);
  EXPECT_EQ(Run({"status", "--colour"}), cli::kExitUsage);
  EXPECT_EQ(Run({}), cli::kExitUsage);
  EXPECT_EQ(Run({"reset"}), cli::kExitUsage);
  EXPECT_EQ(Run({"reset", "--all", "cn", "--yes"}), cli::kExitUsage);
  EXPECT_EQ(Run({"--version"}), cli::kExitDone);
  EXPECT_NE(io.out.find("1."), std::string::npos);
  EXPECT_EQ(Run({"reset", "--help"}), cli::kExitDone);
  EXPECT_NE(io.out.find("quenlowfx reset --all --dry-run"), std::string::npos) << "help teaches with examples";
}

TEST_F(CliTest, AFolderOutsideAsciiThroughTheOverride) {
  const std::wstring folder = L"\\Dokumente \u00C4\u20AC";
  docs.MakeFolder(folder + L"\\Quenlow\\FX\\System");
  io = RecordedIo{};
  const std::string docsOption = WideToUtf8(docs.Path(folder));
  ASSERT_EQ(cli::RunCommandLine({"--common-documents", docsOption, "engine", "set", "OpenGL"}, io, NoFolders),
            cli::kExitDone)
      << io.err;
  EXPECT_EQ(docs.Read(folder + kMirror), test::EngineFileBytes(2, 1));
  EXPECT_NE(io.out.find(docsOption), std::string::npos) << "the path comes back as it went in";
  io = RecordedIo{};
  ASSERT_EQ(cli::RunCommandLine({"--common-documents", docsOption + "\\", "engine", "--json"}, io, NoFolders),
            cli::kExitDone);
  EXPECT_EQ(Json::parse(io.out)["engine"]["index"], 1) << "a trailing separator is dropped";
}

}  // namespace
}  // namespace quenlow
