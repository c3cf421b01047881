// reset: what the dialog's resets do, file by file, with a question first.
#include <nlohmann/json.hpp>

#include <algorithm>

#include "backups/Backups.h"
#include "cli/Commands.h"
#include "maintenance/Resets.h"
#include "platform/Files.h"

namespace quenlow::cli {
namespace {

using Json = nlohmann::ordered_json;

const char* OutcomeName(ResetOutcome outcome) {
  switch (outcome) {
    case ResetOutcome::Removed: return "removed";
    case ResetOutcome::Missing: return "missing";
    case ResetOutcome::Busy: return "busy";
    case ResetOutcome::Failed: return "failed";
  }
  return "failed";
}

std::string FileLine(const ResetFileResult& file) {
  const std::string path = Utf8(file.path);
  switch (file.outcome) {
    case ResetOutcome::Removed: return "removed  " + path + "\n";
    case ResetOutcome::Missing: return "missing  " + path + "\n";
    case ResetOutcome::Busy: return "busy     " + path + " (in use by another program; left in place)\n";
    case ResetOutcome::Failed: return "failed   " + path + ": " + ErrorText(file.error) + "\n";
  }
  return path + "\n";
}

std::string Question(const std::vector<const FamilyInfo*>& families) {
  if (families.empty()) return "Reset all settings?";
  std::string names;
  for (std::size_t i = 0; i < families.size(); ++i)
    names += (i == 0 ? "" : i + 1 == families.size() ? " and " : ", ") + Utf8(families[i]->displayName);
  return "Reset " + names + " settings?";
}

}  // namespace

int ResetSettings(Context& context, const ResetOptions& options) {
  Io& io = context.io;
  if (options.all == !options.families.empty()) {
    PrintError(io, options.all ? "name families or give --all, not both"
                               : "name the families to reset, or give --all; families: " + ValidFamilies());
    return kExitUsage;
  }
  std::vector<const FamilyInfo*> families;
  for (const std::string& name : options.families) {
    const FamilyInfo* family = FindFamily(name);
    if (!family) {
      PrintError(io, "unknown family '" + name + "'; families: " + ValidFamilies());
      return kExitUsage;
    }
    if (std::find(families.begin(), families.end(), family) == families.end()) families.push_back(family);
  }

  std::vector<std::wstring> paths;
  for (const FamilyInfo* family : families)
    for (std::wstring& path : FamilyPresetPaths(context.folders.commonDocuments, family->displayName))
      paths.push_back(std::move(path));
  if (options.all) paths = AllSettingsPaths(context.folders.commonDocuments);

  if (options.dryRun) {
    Json files = Json::array();
    std::string text;
    for (const std::wstring& path : paths) {
      const bool present = PathExists(path);
      files.push_back(Json{{"path", Utf8(path)}, {"outcome", present ? "would-remove" : "missing"}});
      if (present)
        text += "would remove  " + Utf8(path) + "\n";
      else if (options.verbose)
        text += "missing       " + Utf8(path) + "\n";
    }
    if (options.json)
      io.Out(Json{{"schemaVersion", 1}, {"dryRun", true}, {"files", files}}.dump(2) + "\n");
    else
      io.Out(text.empty() ? "Nothing to remove.\n" : text);
    return kExitDone;
  }

  if (std::optional<int> stop = AskFirst(io, options.yes, "reset deletes files", Question(families))) return *stop;

  std::string resetName = options.all ? "all" : std::string();
  for (const FamilyInfo* family : families) resetName += (resetName.empty() ? "" : ", ") + Utf8(family->displayName);
  // Every file the reset deletes is copied first: "quenlowfx restore" brings it back.
  BackupSession backup(context.folders.commonDocuments, "command line", resetName);
  std::vector<ResetFileResult> results;
  const std::optional<ResetFailure> failure = RemoveFiles(paths, backup.Remover(), &results);
  const std::error_code manifestError = backup.Finish();
  const std::string backupId =
      backup.entries().empty() ? std::string() : Utf8(backup.folder().substr(backup.folder().find_last_of(L"\\/") + 1));
  const bool anyBusy = std::any_of(results.begin(), results.end(),
                                   [](const ResetFileResult& file) { return file.outcome == ResetOutcome::Busy; });
  if (options.json) {
    Json files = Json::array();
    for (const ResetFileResult& file : results) {
      Json entry{{"path", Utf8(file.path)}, {"outcome", OutcomeName(file.outcome)}};
      if (file.outcome == ResetOutcome::Failed) entry["error"] = ErrorText(file.error);
      files.push_back(entry);
    }
    io.Out(Json{{"schemaVersion", 1},
                {"dryRun", false},
                {"files", files},
                {"backup", backupId.empty() ? Json(nullptr) : Json(backupId)}}
               .dump(2) +
           "\n");
  } else {
    std::string text;
    for (const ResetFileResult& file : results)
      if (file.outcome != ResetOutcome::Missing || options.verbose) text += FileLine(file);
    if (!backupId.empty())
      text += "Backup " + backupId + " keeps the removed files: quenlowfx restore " + backupId + "\n";
    io.Out(text);
  }
  if (failure) {
    PrintError(io, "the reset stopped at a file that cannot be deleted: " + Utf8(failure->path) + ": " +
                       (failure->backupFailed ? "its backup copy could not be written: " : "") +
                       ErrorText(failure->error));
    return kExitFailed;
  }
  if (manifestError) {
    PrintError(
        io, "the backup's manifest could not be written in " + Utf8(backup.folder()) + ": " + ErrorText(manifestError));
    return kExitFailed;
  }
  return anyBusy ? kExitBusyLeft : kExitDone;
}

}  // namespace quenlow::cli
