// Resetting the plugins' remembered settings by deleting their preset and mirror files.
//
// Each file is probed first (opened with no sharing): a missing file, or one a plugin holds
// open, is skipped. A file that passed the probe but cannot be deleted stops the reset
// right there, so the user learns which file is in the way and nothing after it happens.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <system_error>

#include "platform/Files.h"

namespace quenlow {

struct ResetFailure {
  std::wstring path;
  std::error_code error;
};

using FileRemover = RemoveResult (*)(const std::wstring& path);

// Deletes the preset files of the family with exactly this display name; nothing for an
// empty or unknown name.
[[nodiscard]] std::optional<ResetFailure> RemoveFamilyPresets(const std::wstring& commonDocuments,
                                                              std::wstring_view familyName,
                                                              FileRemover remove = ProbeAndDeleteFile);

// Deletes every family's presets in family order, then the four mirror files.
[[nodiscard]] std::optional<ResetFailure> RemoveAllSettingsFiles(const std::wstring& commonDocuments,
                                                                 FileRemover remove = ProbeAndDeleteFile);

}  // namespace quenlow
