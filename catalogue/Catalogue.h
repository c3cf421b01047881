// The constant product tables: plugins, families, hosts, host files and preset files.
// Every other part of the program takes names and paths from here.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "catalogue/Span.h"

namespace quenlow {

using PluginBits = std::uint32_t;

constexpr PluginBits PLUGIN_ORBITALE = 0x00001;
constexpr PluginBits PLUGIN_VELUMEN = 0x00002;
constexpr PluginBits PLUGIN_FONDARA = 0x00004;
constexpr PluginBits PLUGIN_TAVIRO = 0x00008;
constexpr PluginBits PLUGIN_MISTWEAVE = 0x00010;
constexpr PluginBits PLUGIN_MISTWEAVE_PRO = 0x00020;
constexpr PluginBits PLUGIN_CALMLENS_PRO = 0x00040;
constexpr PluginBits PLUGIN_KEENLENS_PRO = 0x00080;
constexpr PluginBits PLUGIN_CELLUNA = 0x00100;
constexpr PluginBits PLUGIN_CELLUNA_PRO = 0x00200;
// Six bits set and tested together: any of them means the effects package is there.
constexpr PluginBits PLUGIN_BRISAVO_EFFECTS = 0x0FC00;
constexpr PluginBits PLUGIN_BRISAVO_TRANSITIONS = 0x10000;
constexpr PluginBits PLUGIN_TAVIRO_FROST = 0x20000;

// Which plugin is installed in which host; one mask per host.
struct PluginInstallState {
  PluginBits ofxMask = 0;
  PluginBits magixMask = 0;
  PluginBits cyberLinkMask = 0;
};

// A host's position in kHosts and in each plugin's list of host files.
enum HostId { HOST_OFX, HOST_MAGIX, HOST_CYBERLINK, kHostCount };

enum class BaseFolder { ProgramFiles, CommonAppData };

struct HostInfo {
  const wchar_t* statusLabel;
  PluginBits PluginInstallState::*mask;
  BaseFolder baseFolder;
};

// In detection order, indexed by HostId: OFX, Magix, CyberLink.
extern const std::array<HostInfo, kHostCount> kHosts;

struct PluginInfo {
  PluginBits bits;
  const wchar_t* name;           // for messages about the plugin itself
  const wchar_t* statusHeading;  // null: reported within another plugin's status
  // Host file per host, indexed by HostId, relative to the host's base folder.
  std::array<const wchar_t*, kHostCount> hostFiles;
};

// In detection order.
extern const std::array<PluginInfo, 13> kPlugins;

// The order of status texts in the report, which is also the order in which a selector's
// bits are tested.
extern const std::array<PluginBits, 12> kStatusOrder;

struct FamilyInfo {
  const wchar_t* displayName;  // also the family's key for resets
  const wchar_t* linkId;       // the href of the family's link
  const wchar_t* productPagePath;
  const wchar_t* statusHeading;  // null, or a line written before the plugins' texts
  PluginBits plugins;            // every plugin of the family, whether or not it has a status of its own
  Span<const PluginBits> statusPlugins;
  Span<const wchar_t* const> presetFiles;  // relative to the common documents folder, in reset order
};

// A family's position in kFamilies.
enum FamilyId {
  FAMILY_ORBITALE,
  FAMILY_VELUMEN,
  FAMILY_FONDARA,
  FAMILY_TAVIRO,
  FAMILY_CORVANE_TOOLS,
  FAMILY_BRISAVO,
  FAMILY_CELLUNA,
  kFamilyCount
};

// In family order: the order of the links and of the reset of all settings.
extern const std::array<FamilyInfo, kFamilyCount> kFamilies;

// A family reset tests the name it is given against each family's name, one after another
// in this order.
inline constexpr std::array<FamilyId, kFamilyCount> kResetNameTestOrder = {
    FAMILY_ORBITALE, FAMILY_VELUMEN, FAMILY_FONDARA,       FAMILY_TAVIRO,
    FAMILY_CELLUNA,  FAMILY_BRISAVO, FAMILY_CORVANE_TOOLS,
};

// Exact, case-sensitive lookups; null when nothing matches.
const FamilyInfo* FindFamilyByLinkId(std::wstring_view linkId);
const FamilyInfo* FindFamilyByName(std::wstring_view displayName);
const PluginInfo* FindPlugin(PluginBits bits);

}  // namespace quenlow
