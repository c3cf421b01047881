// The install status texts shown for a family and written into the report.
#pragma once

#include <string>
#include <string_view>

#include "catalogue/Catalogue.h"

namespace quenlow {

// Hosts in the order the status texts list them: CyberLink, Vegas/OFX, Magix.
inline constexpr HostId kListedHosts[] = {HOST_CYBERLINK, HOST_OFX, HOST_MAGIX};

// Replaces `text` with the status of the first plugin the selector names (in status order)
// and returns true; returns false and leaves `text` alone when it names none.
bool GetPluginStatus(const PluginInstallState& state, PluginBits selector, std::wstring& text);

// Appends the status of every plugin of the family with this link id; nothing for an
// unknown id.
void GetFamilyStatus(const PluginInstallState& state, std::wstring_view linkId, std::wstring& text);

}  // namespace quenlow
