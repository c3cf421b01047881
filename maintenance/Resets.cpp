#include "maintenance/Resets.h"

#include "catalogue/Catalogue.h"
#include "settings/Settings.h"

namespace quenlow {
namespace {

// The name tests run one after another, each on its own, in this order.
constexpr std::wstring_view kNameTestOrder[] = {
    L"Orbitale", L"Velumen", L"Fondara", L"Taviro", L"Celluna", L"Brisavo", L"Corvane Tools",
};

std::optional<ResetFailure> RemoveFile(const std::wstring& folder, const wchar_t* relativePath,
                                       FileRemover remove) {
  std::wstring path = folder + relativePath;
  RemoveResult result = remove(path);
  if (result.status == RemoveStatus::Failed) return ResetFailure{std::move(path), result.error};
  return std::nullopt;
}

}  // namespace

std::optional<ResetFailure> RemoveFamilyPresets(const std::wstring& commonDocuments, std::wstring_view familyName,
                                                FileRemover remove) {
  if (familyName.empty()) return std::nullopt;
  for (std::wstring_view name : kNameTestOrder) {
    if (familyName != name) continue;
    const FamilyInfo* family = FindFamilyByName(name);
    for (std::size_t i = 0; i < family->presetFileCount; ++i)
      if (auto failure = RemoveFile(commonDocuments, family->presetFiles[i], remove)) return failure;
  }
  return std::nullopt;
}

std::optional<ResetFailure> RemoveAllSettingsFiles(const std::wstring& commonDocuments, FileRemover remove) {
  for (const FamilyInfo& family : kFamilies)
    if (auto failure = RemoveFamilyPresets(commonDocuments, family.displayName, remove)) return failure;
  for (const wchar_t* mirror : kResetMirrorFiles)
    if (auto failure = RemoveFile(commonDocuments, mirror, remove)) return failure;
  return std::nullopt;
}

}  // namespace quenlow
