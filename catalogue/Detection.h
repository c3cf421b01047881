// Installation detection: which plugin's host file exists in which host.
#pragma once

#include <string>

#include "catalogue/Catalogue.h"

namespace quenlow {

// Tests one exact path; a folder of that name counts as present.
using PathProbe = bool (*)(const std::wstring& path);

// Probes the thirty-nine host files, host by host (OFX, Magix, CyberLink). The folders are
// those of the folder set; the relative paths are appended with no separator added.
PluginInstallState DetectInstalledPlugins(const std::wstring& programFiles, const std::wstring& commonAppData,
                                          PathProbe exists);

}  // namespace quenlow
