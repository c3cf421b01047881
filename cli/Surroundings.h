// What differs between the command line's two builds: where the folder set comes from,
// the global options that choose it, and whether files may be changed right now. The
// commands never ask which build they run in.
#pragma once

#include <optional>
#include <string>

#include "platform/FolderSet.h"

namespace CLI {
class App;
}

namespace quenlow::cli {

class Surroundings {
 public:
  virtual ~Surroundings() = default;
  // Adds this build's own global options.
  virtual void AddOptions(CLI::App& app) = 0;
  // After parsing: a message is a usage error (exit 2).
  virtual std::optional<std::string> Prepare() = 0;
  virtual FolderSet Folders() = 0;
  virtual std::wstring ProgramFilesX86() = 0;
  virtual std::wstring OfxPluginPath() = 0;
  // Before a command changes files: a message means nothing may change now (exit 3).
  virtual std::optional<std::string> RefuseChanges() = 0;
  // How this build differs, for --help; empty where it does not.
  virtual std::string HelpNote() = 0;
};

// The surroundings of this build: the running Windows system, or a Wine prefix.
Surroundings& SystemSurroundings();

}  // namespace quenlow::cli
