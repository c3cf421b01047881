// reset: what the dialog's resets do, file by file, with a question first.
#include <nlohmann/json.hpp>

#include <algorithm>
#include <cctype>

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

bool IsYes(std::string answer) {
  std::transform(answer.begin(), answer.end(), answer.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  answer.erase(0, answer.find_first_not_of(" \t"));
  answer.erase(answer.find_last_not_of(" \t") + 1);
  return answer == "y" || answer == "yes";
}

std::string Question(const std::vector<const FamilyInfo*>& families) {
  if (families.empty()) return "Reset all settings? [y/N] ";
  std::string names;
  for (std::size_t i = 0; i < families.size(); ++i)
    names += (i == 0 ? "" : i + 1 == families.size() ? " and " : ", ") + Utf8(families[i]->displayName);
  return "Reset " + names + " settings? [y/N] ";
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
      if (present) text += "would remove  " + Utf8(path) + "\n";
      else if (options.verbose) text += "missing       " + Utf8(path) + "\n";
    }
    if (options.json) io.Out(Json{{"schemaVersion", 1}, {"dryRun", true}, {"files", files}}.dump(2) + "\n");
    else io.Out(text.empty() ? "Nothing to remove.\n" : text);
    return kExitDone;
  }

  if (!options.yes) {
    if (!io.InputIsConsole()) {
      PrintError(io, "reset deletes files and asks first; standard input is not a console, so add --yes to confirm");
      return kExitUsage;
    }
    io.Err(Question(families));
    const std::optional<std::string> answer = io.ReadLine();
    if (!answer || !IsYes(*answer)) {
      io.Err("Nothing was reset.\n");
      return kExitDone;
    }
  }

  std::vector<ResetFileResult> results;
  const std::optional<ResetFailure> failure = RemoveFiles(paths, ProbeAndDeleteFile, &results);
  const bool anyBusy = std::any_of(results.begin(), results.end(),
                                   [](const ResetFileResult& file) { return file.outcome == ResetOutcome::Busy; });
  if (options.json) {
    Json files = Json::array();
    for (const ResetFileResult& file : results) {
      Json entry{{"path", Utf8(file.path)}, {"outcome", OutcomeName(file.outcome)}};
      if (file.outcome == ResetOutcome::Failed) entry["error"] = ErrorText(file.error);
      files.push_back(entry);
    }
    io.Out(Json{{"schemaVersion", 1}, {"dryRun", false}, {"files", files}}.dump(2) + "\n");
  } else {
    std::string text;
    for (const ResetFileResult& file : results)
      if (file.outcome != ResetOutcome::Missing || options.verbose) text += FileLine(file);
    io.Out(text);
  }
  if (failure) {
    PrintError(io, "the reset stopped at a file that cannot be deleted: " + Utf8(failure->path) + ": " +
                       ErrorText(failure->error));
    return kExitFailed;
  }
  return anyBusy ? kExitBusyLeft : kExitDone;
}

}  // namespace quenlow::cli
