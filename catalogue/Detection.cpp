#include "catalogue/Detection.h"

namespace quenlow {

PluginInstallState DetectInstalledPlugins(const std::wstring& programFiles, const std::wstring& commonAppData,
                                          PathProbe exists) {
  PluginInstallState state;
  std::wstring path;
  for (std::size_t id = 0; id < kHosts.size(); ++id) {
    const HostInfo& host = kHosts[id];
    const std::wstring& base = host.baseFolder == BaseFolder::ProgramFiles ? programFiles : commonAppData;
    PluginBits& mask = state.*host.mask;
    mask = 0;
    for (const PluginInfo& plugin : kPlugins) {
      path.assign(base).append(plugin.hostFiles[id]);
      if (exists(path)) mask |= plugin.bits;
    }
  }
  return state;
}

}  // namespace quenlow
