// On Linux the command line works on a Wine prefix: it reads and writes the prefix's files
// directly, with the folders programs in the prefix get.
#include <CLI/CLI.hpp>

#include <cstdlib>

#include "cli/Surroundings.h"
#include "platform/posix/WinePrefix.h"

namespace quenlow::cli {
namespace {

class WineSurroundings : public Surroundings {
 public:
  void AddOptions(CLI::App& app) override {
    m_prefix.clear();
    m_force = false;
    app.add_option("--wine-prefix", m_prefix, "Work on the Wine prefix DIR (default: $WINEPREFIX, else ~/.wine)")
        ->type_name("DIR");
    app.add_flag("--force", m_force, "Change files even while the prefix's programs run (its wineserver is up)");
  }

  std::optional<std::string> Prepare() override {
    if (m_prefix.empty()) {
      const char* variable = std::getenv("WINEPREFIX");
      const char* home = std::getenv("HOME");
      m_prefix = variable && *variable ? variable : std::string(home ? home : "") + "/.wine";
    }
    while (m_prefix.size() > 1 && m_prefix.back() == '/') m_prefix.pop_back();
    if (!wine::IsWinePrefix(m_prefix))
      return "not a Wine prefix: " + m_prefix +
             " (it has no system.reg or no dosdevices); name one with --wine-prefix DIR";
    wine::UsePrefix(m_prefix);
    return std::nullopt;
  }

  FolderSet Folders() override { return ResolveFolderSet(); }
  std::wstring ProgramFilesX86() override { return ResolveProgramFilesX86(); }
  std::wstring OfxPluginPath() override { return ReadOfxPluginPath(); }

  // A running prefix keeps its programs' sharing modes in its wineserver, out of sight of a
  // native program: changing files then could pull one from under a running host.
  std::optional<std::string> RefuseChanges() override {
    if (m_force || !wine::IsServerRunning(m_prefix)) return std::nullopt;
    return "the Wine prefix " + m_prefix +
           " is in use (its wineserver runs), so nothing was changed; close its "
           "programs (or run \"WINEPREFIX=" +
           m_prefix + " wineserver -k\") and try again, or add --force";
  }

  std::string HelpNote() override {
    return "This is the Linux build: it works on a Wine prefix (--wine-prefix DIR, else $WINEPREFIX, else ~/.wine),\n"
           "with the folders the prefix's programs get. Commands that change files refuse while the prefix's\n"
           "wineserver runs (exit 3) unless --force is given before the command. The report takes the system's\n"
           "name from the prefix and the report's own display fallbacks; files held open by the prefix's programs\n"
           "cannot be seen, so doctor does not check for them.";
  }

 private:
  std::string m_prefix;
  bool m_force = false;
};

}  // namespace

Surroundings& SystemSurroundings() {
  static WineSurroundings surroundings;
  return surroundings;
}

}  // namespace quenlow::cli
