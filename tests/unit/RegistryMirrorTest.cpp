#include "settings/RegistryMirror.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "TempTree.h"

namespace quenlow {
namespace {

using Entries = std::vector<std::string>;
const std::wstring kMirror = L"\\Quenlow\\FX\\System\\lm.regr";

// `count` lines of alternating key and value lines.
std::string Lines(int count) {
  std::string text;
  for (int i = 0; i < count; ++i) text += (i % 2 ? "VAL:" : "KEY:k") + std::to_string(i / 2) + "\r\n";
  return text;
}

struct LoadCase {
  const char* name;
  std::string bytes;
  Entries entries;
  bool complete;
};

TEST(MirrorFormat, LoadsLikeThePlugins) {
  const std::string longKey = "KEY:" + std::string(296, 'k');  // 300 bytes
  const LoadCase cases[] = {
      {"pairs with CR LF", "KEY:a\r\nVAL:1\r\nKEY:b\r\nVAL:2\r\n", {"a", "1", "b", "2"}, true},
      {"pairs with LF only", "KEY:a\nVAL:1\nKEY:b\nVAL:2\n", {"a", "1", "b", "2"}, true},
      {"no final line end", "KEY:a\nVAL:1", {"a", "1"}, true},
      {"value without key is dropped", "VAL:x\nKEY:a\nVAL:1\n", {"a", "1"}, true},
      {"key after key gets VAL:", "KEY:a\nKEY:b\nVAL:2\n", {"a", "VAL:", "b", "2"}, true},
      {"key at the end has no value", "KEY:a\nVAL:1\nKEY:z\n", {"a", "1", "z"}, true},
      {"empty value", "KEY:a\nVAL:\n", {"a", ""}, true},
      {"lower-case prefix is skipped", "key:a\nVAL:1\nKEY:b\nVAL:2\n", {"b", "2"}, true},
      {"blank before the prefix is skipped", " KEY:a\nVAL:1\n", {}, true},
      {"duplicate keys are all kept", "KEY:a\nVAL:1\nKEY:a\nVAL:2\n", {"a", "1", "a", "2"}, true},
      {"blank lines are skipped", "KEY:a\n\n\nVAL:1\n", {"a", "1"}, true},
      {"byte-order mark is skipped", "\xEF\xBB\xBFKEY:a\r\nVAL:1\r\n", {"a", "1"}, true},
      {"bytes >= 0x80 are carried", "KEY:caf\xC3\xA9\nVAL:\xFF\n", {"caf\xC3\xA9", "\xFF"}, true},
      {"CR CR LF cuts at the first CR", "KEY:a\r\r\nVAL:1\r\n", {"a", "1"}, true},
      {"Ctrl-Z at the very end", "KEY:a\nVAL:1\n\x1A", {"a", "1"}, true},
      {"Ctrl-Z ends the stream", std::string("KEY:a\nVAL:1\n\x1AKEY:b\nVAL:2\n"), {"a", "1"}, false},
      {"lone CR inside a line", "KEY:a\rjunk\nVAL:1\n", {"a", "1"}, false},
      {"NUL inside a line", std::string("KEY:a\0b\nVAL:1\n", 14), {"a", "1"}, false},
      {"300-byte line is read in two pieces", longKey + "\nVAL:1\n", {std::string(263, 'k'), "1"}, false},
      {"266 bytes plus CR LF is one read",
       "KEY:" + std::string(262, 'k') + "\r\nVAL:1\r\n",
       {std::string(262, 'k'), "1"},
       true},
      {"267 bytes plus LF: the piece ends at its line end",
       "KEY:" + std::string(263, 'k') + "\nVAL:1\n",
       {std::string(263, 'k'), "1"},
       true},
  };
  for (const LoadCase& c : cases) {
    SCOPED_TRACE(c.name);
    MirrorContent content = ParseMirrorBytes(c.bytes);
    EXPECT_EQ(content.entries, c.entries);
    EXPECT_EQ(content.complete, c.complete);
  }
}

TEST(MirrorFormat, ReadsAtMost1024Lines) {
  MirrorContent exact = ParseMirrorBytes(Lines(1024));
  EXPECT_EQ(exact.reads, 1024);
  EXPECT_TRUE(exact.complete);
  EXPECT_EQ(exact.entries.size(), 1024u);

  MirrorContent longer = ParseMirrorBytes(Lines(1500));
  EXPECT_EQ(longer.reads, 1024);
  EXPECT_EQ(longer.entries.size(), 1024u);
  EXPECT_FALSE(longer.complete);
}

TEST(MirrorFormat, WritesCrLfByPosition) {
  EXPECT_EQ(FormatMirrorBytes({"a", "VAL:", "b", "2", "z"}), "KEY:a\r\nVAL:VAL:\r\nKEY:b\r\nVAL:2\r\nKEY:z\r\n");
}

class RegistryMirrorTest : public ::testing::Test {
 protected:
  std::string MirrorPath() const { return tree.Utf8Path(kMirror); }
  test::TempTree tree;
};

TEST_F(RegistryMirrorTest, LooksUpExactKeys) {
  tree.Write(kMirror,
             "KEY:SOFTWARE\\Quenlow Software\\FX\\a\r\nVAL:1\r\n"
             "KEY:SOFTWARE\\Quenlow Software\\FX\\b\r\nVAL:2\r\n"
             "KEY:SOFTWARE\\Quenlow Software\\FX\\b\r\nVAL:3\r\n"
             "KEY:SOFTWARE\\Quenlow Software\\FX\\e\r\nVAL:\r\n"
             "KEY:SOFTWARE\\Quenlow Software\\FX\\z\r\n");
  RegistryMirror store;
  ASSERT_EQ(store.Open(MirrorPath().c_str(), 1), 1);
  EXPECT_EQ(store.state(), MIRROR_LOADED);
  const char* key = "SOFTWARE\\Quenlow Software\\FX";
  std::string out = "untouched";
  EXPECT_EQ(store.GetText(key, "b", out, 1024), 1);
  EXPECT_EQ(out, "2") << "the first of two equal keys wins";
  EXPECT_EQ(store.GetText(key, "e", out, 1024), 1);
  EXPECT_EQ(out, "") << "an empty value is found";
  out = "untouched";
  EXPECT_EQ(store.GetText(key, "z", out, 1024), 0) << "a key without value is absent";
  EXPECT_EQ(store.GetText("SOFTWARE\\quenlow software\\FX", "b", out, 1024), 0) << "keys are case-sensitive";
  EXPECT_EQ(store.GetText(key, "a", out, 1), 0) << "a value as long as the limit does not fit";
  EXPECT_EQ(out, "untouched");
  EXPECT_EQ(store.GetText(key, "a", out, 2), 1);
}

TEST_F(RegistryMirrorTest, NumbersParseInBaseZero) {
  tree.Write(kMirror, "KEY:K\\hex\nVAL:0x10\nKEY:K\\none\nVAL:abc\nKEY:K\\empty\nVAL:\n");
  RegistryMirror store;
  (void)store.Open(MirrorPath().c_str(), 1);
  std::uint32_t value = 99;
  EXPECT_EQ(store.ReadDword("K", "hex", value), 1);
  EXPECT_EQ(value, 16u);
  EXPECT_EQ(store.ReadDword("K", "none", value), 1);
  EXPECT_EQ(value, 0u);
  value = 99;
  EXPECT_EQ(store.ReadDword("K", "empty", value), 1);
  EXPECT_EQ(value, 0u);
  value = 99;
  EXPECT_EQ(store.ReadDword("K", "missing", value), 0);
  EXPECT_EQ(value, 99u);
}

TEST_F(RegistryMirrorTest, GuardWordKeepsStoresToTheMakersFiles) {
  test::TempTree other;
  other.Write(L"\\settings.regr", "KEY:K\\a\nVAL:1\n");
  RegistryMirror refused;
  EXPECT_EQ(refused.Open(other.Utf8Path(L"\\settings.regr").c_str(), 0), 0);
  EXPECT_EQ(refused.state(), MIRROR_UNBOUND);
  std::uint32_t value = 0;
  EXPECT_EQ(refused.ReadDword("K", "a", value), 0);
  EXPECT_EQ(refused.WriteDword("K", "a", 2), 0);

  other.Write(L"\\qUeNlOw\\settings.regr", "KEY:K\\a\nVAL:1\n");
  RegistryMirror accepted;
  EXPECT_EQ(accepted.Open(other.Utf8Path(L"\\qUeNlOw\\settings.regr").c_str(), 1), 1);
  EXPECT_EQ(accepted.ReadDword("K", "a", value), 1);

  RegistryMirror unbound;
  EXPECT_EQ(unbound.Open(nullptr, 0), 1);
  EXPECT_EQ(unbound.state(), MIRROR_UNBOUND);
  EXPECT_EQ(unbound.WriteDword("K", "a", 2), 0);
}

TEST_F(RegistryMirrorTest, ReadOnlyStoreNeverWrites) {
  const std::string original = "KEY:K\\a\nVAL:1\n";
  tree.Write(kMirror, original);
  {
    RegistryMirror store;
    (void)store.Open(MirrorPath().c_str(), 1);
    EXPECT_EQ(store.WriteDword("K", "a", 2), 0);
    EXPECT_EQ(store.SetNumber("K", "a", 2), 0);
    EXPECT_EQ(store.Save(), 1);
  }
  EXPECT_EQ(tree.Read(kMirror), original);
}

TEST_F(RegistryMirrorTest, MissingFolderIsAnEmptyStoreThatCreatesNothing) {
  {
    RegistryMirror store;
    ASSERT_EQ(store.Open(MirrorPath().c_str(), 0), 1);
    EXPECT_EQ(store.state(), MIRROR_NO_FILE);
    EXPECT_EQ(store.WriteDword("K", "a", 2), 1);
    EXPECT_EQ(store.Save(), 0);
  }
  EXPECT_FALSE(tree.Exists(L"\\Quenlow"));
}

TEST_F(RegistryMirrorTest, SavesWholeFileAtDestruction) {
  tree.Write(kMirror, "KEY:a\nKEY:b\nVAL:2\n");
  {
    RegistryMirror store;
    (void)store.Open(MirrorPath().c_str(), 0);
    EXPECT_EQ(store.WriteDword("K", "n", 7), 1);
  }
  EXPECT_EQ(tree.Read(kMirror), "KEY:a\r\nVAL:VAL:\r\nKEY:b\r\nVAL:2\r\nKEY:K\\n\r\nVAL:7\r\n");
}

TEST_F(RegistryMirrorTest, DanglingKeyStaysLastAndAlone) {
  tree.Write(kMirror, "KEY:K\\a\nVAL:1\nKEY:K\\z\n");
  {
    RegistryMirror store;
    (void)store.Open(MirrorPath().c_str(), 0);
    EXPECT_EQ(store.WriteDword("K", "n", 7), 1);
    EXPECT_EQ(store.WriteDword("K", "m", 8), 1);
  }
  EXPECT_EQ(tree.Read(kMirror), "KEY:K\\a\r\nVAL:1\r\nKEY:K\\n\r\nVAL:7\r\nKEY:K\\m\r\nVAL:8\r\nKEY:K\\z\r\n");
  {
    RegistryMirror store;
    (void)store.Open(MirrorPath().c_str(), 0);
    EXPECT_EQ(store.WriteDword("K", "z", 9), 1) << "writing the dangling key gives it its value";
  }
  EXPECT_EQ(tree.Read(kMirror), "KEY:K\\a\r\nVAL:1\r\nKEY:K\\n\r\nVAL:7\r\nKEY:K\\m\r\nVAL:8\r\nKEY:K\\z\r\nVAL:9\r\n");
}

TEST_F(RegistryMirrorTest, IncompleteLoadNeverRewritesTheFile) {
  const std::string cases[] = {
      Lines(1500),
      "KEY:" + std::string(296, 'k') + "\nVAL:1\n",
      "KEY:K\\a\rjunk\nVAL:1\n",
      std::string("KEY:K\\a\nVAL:1\n\x1AKEY:K\\b\nVAL:2\n"),
      std::string("KEY:K\\a\0x\nVAL:1\n", 16),
  };
  for (const std::string& original : cases) {
    tree.Write(kMirror, original);
    {
      RegistryMirror store;
      (void)store.Open(MirrorPath().c_str(), 0);
      EXPECT_TRUE(store.loadWasIncomplete());
      EXPECT_EQ(store.WriteDword("K", "a", 5), 1) << "changes still work in memory";
      std::uint32_t value = 0;
      EXPECT_EQ(store.ReadDword("K", "a", value), 1);
      EXPECT_EQ(value, 5u);
      EXPECT_EQ(store.Save(), 0);
    }
    EXPECT_EQ(tree.Read(kMirror), original);
  }
}

TEST_F(RegistryMirrorTest, NeverWritesMoreThanTheReadersRead) {
  // 1020 lines read whole; eight more entries would push the last ones past line 1024.
  const std::string original = Lines(1020);
  tree.Write(kMirror, original);
  {
    RegistryMirror store;
    (void)store.Open(MirrorPath().c_str(), 0);
    EXPECT_FALSE(store.loadWasIncomplete());
    for (const char* name : {"a", "b", "c", "d"}) EXPECT_EQ(store.WriteDword("K", name, 1), 1);
    EXPECT_EQ(store.Save(), 0);
  }
  EXPECT_EQ(tree.Read(kMirror), original);
}

TEST_F(RegistryMirrorTest, ByteOrderMarkIsNotWrittenBack) {
  tree.Write(kMirror, "\xEF\xBB\xBFKEY:K\\a\r\nVAL:1\r\n");
  {
    RegistryMirror store;
    (void)store.Open(MirrorPath().c_str(), 0);
    EXPECT_EQ(store.WriteDword("K", "a", 2), 1);
  }
  EXPECT_EQ(tree.Read(kMirror), "KEY:K\\a\r\nVAL:2\r\n");
}

TEST_F(RegistryMirrorTest, SaveLeavesNoTemporaryFile) {
  tree.Write(kMirror, "KEY:K\\a\r\nVAL:1\r\n");
  {
    RegistryMirror store;
    (void)store.Open(MirrorPath().c_str(), 0);
    EXPECT_EQ(store.WriteDword("K", "a", 2), 1);
    EXPECT_EQ(store.Save(), 1);
  }
  int files = 0;
  for ([[maybe_unused]] auto& entry : std::filesystem::directory_iterator(tree.FsPath(L"\\Quenlow\\FX\\System")))
    ++files;
  EXPECT_EQ(files, 1);
}

TEST_F(RegistryMirrorTest, NeverOpenedStoreIsInDirectMode) {
  RegistryMirror store;
  std::uint32_t value = 42;
  // No registry value of ours exists on a test machine; the read fails and leaves out alone.
  EXPECT_EQ(store.ReadDword("SOFTWARE\\Quenlow Software\\FX test", "DefaultRenderer", value), 0);
  EXPECT_EQ(value, 42u);
  EXPECT_EQ(store.WriteDword("K", "a", 1), 0) << "direct mode is read-only";
  char buffer[524];
  (void)store.ReadDocumentsFolder(buffer);  // must not crash either way
}

}  // namespace
}  // namespace quenlow
