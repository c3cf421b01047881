#include "maintenance/Status.h"

#include <gtest/gtest.h>

namespace quenlow {
namespace {

PluginInstallState State(PluginBits ofx, PluginBits magix, PluginBits cyberLink) {
  PluginInstallState state;
  state.ofxMask = ofx;
  state.magixMask = magix;
  state.cyberLinkMask = cyberLink;
  return state;
}

TEST(PluginStatus, Texts) {
  const struct {
    const char* name;
    PluginInstallState state;
    PluginBits selector;
    const wchar_t* text;
  } cases[] = {
      {"in no host", State(0, 0, 0), PLUGIN_VELUMEN, L"Velumen\nNot Installed\n"},
      {"in all hosts, listed CyberLink first", State(0x8, 0x8, 0x8), PLUGIN_TAVIRO,
       L"Taviro\nInstalled In: CyberLink, Vegas/OFX, Magix \n"},
      {"in one host", State(0, 0x20000, 0), PLUGIN_TAVIRO_FROST, L"Taviro Extras\nInstalled In: Magix \n"},
      {"several bits: the first in test order", State(0, 0, 0x2), 0x3, L"Orbitale\nNot Installed\n"},
      {"Frost is tested before Celluna", State(0, 0, 0), 0x20100, L"Taviro Extras\nNot Installed\n"},
      {"capital L heading", State(0x40, 0, 0), PLUGIN_CALMLENS_PRO, L"CalmLens Pro\nInstalled In: Vegas/OFX \n"},
      {"Brisavo nowhere", State(0, 0, 0), PLUGIN_BRISAVO_EFFECTS, L"Brisavo\nNot Installed\n"},
      {"Brisavo effects in CyberLink, transitions in Magix", State(0, 0x10000, 0xFC00), PLUGIN_BRISAVO_EFFECTS,
       L"Brisavo\nInstalled In: CyberLink (E), Magix (T) \n"},
      {"Brisavo both in Vegas/OFX only", State(0x1FC00, 0, 0), 0x400, L"Brisavo\nInstalled In: Vegas/OFX \n"},
      {"Brisavo transitions alone count", State(0, 0, 0x10000), PLUGIN_BRISAVO_EFFECTS,
       L"Brisavo\nInstalled In: CyberLink (T) \n"},
      {"Brisavo one host both, one host effects", State(0x1FC00, 0xFC00, 0), PLUGIN_BRISAVO_EFFECTS,
       L"Brisavo\nInstalled In: Vegas/OFX, Magix (E) \n"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    std::wstring text = L"old";
    EXPECT_TRUE(GetPluginStatus(c.state, c.selector, text));
    EXPECT_EQ(text, c.text);
  }
}

TEST(PluginStatus, SelectorsWithoutARowLeaveTheTextAlone) {
  for (PluginBits selector : {0u, PLUGIN_BRISAVO_TRANSITIONS, 0x40000u}) {
    std::wstring text = L"old";
    EXPECT_FALSE(GetPluginStatus(State(~0u, ~0u, ~0u), selector, text));
    EXPECT_EQ(text, L"old");
  }
}

TEST(FamilyStatus, Texts) {
  const struct {
    const wchar_t* linkId;
    PluginInstallState state;
    const wchar_t* text;
  } cases[] = {
      // Taviro in CyberLink and Magix, its Frost plugin nowhere.
      {L"tv", State(0, 0x8, 0x8), L"Taviro\nInstalled In: CyberLink, Magix \nTaviro Extras\nNot Installed\n"},
      {L"cv", State(0x10, 0, 0),
       L"Corvane Tools:\nMistweave\nInstalled In: Vegas/OFX \nMistweave Pro\nNot Installed\n"
       L"CalmLens Pro\nNot Installed\nKeenLens Pro\nNot Installed\n"},
      {L"cn", State(0, 0, 0x200), L"Celluna (regular)\nNot Installed\nCelluna Pro\nInstalled In: CyberLink \n"},
      {L"br", State(0, 0xFC00, 0), L"Brisavo\nInstalled In: Magix (E) \n"},
      {L"xx", State(0, 0, 0), L""},
      {L"TV", State(0, 0, 0), L""},
  };
  for (const auto& c : cases) {
    std::wstring text;
    GetFamilyStatus(c.state, c.linkId, text);
    EXPECT_EQ(text, c.text) << c.linkId;
  }
  std::wstring appended = L"before";
  GetFamilyStatus(State(0, 0, 0), L"ob", appended);
  EXPECT_EQ(appended, L"beforeOrbitale\nNot Installed\n");
}

}  // namespace
}  // namespace quenlow
