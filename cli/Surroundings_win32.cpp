// On Windows the command line asks the running system, as the dialog does.
#include "cli/Surroundings.h"

namespace quenlow::cli {
namespace {

class WindowsSurroundings : public Surroundings {
 public:
  void AddOptions(CLI::App&) override {}
  std::optional<std::string> Prepare() override { return std::nullopt; }
  FolderSet Folders() override { return ResolveFolderSet(); }
  std::wstring ProgramFilesX86() override { return ResolveProgramFilesX86(); }
  std::wstring OfxPluginPath() override { return ReadOfxPluginPath(); }
  std::optional<std::string> RefuseChanges() override { return std::nullopt; }
  std::string HelpNote() override { return {}; }
};

}  // namespace

Surroundings& SystemSurroundings() {
  static WindowsSurroundings surroundings;
  return surroundings;
}

}  // namespace quenlow::cli
