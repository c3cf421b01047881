#include "maintenance/Report.h"

#include "maintenance/Status.h"
#include "platform/TextConvert.h"
#include "settings/Settings.h"

namespace quenlow {
namespace {

constexpr std::size_t kStatusTextCapacity = 255;

// What follows each status text in the report: the single plugins stand apart, the
// Corvane Tools plugins form one block under their heading.
struct ReportEntry {
  PluginBits selector;
  const char* before;
  const char* after;
};

// clang-format off
constexpr ReportEntry kEntries[] = {
    {PLUGIN_ORBITALE, "", "\r\n"},
    {PLUGIN_VELUMEN, "", "\r\n"},
    {PLUGIN_FONDARA, "", "\r\n"},
    {PLUGIN_TAVIRO, "", "\r\n"},
    {PLUGIN_TAVIRO_FROST, "", "\r\n"},
    {PLUGIN_CELLUNA, "", "\r\n"},
    {PLUGIN_CELLUNA_PRO, "", "\r\n"},
    {PLUGIN_MISTWEAVE, "Corvane Tools\n", ""},
    {PLUGIN_MISTWEAVE_PRO, "", ""},
    {PLUGIN_CALMLENS_PRO, "", ""},
    {PLUGIN_KEENLENS_PRO, "", "\r\n"},
    {PLUGIN_BRISAVO_EFFECTS, "", "\r\n"},
};
// clang-format on

}  // namespace

std::string BuildReport(const SystemFacts& facts, int renderEngine, const std::optional<std::string>& customLocation,
                        const PluginInstallState& state) {
  std::string report = "OS: " + facts.osName + "\r\n";
  report += "Display Adapter: " + facts.adapterName + ", " + std::to_string(facts.screenWidth) + "x" +
            std::to_string(facts.screenHeight) + ",  " + std::to_string(facts.dpiX) + "x" + std::to_string(facts.dpiY) +
            " DPI\r\n";
  if (const wchar_t* engine = RenderEngineName(renderEngine))
    report += "Default Renderer: " + WideToUtf8(engine) + "\r\n";
  if (customLocation) report += "Custom Location: " + *customLocation + "\r\n";
  report += "\r\n";

  std::wstring status;
  std::string converted;
  for (const ReportEntry& entry : kEntries) {
    report += entry.before;
    if (GetPluginStatus(state, entry.selector, status) && WideToUtf8(status, kStatusTextCapacity, converted))
      report += converted + entry.after;
  }
  return report;
}

}  // namespace quenlow
