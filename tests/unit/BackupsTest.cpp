// Resets that can be undone (both builds): every reset keeps what it deletes in one backup
// with a manifest, keeps the newest twenty, stops where a copy cannot be made, and
// "quenlowfx restore" puts the bytes back.
#include "backups/Backups.h"

#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include <filesystem>

#include "RecordedIo.h"
#include "TempTree.h"
#include "catalogue/Catalogue.h"
#include "cli/Cli.h"
#include "platform/Files.h"
#include "platform/Hash.h"
#include "platform/TextConvert.h"
#include "settings/Settings.h"

namespace quenlow {
namespace {

using Json = nlohmann::json;
namespace fs = std::filesystem;

const std::wstring kCelluna = L"\\Quenlow\\FX\\System\\Fx\\Effects\\Celluna.mru";
const std::wstring kCellunaPro = L"\\Quenlow\\FX\\System\\Fx\\Effects\\Celluna Pro.mru";

std::error_code DiskFull(SaveStep step, const std::wstring&) {
  return step == SaveStep::Write ? std::make_error_code(std::errc::no_space_on_device) : std::error_code();
}

class BackupsTest : public ::testing::Test {
 protected:
  void TearDown() override { SetSaveFaultHookForTesting(nullptr); }

  int Run(std::vector<std::string> arguments) {
    io = test::RecordedIo{};
    arguments.insert(arguments.begin(), {"--common-documents", WideToUtf8(docs.root())});
    return cli::RunCommandLine(arguments, io, test::NoFolders);
  }

  std::vector<std::wstring> Backups() const { return ListBackupIds(docs.root()); }
  Json Manifest(const std::wstring& id) const {
    return Json::parse(docs.Read(std::wstring(kBackupsFolder) + L"\\" + id + L"\\manifest.json"));
  }

  test::TempTree docs;
  test::RecordedIo io;
};

TEST(Sha256, MatchesTheStandardVectors) {
  EXPECT_EQ(Sha256Hex(""), "e3b0c44298fc1c149afbf4c8996fb92427ae41e4649b934ca495991b7852b855");
  EXPECT_EQ(Sha256Hex("abc"), "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad");
}

TEST_F(BackupsTest, AResetKeepsExactlyWhatItDeletes) {
  docs.Write(kCelluna, "looks I made");
  docs.Write(kCellunaPro, std::string("\0\x01pro", 5));
  ASSERT_EQ(Run({"reset", "Celluna", "--yes"}), cli::kExitDone) << io.err;
  EXPECT_FALSE(docs.Exists(kCelluna));
  const std::vector<std::wstring> ids = Backups();
  ASSERT_EQ(ids.size(), 1u);
  const Json manifest = Manifest(ids[0]);
  EXPECT_EQ(manifest["schemaVersion"], 1);
  EXPECT_EQ(manifest["origin"], "command line");
  EXPECT_EQ(manifest["reset"], "Celluna");
  EXPECT_EQ(manifest["time"].get<std::string>().size(), 20u) << "YYYY-MM-DDTHH:MM:SSZ";
  ASSERT_EQ(manifest["files"].size(), 2u);
  EXPECT_EQ(manifest["files"][0], (Json{{"path", WideToUtf8(docs.Path(kCelluna))},
                                        {"backup", "System\\Fx\\Effects\\Celluna.mru"},
                                        {"size", 12},
                                        {"sha256", Sha256Hex("looks I made")}}));
  EXPECT_EQ(docs.Read(std::wstring(kBackupsFolder) + L"\\" + ids[0] + L"\\System\\Fx\\Effects\\Celluna Pro.mru"),
            std::string("\0\x01pro", 5));

  // A reset that deletes nothing keeps nothing.
  ASSERT_EQ(Run({"reset", "Celluna", "--yes"}), cli::kExitDone);
  EXPECT_EQ(Backups().size(), 1u);

  // Restoring puts the bytes back.
  ASSERT_EQ(Run({"restore", "--latest", "--yes"}), cli::kExitDone) << io.err;
  EXPECT_EQ(docs.Read(kCelluna), "looks I made");
  EXPECT_EQ(docs.Read(kCellunaPro), std::string("\0\x01pro", 5));
}

TEST_F(BackupsTest, AResetOfAllKeepsThePresetsAndTheMirrorFiles) {
  for (const FamilyInfo& family : kFamilies)
    for (const wchar_t* preset : family.presetFiles) docs.Write(preset, "preset");
  for (const wchar_t* mirror : kResetMirrorFiles) docs.Write(mirror, "KEY:a\r\nVAL:1\r\n");
  ASSERT_EQ(Run({"reset", "--all", "--yes", "--json"}), cli::kExitDone) << io.err;
  const std::string id = Json::parse(io.out)["backup"];
  const Json manifest = Manifest(Utf8ToWide(id));
  EXPECT_EQ(manifest["reset"], "all");
  std::vector<std::string> kept;
  for (const Json& file : manifest["files"]) kept.push_back(file["path"]);
  std::vector<std::string> expected;
  for (const std::wstring& path : AllSettingsPaths(docs.root())) expected.push_back(WideToUtf8(path));
  EXPECT_EQ(kept, expected) << "every deleted file, in the order deleted";
  ASSERT_EQ(Run({"restore", id, "--yes"}), cli::kExitDone) << io.err;
  EXPECT_EQ(docs.Read(kEngineMirrorFile), "KEY:a\r\nVAL:1\r\n");
}

TEST_F(BackupsTest, RestoreKeepsNewerFilesAndRefusesDamagedCopies) {
  docs.Write(kCelluna, "old look");
  docs.Write(kCellunaPro, "old pro");
  ASSERT_EQ(Run({"reset", "cn", "--yes"}), cli::kExitDone);
  const std::wstring id = Backups().at(0);
  // A plugin made a new preset file since.
  docs.Write(kCelluna, "new look");
  fs::last_write_time(docs.FsPath(kCelluna), fs::file_time_type::clock::now() + std::chrono::hours(1));
  EXPECT_EQ(Run({"restore", WideToUtf8(id), "--yes"}), cli::kExitDone);
  EXPECT_NE(io.out.find("kept, newer"), std::string::npos) << io.out;
  EXPECT_EQ(docs.Read(kCelluna), "new look");
  EXPECT_EQ(docs.Read(kCellunaPro), "old pro");
  EXPECT_EQ(Run({"restore", WideToUtf8(id), "--yes", "--force"}), cli::kExitDone);
  EXPECT_EQ(docs.Read(kCelluna), "old look");

  // A copy that no longer matches its checksum is not restored; the others are.
  docs.Write(std::wstring(kBackupsFolder) + L"\\" + id + L"\\System\\Fx\\Effects\\Celluna.mru", "tampered");
  fs::remove(docs.FsPath(kCelluna));
  fs::remove(docs.FsPath(kCellunaPro));
  EXPECT_EQ(Run({"restore", "--latest", "--yes", "--json"}), cli::kExitFailed);
  const Json result = Json::parse(io.out);
  EXPECT_EQ(result["files"][0]["outcome"], "corrupt");
  EXPECT_EQ(result["files"][1]["outcome"], "restored");
  EXPECT_FALSE(docs.Exists(kCelluna));
  EXPECT_EQ(docs.Read(kCellunaPro), "old pro");

  EXPECT_EQ(Run({"restore", "19990101-000000", "--yes"}), cli::kExitUsage);
  EXPECT_NE(io.err.find(WideToUtf8(id)), std::string::npos) << "the message lists the backups there are";
  EXPECT_EQ(Run({"restore", "--latest"}), cli::kExitUsage) << "no console and no --yes";
}

TEST_F(BackupsTest, IncompleteBackupsAreIgnoredAndTheNewestTwentyKept) {
  // A backup cut short before its manifest: not listed, and gone after the next reset.
  docs.Write(std::wstring(kBackupsFolder) + L"\\20200101-000000\\System\\Fx\\Effects\\Celluna.mru", "half");
  EXPECT_TRUE(Backups().empty());
  ASSERT_EQ(Run({"backups"}), cli::kExitDone);
  EXPECT_NE(io.out.find("No backups"), std::string::npos);

  const std::time_t start = 1765000000;
  for (int i = 0; i < 21; ++i) {
    docs.Write(kCelluna, "preset " + std::to_string(i));
    BackupSession backup(docs.root(), "dialog", "Celluna");
    backup.SetTimeForTesting(start + 60 * i);
    ASSERT_FALSE(RemoveFamilyPresets(docs.root(), L"Celluna", backup.Remover()));
    ASSERT_FALSE(backup.Finish());
  }
  EXPECT_FALSE(docs.Exists(std::wstring(kBackupsFolder) + L"\\20200101-000000"));
  const std::vector<std::wstring> ids = Backups();
  ASSERT_EQ(ids.size(), kBackupsKept);
  EXPECT_EQ(Manifest(ids.front())["files"][0]["sha256"], Sha256Hex("preset 20")) << "newest first";
  EXPECT_EQ(Manifest(ids.back())["files"][0]["sha256"], Sha256Hex("preset 1")) << "the oldest went";

  // Two backups in one second get their own folders.
  docs.Write(kCelluna, "again");
  BackupSession same(docs.root(), "dialog", "Celluna");
  same.SetTimeForTesting(start + 60 * 20);
  ASSERT_FALSE(RemoveFamilyPresets(docs.root(), L"Celluna", same.Remover()));
  ASSERT_FALSE(same.Finish());
  EXPECT_EQ(ListBackupIds(docs.root()).front(), ids.front() + L"-2");
}

TEST_F(BackupsTest, NothingIsDeletedWithoutItsCopy) {
  docs.Write(kCelluna, "mine");
  docs.Write(kCellunaPro, "mine too");
  // A file where the backups folder belongs.
  docs.Write(kBackupsFolder, "in the way");
  EXPECT_EQ(Run({"reset", "Celluna", "--yes"}), cli::kExitFailed);
  EXPECT_NE(io.err.find(WideToUtf8(docs.Path(kCelluna))), std::string::npos) << io.err;
  EXPECT_NE(io.err.find("backup copy could not be written"), std::string::npos) << io.err;
  EXPECT_EQ(docs.Read(kCelluna), "mine");
  EXPECT_EQ(docs.Read(kCellunaPro), "mine too") << "the reset stopped at the first file";

  // A full disk while the copy is written.
  fs::remove(docs.FsPath(kBackupsFolder));
  SetSaveFaultHookForTesting(DiskFull);
  EXPECT_EQ(Run({"reset", "Celluna", "--yes"}), cli::kExitFailed);
  SetSaveFaultHookForTesting(nullptr);
  EXPECT_EQ(docs.Read(kCelluna), "mine");
  EXPECT_TRUE(Backups().empty());
}

}  // namespace
}  // namespace quenlow
