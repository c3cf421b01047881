// Resetting the plugins' remembered settings by deleting their preset and mirror files.
//
// Each file is probed first (opened with no sharing): a missing file, or one a plugin holds
// open, is skipped. A file that passed the probe but cannot be deleted stops the reset
// right there, so the user learns which file is in the way and nothing after it happens.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <system_error>
#include <vector>

#include "platform/Files.h"

namespace quenlow {

struct ResetFailure {
  std::wstring path;
  std::error_code error;
  bool backupFailed = false;  // the file stayed because its backup copy could not be made
};

// What happened to one file of a reset.
enum class ResetOutcome {
  Removed,
  Missing,  // not there: nothing to do
  Busy,     // held open by another program (or unreadable): left in place
  Failed,   // could not be deleted: the reset stopped here
};

struct ResetFileResult {
  std::wstring path;
  ResetOutcome outcome = ResetOutcome::Missing;
  std::error_code error;  // the system's reason, for Busy and Failed
};

using FileRemover = std::function<RemoveResult(const std::wstring& path)>;

// Probes and deletes a file, keeping no copy.
RemoveResult DeleteWithoutCopy(const std::wstring& path);

// The files a reset handles, in the order it handles them: the presets of the family with
// exactly this display name (none for an empty or unknown name), or every family's presets
// in family order followed by the four mirror files.
std::vector<std::wstring> FamilyPresetPaths(const std::wstring& commonDocuments, std::wstring_view familyName);
std::vector<std::wstring> AllSettingsPaths(const std::wstring& commonDocuments);

// Handles the files in order, stopping after the first that cannot be deleted; `results`
// (when given) receives one entry per file handled.
[[nodiscard]] std::optional<ResetFailure> RemoveFiles(const std::vector<std::wstring>& paths,
                                                      FileRemover remove = DeleteWithoutCopy,
                                                      std::vector<ResetFileResult>* results = nullptr);

// Deletes the preset files of the family with exactly this display name; nothing for an
// empty or unknown name.
[[nodiscard]] std::optional<ResetFailure> RemoveFamilyPresets(const std::wstring& commonDocuments,
                                                              std::wstring_view familyName,
                                                              FileRemover remove = DeleteWithoutCopy,
                                                              std::vector<ResetFileResult>* results = nullptr);

// Deletes every family's presets in family order, then the four mirror files.
[[nodiscard]] std::optional<ResetFailure> RemoveAllSettingsFiles(const std::wstring& commonDocuments,
                                                                 FileRemover remove = DeleteWithoutCopy,
                                                                 std::vector<ResetFileResult>* results = nullptr);

}  // namespace quenlow
