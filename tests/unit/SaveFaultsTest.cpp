// Saving under faults, at the file layer's seam (both builds): every step that can fail
// leaves the old or the new complete content under the file's name and nothing else; a
// file that changed after it was read is not overwritten with the stale copy; a file far
// beyond the reader's limit costs only the part the reader can use.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "TempTree.h"
#include "platform/Files.h"
#include "settings/RegistryMirror.h"
#include "settings/Settings.h"

namespace quenlow {
namespace {

const std::wstring kFolder = L"\\Quenlow\\FX\\System";
const std::wstring kMirror = L"\\Quenlow\\FX\\System\\lm.regr";
const std::string kOld = "KEY:K\\a\r\nVAL:1\r\n";

std::error_code Refused() { return std::make_error_code(std::errc::io_error); }

SaveStep g_failingStep = SaveStep::CreateTemporary;
std::error_code FailAtStep(SaveStep step, const std::wstring&) {
  return step == g_failingStep ? Refused() : std::error_code();
}

// The old file vanishes (as when a replace fails half-way) and then the replace fails.
std::error_code LoseTheTargetThenFail(SaveStep step, const std::wstring& target) {
  if (step != SaveStep::Replace) return {};
  std::filesystem::remove(test::TempTree::ToFsPath(target));
  return Refused();
}

class SaveFaultsTest : public ::testing::Test {
 protected:
  void SetUp() override { tree.Write(kMirror, kOld); }
  void TearDown() override { SetSaveFaultHookForTesting(nullptr); }

  std::vector<std::string> FilesInFolder() const {
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(tree.FsPath(kFolder)))
      names.push_back(entry.path().filename().u8string());
    return names;
  }

  test::TempTree tree;
};

TEST_F(SaveFaultsTest, EachFailingStepKeepsTheOldFileAndLeavesNothingBehind) {
  for (SaveStep step : {SaveStep::CreateTemporary, SaveStep::Write, SaveStep::Flush, SaveStep::Replace}) {
    SCOPED_TRACE(static_cast<int>(step));
    g_failingStep = step;
    SetSaveFaultHookForTesting(FailAtStep);
    ReplaceResult result = ReplaceFileBytes(tree.Path(kMirror), "new content");
    EXPECT_EQ(result.error, Refused());
    EXPECT_TRUE(result.keptTemporary.empty());
    EXPECT_EQ(tree.Read(kMirror), kOld);
    EXPECT_EQ(FilesInFolder(), std::vector<std::string>{"lm.regr"});

    // The store reports the failure and keeps the old bytes too.
    StoreResult stored = StoreRenderEngine(tree.root(), 0);
    EXPECT_EQ(stored.outcome, StoreOutcome::Failed);
    EXPECT_EQ(stored.error, Refused());
    EXPECT_EQ(stored.path, tree.Path(kMirror));
    EXPECT_EQ(tree.Read(kMirror), kOld);
  }
  SetSaveFaultHookForTesting(nullptr);
  EXPECT_FALSE(ReplaceFileBytes(tree.Path(kMirror), "new content"));
  EXPECT_EQ(tree.Read(kMirror), "new content");
  EXPECT_EQ(FilesInFolder(), std::vector<std::string>{"lm.regr"});
}

TEST_F(SaveFaultsTest, TheOnlyCopyIsNeverDeleted) {
  SetSaveFaultHookForTesting(LoseTheTargetThenFail);
  StoreResult stored = StoreRenderEngine(tree.root(), 0);
  EXPECT_EQ(stored.outcome, StoreOutcome::Failed);
  ASSERT_FALSE(stored.keptTemporary.empty()) << "the error names the file that holds the new content";
  const std::filesystem::path kept = test::TempTree::ToFsPath(stored.keptTemporary);
  EXPECT_TRUE(std::filesystem::exists(kept));
  EXPECT_EQ(FilesInFolder(), std::vector<std::string>{kept.filename().u8string()});
}

TEST_F(SaveFaultsTest, ReadOnlyFileIsLeftAsItWas) {
  // Under Windows this sets the read-only attribute; under Wine that is mode 0444.
  std::filesystem::permissions(
      tree.FsPath(kMirror),
      std::filesystem::perms::owner_write | std::filesystem::perms::group_write | std::filesystem::perms::others_write,
      std::filesystem::perm_options::remove);
  StoreResult stored = StoreRenderEngine(tree.root(), 0);
  EXPECT_EQ(stored.outcome, StoreOutcome::ReadOnly);
  EXPECT_EQ(tree.Read(kMirror), kOld);
  EXPECT_EQ(FilesInFolder(), std::vector<std::string>{"lm.regr"});
  std::filesystem::permissions(tree.FsPath(kMirror), std::filesystem::perms::owner_write,
                               std::filesystem::perm_options::add);
}

TEST_F(SaveFaultsTest, AFileChangedAfterItWasReadIsReadAgain) {
  RegistryMirror store;
  ASSERT_EQ(store.Open(tree.Utf8Path(kMirror).c_str(), 0), 1);
  ASSERT_EQ(store.WriteDword("K", "b", 2), 1);
  // A plugin rewrites the file meanwhile, with an entry of its own.
  tree.Write(kMirror, "KEY:K\\a\r\nVAL:1\r\nKEY:K\\p\r\nVAL:9\r\n");
  EXPECT_EQ(store.Save(), 1);
  EXPECT_EQ(tree.Read(kMirror), "KEY:K\\a\r\nVAL:1\r\nKEY:K\\p\r\nVAL:9\r\nKEY:K\\b\r\nVAL:2\r\n")
      << "the plugin's entry survives and ours is applied on top";

  // A file created after the store found none is not replaced by the store's copy either.
  std::filesystem::remove(tree.FsPath(kMirror));
  RegistryMirror fresh;
  ASSERT_EQ(fresh.Open(tree.Utf8Path(kMirror).c_str(), 0), 1);
  ASSERT_EQ(fresh.WriteDword("K", "b", 3), 1);
  tree.Write(kMirror, "KEY:K\\p\r\nVAL:9\r\n");
  EXPECT_EQ(fresh.Save(), 1);
  EXPECT_EQ(tree.Read(kMirror), "KEY:K\\p\r\nVAL:9\r\nKEY:K\\b\r\nVAL:3\r\n");
}

TEST_F(SaveFaultsTest, AHugeFileIsReadOnlyAsFarAsTheReaderGoes) {
  // A sparse file: 200 MB of zero bytes on disk costs nothing to make.
  const std::uintmax_t huge = 200u << 20;
  std::filesystem::resize_file(tree.FsPath(kMirror), huge);
  FileBytes read = ReadFileBytes(tree.Path(kMirror), kMirrorReadLimit);
  EXPECT_EQ(read.status, ReadStatus::Ok);
  EXPECT_TRUE(read.truncated);
  EXPECT_EQ(read.bytes.size(), kMirrorReadLimit);
  EXPECT_EQ(read.stamp.size, huge);

  RegistryMirror store;
  ASSERT_EQ(store.Open(tree.Utf8Path(kMirror).c_str(), 0), 1);
  EXPECT_TRUE(store.loadWasIncomplete());
  EXPECT_EQ(store.entries(), (std::vector<std::string>{"K\\a", "1"}));
  EXPECT_EQ(StoreRenderEngine(tree.root(), 0).outcome, StoreOutcome::NotReadWhole);
  EXPECT_EQ(std::filesystem::file_size(tree.FsPath(kMirror)), huge) << "left untouched";

  // Just within the limit the file still counts as read whole.
  std::string within = kOld;
  within.resize(kMirrorReadLimit, '\n');
  tree.Write(kMirror, within);
  read = ReadFileBytes(tree.Path(kMirror), kMirrorReadLimit);
  EXPECT_FALSE(read.truncated);
  EXPECT_EQ(read.bytes, within);
}

}  // namespace
}  // namespace quenlow
