// The plain-text system report that users paste into support requests.
//
//   OS: Microsoft Windows 7\r\n
//   Display Adapter: Wine Adapter, 1280x1024,  96x96 DPI\r\n
//   Default Renderer: Direct3D Shader\r\n
//   \r\n
//   Orbitale\nNot Installed\n\r\n
//   ...
//
// The report is UTF-8; its own lines end in CR LF while the status texts keep their single
// line feeds inside.
#pragma once

#include <optional>
#include <string>

#include "catalogue/Catalogue.h"
#include "platform/SystemFacts.h"

namespace quenlow {

// Report file, relative to the common documents folder.
inline constexpr const wchar_t* kReportFile = L"\\Quenlow\\FX\\System\\report.txt";

// Builds the report's bytes from the facts and the dialog's state: the engine index it
// loaded and the custom documents location, if one is stored.
std::string BuildReport(const SystemFacts& facts, int renderEngine, const std::optional<std::string>& customLocation,
                        const PluginInstallState& state);

}  // namespace quenlow
