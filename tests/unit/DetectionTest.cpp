#include "catalogue/Detection.h"

#include <gtest/gtest.h>

#include "TempTree.h"
#include "platform/Files.h"

namespace quenlow {
namespace {

class DetectionTest : public ::testing::Test {
 protected:
  PluginInstallState Detect() const { return DetectInstalledPlugins(programFiles.root(), appData.root(), PathExists); }
  void Install(const test::TempTree& base, const wchar_t* relative) const { base.Write(relative, "x"); }

  test::TempTree programFiles;
  test::TempTree appData;
};

void ExpectMasks(const PluginInstallState& state, PluginBits ofx, PluginBits magix, PluginBits cyberLink) {
  EXPECT_EQ(state.ofxMask, ofx);
  EXPECT_EQ(state.magixMask, magix);
  EXPECT_EQ(state.cyberLinkMask, cyberLink);
}

TEST_F(DetectionTest, NothingInstalled) { ExpectMasks(Detect(), 0, 0, 0); }

TEST_F(DetectionTest, OneFileSetsOneBitOfOneHost) {
  Install(programFiles, L"\\CyberLink\\Shared files\\PlugIn\\Quenlow\\CES_PlugIn_Quenlow_HOR_ENU.xml");
  ExpectMasks(Detect(), 0, 0, 0x00001);
}

TEST_F(DetectionTest, BrisavoEffectsSetsItsWholeGroup) {
  Install(appData, L"\\Magix\\Common\\VfxPlugins\\Quenlow_Heralds_B3DV.vsx");
  ExpectMasks(Detect(), 0, 0x0FC00, 0);
}

TEST_F(DetectionTest, BothCellunaBundles) {
  Install(programFiles, L"\\Common Files\\OFX\\Plugins\\Quenlow\\celluna.ofx.bundle\\Contents\\Win64\\celluna.ofx");
  Install(programFiles,
          L"\\Common Files\\OFX\\Plugins\\Quenlow\\cellunapro.ofx.bundle\\Contents\\Win64\\cellunapro.ofx");
  ExpectMasks(Detect(), 0x00300, 0, 0);
}

TEST_F(DetectionTest, FolderNamedLikeTheHostFileCounts) {
  appData.MakeFolder(L"\\Magix\\Common\\VfxPlugins\\Quenlow Velumen.vxx");
  ExpectMasks(Detect(), 0, PLUGIN_VELUMEN, 0);
}

TEST_F(DetectionTest, FileOneFolderOffIsNotFound) {
  Install(programFiles, L"\\Common Files\\OFX\\Plugins\\Quenlow\\taviro.ofx.bundle\\Contents\\taviro.ofx");
  Install(programFiles, L"\\Magix\\Common\\VfxPlugins\\Quenlow Taviro 3.vxx");  // Magix lives in app data
  Install(appData, L"\\CyberLink\\Shared files\\PlugIn\\Quenlow\\CES_PlugIn_Quenlow_HTV_ENU.xml");
  ExpectMasks(Detect(), 0, 0, 0);
}

TEST_F(DetectionTest, OnePluginInAllThreeHosts) {
  Install(programFiles,
          L"\\Common Files\\OFX\\Plugins\\Quenlow\\tavirofrost.ofx.bundle\\Contents\\Win64\\tavirofrost.ofx");
  Install(appData, L"\\Magix\\Common\\VfxPlugins\\Quenlow Taviro Frost.vxx");
  Install(programFiles, L"\\CyberLink\\Shared files\\PlugIn\\Quenlow\\CES_PlugIn_Quenlow_TVFT_ENU.xml");
  ExpectMasks(Detect(), PLUGIN_TAVIRO_FROST, PLUGIN_TAVIRO_FROST, PLUGIN_TAVIRO_FROST);
}

TEST_F(DetectionTest, PathBeyondTheSystemLimitIsAbsent) {
  const std::wstring deep = programFiles.root() + L"\\" + std::wstring(5000, L'p');
  PluginInstallState state = DetectInstalledPlugins(deep, deep, PathExists);
  ExpectMasks(state, 0, 0, 0);
}

TEST(Detection, ProbesThirtyNinePathsHostByHost) {
  static std::vector<std::wstring> probed;
  probed.clear();
  PluginInstallState state = DetectInstalledPlugins(L"P", L"A", [](const std::wstring& path) {
    probed.push_back(path);
    return true;
  });
  ASSERT_EQ(probed.size(), 39u);
  EXPECT_EQ(probed[0], L"P\\Common Files\\OFX\\Plugins\\Quenlow\\orbitale.ofx.bundle\\Contents\\Win64\\orbitale.ofx");
  EXPECT_EQ(probed[13], L"A\\Magix\\Common\\VfxPlugins\\Quenlow Orbitale 3.vxx");
  EXPECT_EQ(probed[38], L"P\\CyberLink\\Shared files\\PlugIn\\Quenlow\\CES_PlugIn_Quenlow_HCP_ENU.xml");
  ExpectMasks(state, 0x3FFFF, 0x3FFFF, 0x3FFFF);
}

}  // namespace
}  // namespace quenlow
