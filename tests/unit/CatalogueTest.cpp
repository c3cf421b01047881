#include "catalogue/Catalogue.h"

#include <gtest/gtest.h>

#include <string>

namespace quenlow {
namespace {

TEST(Catalogue, OfxHostFilesFollowTheBundlePattern) {
  const wchar_t* stems[] = {L"orbitale",   L"velumen",      L"fondara",     L"taviro",      L"tavirofrost",
                            L"mistweave",  L"mistweavepro", L"calmlenspro", L"keenlenspro", L"br3-dravel",
                            L"brt-dravel", L"celluna",      L"cellunapro"};
  ASSERT_EQ(std::size(stems), kPlugins.size());
  for (std::size_t i = 0; i < kPlugins.size(); ++i) {
    const std::wstring stem = stems[i];
    EXPECT_EQ(kPlugins[i].hostFiles[HOST_OFX],
              L"\\Common Files\\OFX\\Plugins\\Quenlow\\" + stem + L".ofx.bundle\\Contents\\Win64\\" + stem + L".ofx");
    EXPECT_EQ(std::wstring(kPlugins[i].hostFiles[HOST_MAGIX]).rfind(L"\\Magix\\Common\\VfxPlugins\\Quenlow", 0), 0u);
    const std::wstring cyberLink = kPlugins[i].hostFiles[HOST_CYBERLINK];
    EXPECT_EQ(cyberLink.rfind(L"\\CyberLink\\Shared files\\PlugIn\\Quenlow\\CES_PlugIn_Quenlow_", 0), 0u);
    EXPECT_EQ(cyberLink.substr(cyberLink.size() - 8), L"_ENU.xml");
  }
}

TEST(Catalogue, BitsAreDistinctAndOnlyTheKnownOnes) {
  PluginBits all = 0;
  for (const PluginInfo& plugin : kPlugins) {
    EXPECT_EQ(all & plugin.bits, 0u);
    all |= plugin.bits;
  }
  EXPECT_EQ(all, 0x3FFFFu);
  EXPECT_EQ(kStatusOrder.size(), 12u);
  for (PluginBits bits : kStatusOrder) EXPECT_NE(FindPlugin(bits)->statusHeading, nullptr);
}

TEST(Catalogue, PresetFilesLiveInThePresetFolders) {
  std::size_t total = 0;
  for (const FamilyInfo& family : kFamilies) {
    for (const std::wstring path : family.presetFiles) {
      EXPECT_EQ(path.rfind(L"\\Quenlow\\FX\\System\\Fx\\", 0), 0u) << family.displayName;
      EXPECT_EQ(path.substr(path.size() - 4), L".mru");
    }
    total += family.presetFiles.size();
  }
  EXPECT_EQ(total, 1u + 1 + 1 + 6 + 4 + 15 + 2);
}

TEST(Catalogue, EveryPluginBelongsToExactlyOneFamily) {
  PluginBits seen = 0;
  for (const FamilyInfo& family : kFamilies) {
    EXPECT_EQ(seen & family.plugins, 0u) << family.displayName;
    seen |= family.plugins;
    for (PluginBits bits : family.statusPlugins) EXPECT_EQ(bits & ~family.plugins, 0u) << family.displayName;
  }
  PluginBits all = 0;
  for (const PluginInfo& plugin : kPlugins) all |= plugin.bits;
  EXPECT_EQ(seen, all);
}

TEST(Catalogue, LookupsAreExactAndCaseSensitive) {
  EXPECT_STREQ(FindFamilyByLinkId(L"cv")->displayName, L"Corvane Tools");
  EXPECT_STREQ(FindFamilyByName(L"Corvane Tools")->linkId, L"cv");
  EXPECT_EQ(FindFamilyByName(L"corvane tools"), nullptr);
  EXPECT_EQ(FindFamilyByName(L"Corvane"), nullptr);
  EXPECT_EQ(FindFamilyByLinkId(L"CV"), nullptr);
  EXPECT_EQ(FindFamilyByLinkId(L""), nullptr);
  const wchar_t* ids[] = {L"ob", L"vl", L"fd", L"tv", L"cv", L"br", L"cn"};
  for (std::size_t i = 0; i < kFamilies.size(); ++i) EXPECT_STREQ(kFamilies[i].linkId, ids[i]);
}

}  // namespace
}  // namespace quenlow
