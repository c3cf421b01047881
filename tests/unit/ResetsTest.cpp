#include "maintenance/Resets.h"

#include <gtest/gtest.h>

#include <vector>

#include "TempTree.h"
#include "catalogue/Catalogue.h"
#include "settings/Settings.h"

namespace quenlow {
namespace {

// Every file a reset may touch, plus a stranger that no reset owns.
class ResetsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    for (const FamilyInfo& family : kFamilies)
      for (const wchar_t* preset : family.presetFiles) docs.Write(preset, "preset");
    for (const wchar_t* mirror : kResetMirrorFiles) docs.Write(mirror, "KEY:a\r\nVAL:1\r\n");
    docs.Write(kStranger, "keep");
  }

  std::vector<std::wstring> Remaining() const {
    std::vector<std::wstring> left;
    for (const FamilyInfo& family : kFamilies)
      for (const wchar_t* preset : family.presetFiles)
        if (docs.Exists(preset)) left.emplace_back(preset);
    for (const wchar_t* mirror : kResetMirrorFiles)
      if (docs.Exists(mirror)) left.emplace_back(mirror);
    return left;
  }

  // Every preset of every family and the four mirror files.
  const std::size_t kResetFiles = AllSettingsPaths(L"").size();
  static constexpr const wchar_t* kStranger = L"\\Quenlow\\FX\\System\\Fx\\Effects\\Stranger.mru";
  test::TempTree docs;
};

TEST_F(ResetsTest, EachFamilyDeletesExactlyItsPresets) {
  for (const FamilyInfo& family : kFamilies) {
    SetUp();
    EXPECT_FALSE(RemoveFamilyPresets(docs.root(), family.displayName));
    std::vector<std::wstring> left = Remaining();
    for (const wchar_t* preset : family.presetFiles) EXPECT_FALSE(docs.Exists(preset)) << preset;
    EXPECT_EQ(left.size(), kResetFiles - family.presetFiles.size()) << family.displayName;
    EXPECT_TRUE(docs.Exists(kStranger));
  }
}

TEST_F(ResetsTest, UnknownOrEmptyNamesDeleteNothing) {
  for (const wchar_t* name : {L"", L"corvane tools", L"Corvane", L"Orbitale "}) {
    EXPECT_FALSE(RemoveFamilyPresets(docs.root(), name));
    EXPECT_EQ(Remaining().size(), kResetFiles) << name;
  }
}

TEST_F(ResetsTest, MissingFilesAreSkipped) {
  test::TempTree empty;
  EXPECT_FALSE(RemoveAllSettingsFiles(empty.root()));
}

TEST_F(ResetsTest, AllDeletesEveryPresetAndTheFourMirrorFiles) {
  EXPECT_FALSE(RemoveAllSettingsFiles(docs.root()));
  EXPECT_TRUE(Remaining().empty());
  EXPECT_TRUE(docs.Exists(kStranger));
}

// Stands in for a file the system refuses to delete; records the order of the attempts.
std::vector<std::wstring> g_attempts;
RemoveResult RefuseTaviroTransitions(const std::wstring& path) {
  g_attempts.push_back(path);
  const std::wstring_view refused = L"\\Fx\\Transitions\\Taviro.mru";
  if (path.size() >= refused.size() && path.compare(path.size() - refused.size(), refused.size(), refused) == 0)
    return {RemoveStatus::Failed, std::make_error_code(std::errc::permission_denied)};
  return ProbeAndDeleteFile(path);
}

TEST_F(ResetsTest, UndeletableFileStopsEverythingAfterIt) {
  g_attempts.clear();
  std::optional<ResetFailure> failure = RemoveAllSettingsFiles(docs.root(), RefuseTaviroTransitions);
  ASSERT_TRUE(failure);
  EXPECT_EQ(failure->path, docs.Path(L"\\Quenlow\\FX\\System\\Fx\\Transitions\\Taviro.mru"));
  EXPECT_EQ(failure->error, std::make_error_code(std::errc::permission_denied));
  EXPECT_EQ(g_attempts.size(), 4u) << "Orbitale, Velumen, Fondara, then the first Taviro file";
  std::vector<std::wstring> left = Remaining();
  EXPECT_EQ(left.size(), kResetFiles - 3) << "all but the first three families' single presets";
  EXPECT_EQ(left.front(), L"\\Quenlow\\FX\\System\\Fx\\Transitions\\Taviro.mru");
  EXPECT_EQ(left.back(), L"\\Quenlow\\FX\\System\\dlm.regr");
}

}  // namespace
}  // namespace quenlow
