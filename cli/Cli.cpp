#include "cli/Cli.h"

#include <CLI/CLI.hpp>

#include <algorithm>
#include <sstream>

#include "ProductInfo.h"
#include "cli/Commands.h"
#include "platform/Console.h"
#include "platform/TextConvert.h"

namespace quenlow::cli {
namespace {

class ProcessStreams : public Io {
 public:
  void Out(std::string_view utf8) override { (void)WriteStream(StdStream::Output, utf8); }
  void Err(std::string_view utf8) override { (void)WriteStream(StdStream::Error, utf8); }
  bool InputIsConsole() override { return IsConsole(StdStream::Input); }
  std::optional<std::string> ReadLine() override { return ReadInputLine(); }
};

constexpr const char* kDescription =
    "The Quenlow FX command line: the render engine, the plugins' status, resets and the system report, as the "
    "Quenlow FX Controller dialog shows and does them.";

constexpr const char* kFooter = R"(Exit codes:
  0  done
  1  an operation failed (a file could not be written or deleted; the message names it)
  2  usage error (unknown command, option, family or engine); nothing was changed
  3  the engine was not stored: its file cannot be read whole, is read-only or is in use
  4  a reset or restore finished but left files that another program held open
  5  the doctor found at least one problem

Examples:
  quenlowfx status
  quenlowfx engine set OpenGL
  quenlowfx report --output report.txt
  quenlowfx reset Celluna --yes
  quenlowfx restore --latest
  quenlowfx doctor
  quenlowfx --common-documents "D:\Profiles\Public\Documents" engine --json

Run "quenlowfx COMMAND --help" for the options of one command.)";

// A folder as given on the command line, without a trailing separator (the program's
// paths are the folder followed by a path that starts with one).
std::wstring FolderOption(const std::string& value) {
  std::wstring folder = Utf8ToWide(value);
  while (folder.size() > 3 && (folder.back() == L'\\' || folder.back() == L'/')) folder.pop_back();
  return folder;
}

// Only the given folders: no options of its own, nothing to refuse.
class FixedSurroundings : public Surroundings {
 public:
  explicit FixedSurroundings(FolderSource folders) : m_folders(folders) {}
  void AddOptions(CLI::App&) override {}
  std::optional<std::string> Prepare() override { return std::nullopt; }
  FolderSet Folders() override { return m_folders(); }
  std::wstring ProgramFilesX86() override { return {}; }
  std::wstring OfxPluginPath() override { return {}; }
  std::optional<std::string> RefuseChanges() override { return std::nullopt; }
  std::string HelpNote() override { return {}; }

 private:
  FolderSource m_folders;
};

}  // namespace

int RunCommandLine(const std::vector<std::string>& arguments, Io& io, FolderSource folders) {
  FixedSurroundings surroundings(folders);
  return RunCommandLine(arguments, io, surroundings);
}

Io& ProcessIo() {
  static ProcessStreams streams;
  return streams;
}

int RunCommandLine(const std::vector<std::string>& arguments, Io& io, Surroundings& surroundings) {
  CLI::App app{kDescription, "quenlowfx"};
  app.set_version_flag("--version", std::string("quenlowfx (" QUENLOW_PRODUCT_NAME ") " QUENLOW_VERSION),
                       "Print the version and exit");
  app.require_subcommand(1);
  app.fallthrough();
  const std::string note = surroundings.HelpNote();
  app.footer(note.empty() ? std::string(kFooter) : note + "\n\n" + kFooter);
  surroundings.AddOptions(app);

  std::string programFiles, commonDocuments, commonAppData;
  app.add_option("--program-files", programFiles, "Use DIR as the program files folder")->type_name("DIR");
  app.add_option("--common-documents", commonDocuments, "Use DIR as the common documents folder")->type_name("DIR");
  app.add_option("--common-appdata", commonAppData, "Use DIR as the common application data folder")->type_name("DIR");
  std::string programFilesX86;
  app.add_option("--program-files-x86", programFilesX86, "Use DIR as the 32-bit program files folder (doctor)")
      ->type_name("DIR");

  bool json = false;
  auto* status = app.add_subcommand(
      "status", "Show the render engine and, for every plugin family, where it is installed and its status text");
  status->add_flag("--json", json, "Print one JSON object");
  status->footer("Example:\n  quenlowfx status --json");

  auto* engine = app.add_subcommand("engine", "Show the render engine the plugins use, list the engines or set one");
  engine->add_flag("--json", json, "Print one JSON object");
  engine->require_subcommand(0, 1);
  engine->footer("Examples:\n  quenlowfx engine\n  quenlowfx engine list\n  quenlowfx engine set \"Direct3D Shader\"");
  auto* list = engine->add_subcommand("list", "List the render engines with their index");
  list->footer("Example:\n  quenlowfx engine list");
  std::string engineChoice;
  auto* set = engine->add_subcommand(
      "set", "Store the render engine for all plugins, as choosing it in the dialog and pressing OK does");
  set->add_option("ENGINE", engineChoice, "An engine name (letter case ignored) or its index, 0 to 4")->required();
  set->footer(
      "Exits 3 without changing anything when the engine file cannot be read whole, is read-only or is in use.\n\n"
      "Examples:\n  quenlowfx engine set OpenGL\n  quenlowfx engine set 3");

  std::string output;
  bool fullReport = false;
  auto* report = app.add_subcommand("report", "Write the system report, exactly as \"Export Text Report\" does");
  report->add_option("--output", output, "Write it to FILE (saved whole or not at all) instead of standard output")
      ->type_name("FILE");
  report->add_flag("--full", fullReport, "Add the doctor's findings after the report, under \"Diagnostics\"");
  report->footer(
      "Without --full the bytes are exactly the dialog's report.\n\n"
      "Examples:\n  quenlowfx report\n  quenlowfx report --output report.txt\n  quenlowfx report --full");

  ResetOptions reset;
  auto* resetCommand = app.add_subcommand(
      "reset", "Reset plugin families' settings (delete their preset files), or all settings with --all");
  resetCommand->add_option("FAMILY", reset.families, "A family's name (letter case ignored) or link id, such as cv");
  resetCommand->add_flag("--all", reset.all, "Reset every family, then the four settings mirror files");
  resetCommand->add_flag("--dry-run", reset.dryRun, "List what would be removed; change nothing");
  resetCommand->add_flag("--yes,-y", reset.yes, "Do not ask; needed when standard input is not a console");
  resetCommand->add_flag("--json", reset.json, "Print one JSON object");
  resetCommand->add_flag("--verbose,-v", reset.verbose, "Also list the files that were not there");
  resetCommand->footer(
      "Files held open by another program (a running editing host) are left in place: the exit code is then 4.\n\n"
      "Examples:\n  quenlowfx reset Celluna\n  quenlowfx reset cv br --yes\n  quenlowfx reset --all --dry-run");

  bool backupsJson = false;
  auto* backups = app.add_subcommand("backups", "List the backups resets kept, newest first");
  backups->add_flag("--json", backupsJson, "Print one JSON object");
  backups->footer(
      "Every reset copies the files it removes into a backup first; the newest 20 are kept.\n\n"
      "Example:\n  quenlowfx backups");

  RestoreOptions restore;
  auto* restoreCommand = app.add_subcommand("restore", "Put back the files a reset removed, from one of its backups");
  restoreCommand->add_option("ID", restore.id, "The backup's id, as \"quenlowfx backups\" lists it");
  restoreCommand->add_flag("--latest", restore.latest, "Restore the newest backup");
  restoreCommand->add_flag("--dry-run", restore.dryRun, "List what would be restored; change nothing");
  restoreCommand->add_flag("--yes,-y", restore.yes, "Do not ask; needed when standard input is not a console");
  restoreCommand->add_flag("--force", restore.force, "Also replace files changed since the backup was made");
  restoreCommand->add_flag("--json", restore.json, "Print one JSON object");
  restoreCommand->footer(
      "A file changed since the backup is kept unless --force is given; a backup copy that no longer matches its\n"
      "checksum is not restored (exit 1); a file in use is left as it is (exit 4).\n\n"
      "Examples:\n  quenlowfx restore --latest\n  quenlowfx restore 20261210-153000 --dry-run");

  bool doctorJson = false, listChecks = false;
  auto* doctor = app.add_subcommand("doctor",
                                    "Explain why a plugin will not load, or loads from elsewhere, and why a "
                                    "setting will not take");
  doctor->add_flag("--json", doctorJson, "Print one JSON object (and nothing else) on standard output");
  doctor->add_flag("--list-checks", listChecks, "List every check's code, severity and meaning");
  doctor->footer(
      "Quiet when all is well: a healthy installation has no finding. Each finding names its file and what to do.\n"
      "Exits 5 when at least one problem was found (notes alone exit 0). It reads only; it never changes a file.\n\n"
      "Examples:\n  quenlowfx doctor\n  quenlowfx doctor --json > doctor.json\n  quenlowfx doctor --list-checks");

  std::vector<std::string> reversed(arguments.rbegin(), arguments.rend());
  try {
    app.parse(reversed);
  } catch (const CLI::ParseError& error) {
    // A word where a command belongs reads better as what it is than as a missing command.
    const std::vector<std::string> unparsed = app.remaining();
    if (error.get_name() == "RequiredError" && !app.get_subcommands().size() && !unparsed.empty()) {
      PrintError(io, "unknown command '" + unparsed.front() +
                         "'; commands: status, engine, report, reset, backups, restore, doctor (see --help)");
      return kExitUsage;
    }
    std::ostringstream out, err;
    const int code = app.exit(error, out, err);
    io.Out(out.str());
    io.Err(err.str());
    return code == 0 ? kExitDone : kExitUsage;
  }

  if (std::optional<std::string> problem = surroundings.Prepare()) {
    PrintError(io, *problem);
    return kExitUsage;
  }
  Context context{surroundings.Folders(), io, {}, {}};
  if (!programFiles.empty()) context.folders.programFiles = FolderOption(programFiles);
  if (!commonDocuments.empty()) context.folders.commonDocuments = FolderOption(commonDocuments);
  if (!commonAppData.empty()) context.folders.commonAppData = FolderOption(commonAppData);
  // Only the doctor looks at the 32-bit folder and the OpenFX search path.
  if (doctor->parsed() || (report->parsed() && fullReport)) {
    context.programFilesX86 = programFilesX86.empty() ? surroundings.ProgramFilesX86() : FolderOption(programFilesX86);
    context.ofxPluginPath = surroundings.OfxPluginPath();
  }

  // Commands that change files ask first whether they may.
  const bool changes =
      set->parsed() || (resetCommand->parsed() && !reset.dryRun) || (restoreCommand->parsed() && !restore.dryRun);
  if (changes)
    if (std::optional<std::string> refusal = surroundings.RefuseChanges()) {
      PrintError(io, *refusal);
      return kExitRefused;
    }

  if (status->parsed()) return ShowStatus(context, json);
  if (list->parsed()) return ListEngines(context);
  if (set->parsed()) return SetEngine(context, engineChoice);
  if (engine->parsed()) return ShowEngine(context, json);
  if (report->parsed()) return WriteReport(context, output, fullReport);
  if (resetCommand->parsed()) return ResetSettings(context, reset);
  if (backups->parsed()) return ListBackups(context, backupsJson);
  if (restoreCommand->parsed()) return RestoreBackup(context, restore);
  if (doctor->parsed()) return RunDoctorCommand(context, doctorJson, listChecks);
  return kExitUsage;
}

}  // namespace quenlow::cli
