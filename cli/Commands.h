// The commands of the command line, each a plain function of the folder set and its
// options; Cli.cpp parses the arguments and calls them.
#pragma once

#include <optional>
#include <string>
#include <system_error>
#include <vector>

#include <nlohmann/json.hpp>

#include "catalogue/Catalogue.h"
#include "cli/Cli.h"
#include "doctor/Doctor.h"

namespace quenlow::cli {

struct Context {
  FolderSet folders;
  Io& io;
  std::wstring programFilesX86;  // for the doctor
  std::wstring ofxPluginPath;    // OFX_PLUGIN_PATH as set, for the doctor
};

int ShowStatus(Context& context, bool json);
int ShowEngine(Context& context, bool json);
int ListEngines(Context& context);
int SetEngine(Context& context, const std::string& engine);
int WriteReport(Context& context, const std::string& outputFile, bool full);

struct ResetOptions {
  std::vector<std::string> families;
  bool all = false;
  bool dryRun = false;
  bool yes = false;
  bool json = false;
  bool verbose = false;
};
int ResetSettings(Context& context, const ResetOptions& options);

int ListBackups(Context& context, bool json);
int RunDoctorCommand(Context& context, bool json, bool listChecks);
// The doctor's examination of the context's folders, and its versions as JSON.
DoctorReport Examine(const Context& context);
nlohmann::ordered_json VersionsJson(const std::vector<PluginVersion>& versions);

struct RestoreOptions {
  std::string id;
  bool latest = false;
  bool dryRun = false;
  bool yes = false;
  bool force = false;
  bool json = false;
};
int RestoreBackup(Context& context, const RestoreOptions& options);

// Shared by the commands.
std::string Utf8(const std::wstring& text);
// The system's text for an error, without a trailing period or line end.
std::string ErrorText(const std::error_code& error);
// Writes "quenlowfx: MESSAGE" and a line end to standard error.
void PrintError(Io& io, const std::string& message);
// The family whose display name or link id this is, ignoring letter case.
const FamilyInfo* FindFamily(const std::string& nameOrId);
// "Orbitale (ob), Velumen (vl), ...": what a family argument may be.
std::string ValidFamilies();
// Before a command changes files: asks the question at a console (with --yes nothing is
// asked). Nothing means go on; otherwise the exit code to stop with: usage when standard
// input is not a console and --yes is missing, done when the answer was not yes.
std::optional<int> AskFirst(Io& io, bool yes, const std::string& action, const std::string& question);

}  // namespace quenlow::cli
