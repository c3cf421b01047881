#include "maintenance/Report.h"

#include <gtest/gtest.h>

namespace quenlow {
namespace {

const std::string kNothingInstalled =
    "Orbitale\nNot Installed\n\r\n"
    "Velumen\nNot Installed\n\r\n"
    "Fondara\nNot Installed\n\r\n"
    "Taviro\nNot Installed\n\r\n"
    "Taviro Extras\nNot Installed\n\r\n"
    "Celluna (regular)\nNot Installed\n\r\n"
    "Celluna Pro\nNot Installed\n\r\n"
    "Corvane Tools\n"
    "Mistweave\nNot Installed\n"
    "Mistweave Pro\nNot Installed\n"
    "CalmLens Pro\nNot Installed\n"
    "KeenLens Pro\nNot Installed\n\r\n"
    "Brisavo\nNot Installed\n\r\n";

TEST(Report, DefaultsForEveryFact) {
  EXPECT_EQ(BuildReport(SystemFacts{}, 3, std::nullopt, PluginInstallState{}),
            "OS: Not Detected\r\n"
            "Display Adapter: , 1024x768,  96x96 DPI\r\n"
            "Default Renderer: Direct3D Shader\r\n"
            "\r\n" +
                kNothingInstalled);
}

TEST(Report, GatheredFactsEngineAndLocation) {
  SystemFacts facts;
  facts.osName = "Windows 10 Pro";
  facts.adapterName = "Caf\xC3\xA9 Graphics";
  facts.screenWidth = 2560;
  facts.screenHeight = 1440;
  facts.dpiX = 144;
  facts.dpiY = 120;
  PluginInstallState state;
  state.cyberLinkMask = PLUGIN_ORBITALE | PLUGIN_MISTWEAVE_PRO;
  state.magixMask = PLUGIN_BRISAVO_TRANSITIONS;
  const std::string report = BuildReport(facts, 0, std::string("D:\\Video Docs"), state);
  EXPECT_EQ(report.substr(0, report.find("\r\n\r\n") + 4),
            "OS: Windows 10 Pro\r\n"
            "Display Adapter: Caf\xC3\xA9 Graphics, 2560x1440,  144x120 DPI\r\n"
            "Default Renderer: Cg\r\n"
            "Custom Location: D:\\Video Docs\r\n"
            "\r\n");
  EXPECT_NE(report.find("Orbitale\nInstalled In: CyberLink \n\r\nVelumen\n"), std::string::npos);
  EXPECT_NE(report.find("Corvane Tools\nMistweave\nNot Installed\nMistweave Pro\nInstalled In: CyberLink \n"),
            std::string::npos);
  EXPECT_EQ(report.substr(report.size() - 35), "Brisavo\nInstalled In: Magix (T) \n\r\n");
}

TEST(Report, EngineOutsideTheListLeavesItsLineOut) {
  for (int engine : {-1, 5, 7}) {
    EXPECT_EQ(BuildReport(SystemFacts{}, engine, std::nullopt, PluginInstallState{}),
              "OS: Not Detected\r\nDisplay Adapter: , 1024x768,  96x96 DPI\r\n\r\n" + kNothingInstalled);
  }
  EXPECT_EQ(
      BuildReport(SystemFacts{}, 5, std::string("X:"), PluginInstallState{}),
      "OS: Not Detected\r\nDisplay Adapter: , 1024x768,  96x96 DPI\r\nCustom Location: X:\r\n\r\n" + kNothingInstalled);
}

}  // namespace
}  // namespace quenlow

namespace quenlow {
namespace {

TEST(Report, Windows11IsNamedAsSuch) {
  const struct {
    const char* productName;
    unsigned long build;
    const char* reported;
  } cases[] = {
      {"Windows 10 Pro", 22631, "Windows 11 Pro"},    // Windows 11 still says 10
      {"Windows 10 Pro", 22000, "Windows 11 Pro"},    // its first build
      {"Windows 10 Pro", 19045, "Windows 10 Pro"},    // a real Windows 10
      {"Windows 10", 22000, "Windows 11"},            // the name alone
      {"Windows 11 Home", 26100, "Windows 11 Home"},  // a system that names itself right
      {"Windows Server 2022", 20348, "Windows Server 2022"},
      {"Windows 7", 0, "Windows 7"},  // no build number read
  };
  for (const auto& c : cases)
    EXPECT_EQ(ReportedProductName(c.productName, c.build), c.reported) << c.productName << " " << c.build;
}

}  // namespace
}  // namespace quenlow
