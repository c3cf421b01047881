#include "maintenance/Status.h"

namespace quenlow {
namespace {

PluginBits HostMask(const PluginInstallState& state, HostId host) { return state.*kHosts[host].mask; }

std::wstring HostEntry(HostId host, const wchar_t* mark = L"") {
  return std::wstring(kHosts[host].statusLabel) + mark + L", ";
}

std::wstring HostEntries(const PluginInstallState& state, PluginBits bits) {
  std::wstring entries;
  for (HostId host : kListedHosts)
    if (HostMask(state, host) & bits) entries += HostEntry(host);
  return entries;
}

// Brisavo comes as two packages: a host with both is named plainly, otherwise (E) marks
// the effects package and (T) the transitions package.
std::wstring BrisavoHostEntries(const PluginInstallState& state) {
  std::wstring entries;
  for (HostId host : kListedHosts) {
    const bool effects = (HostMask(state, host) & PLUGIN_BRISAVO_EFFECTS) != 0;
    const bool transitions = (HostMask(state, host) & PLUGIN_BRISAVO_TRANSITIONS) != 0;
    if (effects && transitions) {
      entries += HostEntry(host);
      continue;
    }
    if (effects) entries += HostEntry(host, L" (E)");
    if (transitions) entries += HostEntry(host, L" (T)");
  }
  return entries;
}

}  // namespace

bool GetPluginStatus(const PluginInstallState& state, PluginBits selector, std::wstring& text) {
  const PluginInfo* plugin = nullptr;
  for (PluginBits bits : kStatusOrder) {
    if (selector & bits) {
      plugin = FindPlugin(bits);
      break;
    }
  }
  if (!plugin) return false;

  const std::wstring entries =
      plugin->bits == PLUGIN_BRISAVO_EFFECTS ? BrisavoHostEntries(state) : HostEntries(state, plugin->bits);
  std::wstring status = plugin->statusHeading;
  if (entries.empty()) {
    status += L"Not Installed\n";
  } else {
    status += L"Installed In: ";
    status += entries;
    // The last comma goes; the blank after it stays.
    std::size_t comma = status.rfind(L',');
    if (comma != std::wstring::npos && comma > 0) status.erase(comma, 1);
    status += L'\n';
  }
  text = std::move(status);
  return true;
}

void GetFamilyStatus(const PluginInstallState& state, std::wstring_view linkId, std::wstring& text) {
  const FamilyInfo* family = FindFamilyByLinkId(linkId);
  if (!family) return;
  if (family->statusHeading) text += family->statusHeading;
  std::wstring plugin;
  for (PluginBits bits : family->statusPlugins)
    if (GetPluginStatus(state, bits, plugin)) text += plugin;
}

}  // namespace quenlow
