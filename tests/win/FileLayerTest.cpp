// The Win32 file layer with real handles: sharing, read-only files, long and non-ASCII paths.
#include <windows.h>

#include <gtest/gtest.h>

#include <thread>

#include "../unit/TempTree.h"
#include "maintenance/Resets.h"
#include "platform/Files.h"
#include "settings/RegistryMirror.h"
#include "settings/Settings.h"

namespace quenlow::test {
namespace {

const std::wstring kMirror = L"\\Quenlow\\FX\\System\\lm.regr";

HANDLE Hold(const std::wstring& path, DWORD share) {
  return ::CreateFileW(path.c_str(), GENERIC_READ, share, nullptr, OPEN_EXISTING, 0, nullptr);
}

int FilesIn(const TempTree& tree, const std::wstring& folder) {
  int count = 0;
  for ([[maybe_unused]] auto& entry : std::filesystem::directory_iterator(tree.FsPath(folder))) ++count;
  return count;
}

TEST(FileLayer, PathsTheSystemRejectsAreAbsent) {
  TempTree tree;
  tree.MakeFolder(L"\\Quenlow Velumen.vxx");
  EXPECT_TRUE(PathExists(tree.Path(L"\\Quenlow Velumen.vxx")));
  EXPECT_FALSE(PathExists(tree.Path(L"\\" + std::wstring(300, L'p') + L"\\x.ofx")));
  EXPECT_FALSE(PathExists(tree.Path(L"\\a<b|c")));
  EXPECT_FALSE(PathExists(tree.Path(L"\\*")));
}

TEST(FileLayer, MirrorInANonAsciiFolder) {
  TempTree tree;
  const std::wstring folder = L"\\Dokumente \u00C4\u20AC";
  tree.MakeFolder(folder + L"\\Quenlow\\FX\\System");
  StoreRenderEngine(tree.Path(folder), 1);
  EXPECT_EQ(ReadRenderEngine(tree.Path(folder)), 1);
}

TEST(FileLayer, FileHeldWithoutSharingIsNotReadAndNeverRewritten) {
  TempTree tree;
  const std::string original = "KEY:K\\a\r\nVAL:1\r\n";
  tree.Write(kMirror, original);
  HANDLE held = Hold(tree.Path(kMirror), 0);
  ASSERT_NE(held, INVALID_HANDLE_VALUE);
  {
    RegistryMirror store;
    (void)store.Open(tree.Utf8Path(kMirror).c_str(), 0);
    EXPECT_EQ(store.state(), MIRROR_NO_FILE);
    EXPECT_TRUE(store.loadWasIncomplete());
    EXPECT_EQ(store.WriteDword("K", "b", 2), 1);
  }
  ::CloseHandle(held);
  EXPECT_EQ(tree.Read(kMirror), original);
}

TEST(FileLayer, FailedReplaceKeepsTheOldBytes) {
  TempTree tree;
  const std::string original = "KEY:K\\a\r\nVAL:1\r\n";
  tree.Write(kMirror, original);
  // A reader that never lets go: readable, but it cannot be replaced.
  HANDLE held = Hold(tree.Path(kMirror), FILE_SHARE_READ);
  ASSERT_NE(held, INVALID_HANDLE_VALUE);
  {
    RegistryMirror store;
    (void)store.Open(tree.Utf8Path(kMirror).c_str(), 0);
    EXPECT_FALSE(store.loadWasIncomplete());
    EXPECT_EQ(store.WriteDword("K", "a", 2), 1);
    EXPECT_EQ(store.Save(), 0);
  }
  ::CloseHandle(held);
  EXPECT_EQ(tree.Read(kMirror), original);
  EXPECT_EQ(FilesIn(tree, L"\\Quenlow\\FX\\System"), 1) << "no temporary file is left";
}

TEST(FileLayer, ReplaceWaitsForAReaderToLetGo) {
  TempTree tree;
  tree.Write(kMirror, "old");
  // A plugin reading the file without delete sharing blocks the replace for a moment.
  HANDLE held = Hold(tree.Path(kMirror), FILE_SHARE_READ | FILE_SHARE_WRITE);
  ASSERT_NE(held, INVALID_HANDLE_VALUE);
  std::thread reader([held] {
    ::Sleep(120);
    ::CloseHandle(held);
  });
  std::error_code error = ReplaceFileBytes(tree.Path(kMirror), "new").error;
  reader.join();
  EXPECT_FALSE(error) << error.value();
  EXPECT_EQ(tree.Read(kMirror), "new");
}

TEST(FileLayer, AWriterHoldingTheFileKeepsItsOwnContent) {
  TempTree tree;
  const std::string plugins = "KEY:K\\a\r\nVAL:1\r\nKEY:K\\b\r\nVAL:2\r\n";
  tree.Write(kMirror, plugins);
  // A plugin in the middle of rewriting the file: open for writing, readers allowed.
  HANDLE writer = ::CreateFileW(tree.Path(kMirror).c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                OPEN_EXISTING, 0, nullptr);
  ASSERT_NE(writer, INVALID_HANDLE_VALUE);
  StoreResult stored = StoreRenderEngine(tree.root(), 0);
  ::CloseHandle(writer);
  EXPECT_EQ(stored.outcome, StoreOutcome::Busy) << "a half-written file is never read, so never written back";
  EXPECT_EQ(tree.Read(kMirror), plugins);
}

TEST(FileLayer, ASaveWorksWhereverTheTargetWorks) {
  TempTree tree;
  // A common documents folder so deep that "lm.regr" just fits the classic path limit and
  // a temporary name beside it does not.
  std::wstring deep;
  while (tree.root().size() + deep.size() + kMirror.size() < MAX_PATH - 12) deep += L"\\deep";
  deep += std::wstring(MAX_PATH - 1 - tree.root().size() - deep.size() - kMirror.size() - 1, L'd');
  const std::wstring target = tree.Path(deep) + kMirror;
  ASSERT_EQ(target.size(), static_cast<std::size_t>(MAX_PATH - 2));
  tree.MakeFolder(deep + L"\\Quenlow\\FX\\System");
  EXPECT_EQ(StoreRenderEngine(tree.Path(deep), 1).outcome, StoreOutcome::Stored);
  EXPECT_EQ(ReadRenderEngine(tree.Path(deep)), 1);
}

TEST(FileLayer, ProbeSkipsBusyFilesAndReportsUndeletableOnes) {
  TempTree tree;
  const std::wstring busy = L"\\Quenlow\\FX\\System\\Fx\\Effects\\Celluna.mru";
  const std::wstring locked = L"\\Quenlow\\FX\\System\\Fx\\Effects\\Celluna Pro.mru";
  tree.Write(busy, "x");
  tree.Write(locked, "x");
  HANDLE held = Hold(tree.Path(busy), 0);
  ASSERT_NE(held, INVALID_HANDLE_VALUE);
  ASSERT_TRUE(::SetFileAttributesW(tree.Path(locked).c_str(), FILE_ATTRIBUTE_READONLY));

  std::optional<ResetFailure> failure = RemoveFamilyPresets(tree.root(), L"Celluna");
  ::CloseHandle(held);
  EXPECT_TRUE(tree.Exists(busy)) << "held open by a plugin: skipped";
  ASSERT_TRUE(failure);
  EXPECT_EQ(failure->path, tree.Path(locked));
  EXPECT_EQ(failure->error.value(), ERROR_ACCESS_DENIED);
  ::SetFileAttributesW(tree.Path(locked).c_str(), FILE_ATTRIBUTE_NORMAL);
  EXPECT_EQ(ProbeAndDeleteFile(tree.Path(busy)).status, RemoveStatus::Removed);
  EXPECT_EQ(ProbeAndDeleteFile(tree.Path(busy)).status, RemoveStatus::Skipped);
}

}  // namespace
}  // namespace quenlow::test
