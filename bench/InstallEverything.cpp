// Writes every plugin's host file into the three folders given (program files, common
// application data, as Linux paths), so that a benchmark sees every plugin installed in
// every host.
#include <filesystem>
#include <fstream>
#include <string>

#include "catalogue/Catalogue.h"
#include "platform/TextConvert.h"

int main(int argc, char** argv) {
  if (argc != 3) return 2;
  for (const quenlow::PluginInfo& plugin : quenlow::kPlugins) {
    for (std::size_t host = 0; host < quenlow::kHostCount; ++host) {
      const bool programFiles = quenlow::kHosts[host].baseFolder == quenlow::BaseFolder::ProgramFiles;
      std::string path = std::string(programFiles ? argv[1] : argv[2]) + quenlow::WideToUtf8(plugin.hostFiles[host]);
      for (char& c : path)
        if (c == '\\') c = '/';
      std::filesystem::create_directories(std::filesystem::path(path).parent_path());
      std::ofstream(path, std::ios::binary) << "x";
    }
  }
  return 0;
}
