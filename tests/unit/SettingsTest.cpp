#include "settings/Settings.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <optional>

#include "EngineFileBytes.h"
#include "TempTree.h"

namespace quenlow {
namespace {

const std::wstring kMirror = L"\\Quenlow\\FX\\System\\lm.regr";
constexpr std::nullopt_t kNone = std::nullopt;

TEST(RenderEncoding, DecodesEveryRow) {
  const struct {
    std::optional<std::uint32_t> family, variant;
    int index;
  } rows[] = {
      // clang-format off
      // DirectRenderer unreadable
      {1, kNone, 1}, {2, kNone, 1}, {16, kNone, 3}, {kNone, kNone, 3}, {0, kNone, 0}, {5, kNone, 5},
      // DirectRenderer 0
      {1, 0, 4}, {2, 0, 0}, {16, 0, 2}, {kNone, 0, 2}, {5, 0, 0},
      // DirectRenderer 1
      {1, 1, 1}, {2, 1, 1}, {16, 1, 3}, {kNone, 1, 3}, {5, 1, 1},
      // any other DirectRenderer is the index itself
      {1, 7, 7}, {16, 7, 7}, {kNone, 7, 7}, {2, 4294967295u, -1},
      // clang-format on
  };
  for (const auto& row : rows) {
    EXPECT_EQ(DecodeRenderEngine(row.family, row.variant), row.index)
        << "DefaultRenderer " << row.family.value_or(999) << ", DirectRenderer " << row.variant.value_or(999);
  }
}

TEST(RenderEncoding, EveryStoredPairReadsBack) {
  const RendererPair expected[] = {{2, 0}, {2, 1}, {16, 0}, {16, 1}, {1, 0}};
  for (int index = 0; index < kRenderEngineCount; ++index) {
    RendererPair pair = EncodeRenderEngine(index);
    EXPECT_EQ(pair.defaultRenderer, expected[index].defaultRenderer);
    EXPECT_EQ(pair.directRenderer, expected[index].directRenderer);
    EXPECT_EQ(DecodeRenderEngine(pair.defaultRenderer, pair.directRenderer), index);
  }
  EXPECT_EQ(EncodeRenderEngine(9).defaultRenderer, 1u) << "above 4 is stored like 4";
}

class EngineFileTest : public ::testing::Test {
 protected:
  test::TempTree docs;
};

TEST_F(EngineFileTest, ReadsTheStoredEngine) {
  EXPECT_EQ(ReadRenderEngine(docs.root()), 3) << "no file";
  const struct {
    const char* content;
    int index;
  } cases[] = {
      {"KEY:SOFTWARE\\Quenlow Software\\FX\\DefaultRenderer\r\nVAL:2\r\n", 1},
      {"KEY:SOFTWARE\\Quenlow Software\\FX\\DefaultRenderer\r\nVAL:5\r\n", 5},
      {"KEY:SOFTWARE\\Quenlow Software\\FX\\DefaultRenderer\r\nVAL:\r\n", 0},
      {"KEY:SOFTWARE\\Quenlow Software\\FX\\DefaultRenderer\r\nVAL:0x10\r\n", 3},
      {"KEY:SOFTWARE\\Quenlow Software\\FX\\DirectRenderer\r\nVAL:0\r\n", 2},
      {"KEY:SOFTWARE\\Quenlow Software\\FX for OFX\\DirectRenderer\r\nVAL:0\r\n", 3},
  };
  for (const auto& c : cases) {
    docs.Write(kMirror, c.content);
    EXPECT_EQ(ReadRenderEngine(docs.root()), c.index) << c.content;
  }
}

TEST_F(EngineFileTest, StoresEachEngineUnderTheFourKeysInOrder) {
  docs.MakeFolder(L"\\Quenlow\\FX\\System");
  const RendererPair pairs[] = {{2, 0}, {2, 1}, {16, 0}, {16, 1}, {1, 0}};
  for (int index = 0; index < kRenderEngineCount; ++index) {
    std::filesystem::remove(docs.FsPath(kMirror));
    StoreRenderEngine(docs.root(), index);
    EXPECT_EQ(docs.Read(kMirror), test::EngineFileBytes(pairs[index].defaultRenderer, pairs[index].directRenderer))
        << index;
    EXPECT_EQ(ReadRenderEngine(docs.root()), index);
  }
}

TEST_F(EngineFileTest, KeepsForeignEntriesInPlace) {
  docs.Write(kMirror,
             "KEY:Plugin\\Foreign\r\nVAL:x\r\n"
             "KEY:SOFTWARE\\Quenlow Software\\FX for Magix\\DirectRenderer\r\nVAL:1\r\n"
             "KEY:Plugin\\Other\nVAL:y\n");
  StoreRenderEngine(docs.root(), 0);
  EXPECT_EQ(docs.Read(kMirror),
            "KEY:Plugin\\Foreign\r\nVAL:x\r\n"
            "KEY:SOFTWARE\\Quenlow Software\\FX for Magix\\DirectRenderer\r\nVAL:0\r\n"
            "KEY:Plugin\\Other\r\nVAL:y\r\n"
            "KEY:SOFTWARE\\Quenlow Software\\FX\\DefaultRenderer\r\nVAL:2\r\n"
            "KEY:SOFTWARE\\Quenlow Software\\FX\\DirectRenderer\r\nVAL:0\r\n"
            "KEY:SOFTWARE\\Quenlow Software\\FX for OFX\\DefaultRenderer\r\nVAL:2\r\n"
            "KEY:SOFTWARE\\Quenlow Software\\FX for OFX\\DirectRenderer\r\nVAL:0\r\n"
            "KEY:SOFTWARE\\Quenlow Software\\FX for CyberLink\\DefaultRenderer\r\nVAL:2\r\n"
            "KEY:SOFTWARE\\Quenlow Software\\FX for CyberLink\\DirectRenderer\r\nVAL:0\r\n"
            "KEY:SOFTWARE\\Quenlow Software\\FX for Magix\\DefaultRenderer\r\nVAL:2\r\n");
}

TEST_F(EngineFileTest, DanglingKeyThenStoringCgKeepsPairsAligned) {
  docs.Write(kMirror, "KEY:Plugin\\Foreign\r\nVAL:x\r\nKEY:Plugin\\Dangling\r\n");
  StoreRenderEngine(docs.root(), 0);
  StoreRenderEngine(docs.root(), 1);
  const std::string saved = docs.Read(kMirror);
  EXPECT_EQ(saved.substr(0, 32), "KEY:Plugin\\Foreign\r\nVAL:x\r\nKEY:S");
  EXPECT_EQ(saved.substr(saved.size() - 21), "KEY:Plugin\\Dangling\r\n");
  EXPECT_EQ(ReadRenderEngine(docs.root()), 1);
  EXPECT_EQ(std::count(saved.begin(), saved.end(), '\n'), 2 + 16 + 1) << "no entries were added twice";
}

TEST_F(EngineFileTest, MissingFolderStoresNothing) {
  StoreRenderEngine(docs.root(), 0);
  EXPECT_FALSE(docs.Exists(L"\\Quenlow"));
}

TEST_F(EngineFileTest, PathTooLongForTheBufferUsesNoStore) {
  // 523 bytes of path fit the 524-byte buffer; one more does not.
  const std::wstring padding(523 - 26, L'x');  // 26: the length of "\Quenlow\FX\System\lm.regr"
  ASSERT_TRUE(MirrorPath(padding, kEngineMirrorFile));
  EXPECT_FALSE(MirrorPath(padding + L"y", kEngineMirrorFile));
  EXPECT_EQ(ReadRenderEngine(padding + L"y"), 3);
}

TEST_F(EngineFileTest, CustomLocationComesFromTheProgramFilesFile) {
  test::TempTree programFiles;
  EXPECT_FALSE(ReadCustomLocation(programFiles.root()));
  docs.Write(kMirror, "KEY:SOFTWARE\\Quenlow Software\\FX\\Documents\r\nVAL:D:\\Elsewhere\r\n");
  EXPECT_FALSE(ReadCustomLocation(programFiles.root())) << "the common documents file is not looked at";
  programFiles.Write(kMirror, "KEY:SOFTWARE\\Quenlow Software\\FX\\Documents\r\nVAL:D:\\My Docs\r\n");
  EXPECT_EQ(ReadCustomLocation(programFiles.root()), "D:\\My Docs");
  programFiles.Write(kMirror, "KEY:SOFTWARE\\Quenlow Software\\FX\\Documents\r\n");
  EXPECT_FALSE(ReadCustomLocation(programFiles.root())) << "a key without value";
}

}  // namespace
}  // namespace quenlow
