#include "maintenance/Resets.h"

#include "catalogue/Catalogue.h"
#include "settings/Settings.h"

namespace quenlow {
namespace {

ResetOutcome OutcomeOf(const RemoveResult& result) {
  switch (result.status) {
    case RemoveStatus::Removed: return ResetOutcome::Removed;
    case RemoveStatus::Failed: return ResetOutcome::Failed;
    case RemoveStatus::Skipped: break;
  }
  return ClassifyFileError(result.error) == FileErrorKind::NotFound ? ResetOutcome::Missing : ResetOutcome::Busy;
}

}  // namespace

RemoveResult DeleteWithoutCopy(const std::wstring& path) { return ProbeAndDeleteFile(path); }

std::vector<std::wstring> FamilyPresetPaths(const std::wstring& commonDocuments, std::wstring_view familyName) {
  std::vector<std::wstring> paths;
  if (familyName.empty()) return paths;
  // Each family's name is tested on its own, in the reset's own order.
  for (FamilyId id : kResetNameTestOrder) {
    const FamilyInfo& family = kFamilies[id];
    if (familyName != family.displayName) continue;
    for (const wchar_t* preset : family.presetFiles) paths.push_back(commonDocuments + preset);
  }
  return paths;
}

std::vector<std::wstring> AllSettingsPaths(const std::wstring& commonDocuments) {
  std::vector<std::wstring> paths;
  for (const FamilyInfo& family : kFamilies)
    for (std::wstring& path : FamilyPresetPaths(commonDocuments, family.displayName)) paths.push_back(std::move(path));
  for (const wchar_t* mirror : kResetMirrorFiles) paths.push_back(commonDocuments + mirror);
  return paths;
}

std::optional<ResetFailure> RemoveFiles(const std::vector<std::wstring>& paths, FileRemover remove,
                                        std::vector<ResetFileResult>* results) {
  for (const std::wstring& path : paths) {
    const RemoveResult removed = remove(path);
    const ResetOutcome outcome = OutcomeOf(removed);
    if (results)
      results->push_back({path, outcome, outcome == ResetOutcome::Removed ? std::error_code() : removed.error});
    if (outcome == ResetOutcome::Failed) return ResetFailure{path, removed.error, removed.copyFailed};
  }
  return std::nullopt;
}

std::optional<ResetFailure> RemoveFamilyPresets(const std::wstring& commonDocuments, std::wstring_view familyName,
                                                FileRemover remove, std::vector<ResetFileResult>* results) {
  return RemoveFiles(FamilyPresetPaths(commonDocuments, familyName), remove, results);
}

std::optional<ResetFailure> RemoveAllSettingsFiles(const std::wstring& commonDocuments, FileRemover remove,
                                                   std::vector<ResetFileResult>* results) {
  return RemoveFiles(AllSettingsPaths(commonDocuments), remove, results);
}

}  // namespace quenlow
