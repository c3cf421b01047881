#include "catalogue/Catalogue.h"

namespace quenlow {
namespace {

// The tables are laid out by hand, a row per entry.
// clang-format off

#define OFX_FILE(stem) L"\\Common Files\\OFX\\Plugins\\Quenlow\\" stem L".ofx.bundle\\Contents\\Win64\\" stem L".ofx"
#define MAGIX_FILE(name) L"\\Magix\\Common\\VfxPlugins\\" name
#define CYBERLINK_FILE(code) L"\\CyberLink\\Shared files\\PlugIn\\Quenlow\\CES_PlugIn_Quenlow_" code L"_ENU.xml"
#define PRESET(path) L"\\Quenlow\\FX\\System\\Fx\\" path

constexpr PluginBits kOrbitaleStatus[] = {PLUGIN_ORBITALE};
constexpr PluginBits kVelumenStatus[] = {PLUGIN_VELUMEN};
constexpr PluginBits kFondaraStatus[] = {PLUGIN_FONDARA};
constexpr PluginBits kTaviroStatus[] = {PLUGIN_TAVIRO, PLUGIN_TAVIRO_FROST};
constexpr PluginBits kCorvaneStatus[] = {PLUGIN_MISTWEAVE, PLUGIN_MISTWEAVE_PRO, PLUGIN_CALMLENS_PRO,
                                         PLUGIN_KEENLENS_PRO};
constexpr PluginBits kBrisavoStatus[] = {PLUGIN_BRISAVO_EFFECTS};
constexpr PluginBits kCellunaStatus[] = {PLUGIN_CELLUNA, PLUGIN_CELLUNA_PRO};

constexpr const wchar_t* kOrbitalePresets[] = {PRESET(L"Transitions\\Orbitale.mru")};
constexpr const wchar_t* kVelumenPresets[] = {PRESET(L"Transitions\\Velumen.mru")};
constexpr const wchar_t* kFondaraPresets[] = {PRESET(L"Transitions\\Fondara.mru")};
constexpr const wchar_t* kTaviroPresets[] = {
    PRESET(L"Transitions\\Taviro.mru"),       PRESET(L"Effects\\Taviro.mru"),
    PRESET(L"Transitions\\Taviro Wedge.mru"), PRESET(L"Transitions\\Taviro Frost.mru"),
    PRESET(L"Effects\\Taviro Frost.mru"),     PRESET(L"Flecks\\Flecks Pro.mru"),
};
constexpr const wchar_t* kCorvanePresets[] = {
    PRESET(L"Effects\\Mistweave.mru"),
    PRESET(L"Effects\\Mistweave Pro.mru"),
    PRESET(L"Effects\\Calmlens Pro.mru"),
    PRESET(L"Effects\\Keenlens Pro.mru"),
};
constexpr const wchar_t* kBrisavoPresets[] = {
    PRESET(L"Effects\\Softara.mru"),        PRESET(L"Effects\\Mossveil.mru"),
    PRESET(L"Effects\\Dravel.mru"),         PRESET(L"Effects\\Plakett.mru"),
    PRESET(L"Effects\\Grittle.mru"),        PRESET(L"Effects\\Splotcha.mru"),
    PRESET(L"Effects\\Aurelo.mru"),         PRESET(L"Effects\\Streamora.mru"),
    PRESET(L"Effects\\Mirrabend.mru"),      PRESET(L"Flecks\\BR Flecks.mru"),
    PRESET(L"Transitions\\Mossveil.mru"),   PRESET(L"Transitions\\Dravel.mru"),
    PRESET(L"Transitions\\Plakett.mru"),    PRESET(L"Transitions\\Streamora.mru"),
    PRESET(L"Transitions\\Mirrabend.mru"),
};
constexpr const wchar_t* kCellunaPresets[] = {
    PRESET(L"Effects\\Celluna.mru"),
    PRESET(L"Effects\\Celluna Pro.mru"),
};

}  // namespace

const std::array<HostInfo, kHostCount> kHosts = {{
    /* HOST_OFX */ {L"Vegas/OFX", &PluginInstallState::ofxMask, BaseFolder::ProgramFiles},
    /* HOST_MAGIX */ {L"Magix", &PluginInstallState::magixMask, BaseFolder::CommonAppData},
    /* HOST_CYBERLINK */ {L"CyberLink", &PluginInstallState::cyberLinkMask, BaseFolder::ProgramFiles},
}};

const std::array<PluginInfo, 13> kPlugins = {{
    {PLUGIN_ORBITALE, L"Orbitale", L"Orbitale\n",
     {OFX_FILE(L"orbitale"), MAGIX_FILE(L"Quenlow Orbitale 3.vxx"), CYBERLINK_FILE(L"HOR")}},
    {PLUGIN_VELUMEN, L"Velumen", L"Velumen\n",
     {OFX_FILE(L"velumen"), MAGIX_FILE(L"Quenlow Velumen.vxx"), CYBERLINK_FILE(L"HVL")}},
    {PLUGIN_FONDARA, L"Fondara", L"Fondara\n",
     {OFX_FILE(L"fondara"), MAGIX_FILE(L"Quenlow Fondara.vxx"), CYBERLINK_FILE(L"HFD")}},
    {PLUGIN_TAVIRO, L"Taviro", L"Taviro\n",
     {OFX_FILE(L"taviro"), MAGIX_FILE(L"Quenlow Taviro 3.vxx"), CYBERLINK_FILE(L"HTV")}},
    {PLUGIN_TAVIRO_FROST, L"Taviro Extras", L"Taviro Extras\n",
     {OFX_FILE(L"tavirofrost"), MAGIX_FILE(L"Quenlow Taviro Frost.vxx"), CYBERLINK_FILE(L"TVFT")}},
    {PLUGIN_MISTWEAVE, L"Mistweave", L"Mistweave\n",
     {OFX_FILE(L"mistweave"), MAGIX_FILE(L"Quenlow_Heralds_MW.vsx"), CYBERLINK_FILE(L"HMW")}},
    {PLUGIN_MISTWEAVE_PRO, L"Mistweave Pro", L"Mistweave Pro\n",
     {OFX_FILE(L"mistweavepro"), MAGIX_FILE(L"Quenlow_Heralds_MP.vsx"), CYBERLINK_FILE(L"HMP")}},
    {PLUGIN_CALMLENS_PRO, L"CalmLens Pro", L"CalmLens Pro\n",
     {OFX_FILE(L"calmlenspro"), MAGIX_FILE(L"Quenlow_Heralds_CL.vsx"), CYBERLINK_FILE(L"HCL")}},
    {PLUGIN_KEENLENS_PRO, L"KeenLens Pro", L"KeenLens Pro\n",
     {OFX_FILE(L"keenlenspro"), MAGIX_FILE(L"Quenlow_Heralds_KL.vsx"), CYBERLINK_FILE(L"HKL")}},
    {PLUGIN_BRISAVO_EFFECTS, L"Brisavo Effects", L"Brisavo\n",
     {OFX_FILE(L"br3-dravel"), MAGIX_FILE(L"Quenlow_Heralds_B3DV.vsx"), CYBERLINK_FILE(L"B3DV")}},
    {PLUGIN_BRISAVO_TRANSITIONS, L"Brisavo Transitions", nullptr,
     {OFX_FILE(L"brt-dravel"), MAGIX_FILE(L"Quenlow Dravel.vxx"), CYBERLINK_FILE(L"BTDV")}},
    {PLUGIN_CELLUNA, L"Celluna", L"Celluna (regular)\n",
     {OFX_FILE(L"celluna"), MAGIX_FILE(L"Quenlow_Heralds_CU.vsx"), CYBERLINK_FILE(L"HCU")}},
    {PLUGIN_CELLUNA_PRO, L"Celluna Pro", L"Celluna Pro\n",
     {OFX_FILE(L"cellunapro"), MAGIX_FILE(L"Quenlow_Heralds_CP.vsx"), CYBERLINK_FILE(L"HCP")}},
}};

const std::array<PluginBits, 12> kStatusOrder = {
    PLUGIN_ORBITALE,     PLUGIN_VELUMEN,       PLUGIN_FONDARA,      PLUGIN_TAVIRO,
    PLUGIN_TAVIRO_FROST, PLUGIN_CELLUNA,       PLUGIN_CELLUNA_PRO,  PLUGIN_MISTWEAVE,
    PLUGIN_MISTWEAVE_PRO, PLUGIN_CALMLENS_PRO, PLUGIN_KEENLENS_PRO, PLUGIN_BRISAVO_EFFECTS,
};

const std::array<FamilyInfo, kFamilyCount> kFamilies = {{
    {L"Orbitale", L"ob", L"/orb/intro.htm", nullptr, PLUGIN_ORBITALE, kOrbitaleStatus, kOrbitalePresets},
    {L"Velumen", L"vl", L"/velumen/intro.htm", nullptr, PLUGIN_VELUMEN, kVelumenStatus, kVelumenPresets},
    {L"Fondara", L"fd", L"/fondara/intro.htm", nullptr, PLUGIN_FONDARA, kFondaraStatus, kFondaraPresets},
    {L"Taviro", L"tv", L"/tv25/intro.htm", nullptr, PLUGIN_TAVIRO | PLUGIN_TAVIRO_FROST, kTaviroStatus, kTaviroPresets},
    {L"Corvane Tools", L"cv", L"/corvane-plugins/intro.htm", L"Corvane Tools:\n",
     PLUGIN_MISTWEAVE | PLUGIN_MISTWEAVE_PRO | PLUGIN_CALMLENS_PRO | PLUGIN_KEENLENS_PRO, kCorvaneStatus,
     kCorvanePresets},
    {L"Brisavo", L"br", L"/br/intro.htm", nullptr, PLUGIN_BRISAVO_EFFECTS | PLUGIN_BRISAVO_TRANSITIONS, kBrisavoStatus, kBrisavoPresets},
    {L"Celluna", L"cn", L"/celluna/intro.htm", nullptr, PLUGIN_CELLUNA | PLUGIN_CELLUNA_PRO, kCellunaStatus, kCellunaPresets},
}};

// clang-format on

const FamilyInfo* FindFamilyByLinkId(std::wstring_view linkId) {
  for (const FamilyInfo& family : kFamilies)
    if (linkId == family.linkId) return &family;
  return nullptr;
}

const FamilyInfo* FindFamilyByName(std::wstring_view displayName) {
  for (const FamilyInfo& family : kFamilies)
    if (displayName == family.displayName) return &family;
  return nullptr;
}

const PluginInfo* FindPlugin(PluginBits bits) {
  for (const PluginInfo& plugin : kPlugins)
    if (plugin.bits == bits) return &plugin;
  return nullptr;
}

}  // namespace quenlow
