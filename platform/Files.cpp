// The parts of the file seam that are the same on every system.
#include "platform/Files.h"

#include <atomic>

#include "platform/FilesInternal.h"

namespace quenlow {
namespace {

class FileErrorCategoryImpl : public std::error_category {
 public:
  const char* name() const noexcept override { return "quenlow.files"; }
  std::string message(int value) const override {
    switch (static_cast<FileError>(value)) {
      case FileError::ChangedSinceRead: return "The file was changed by another program after it was read.";
    }
    return "Unknown file error.";
  }
};

std::atomic<SaveFaultHook> g_saveFaultHook{nullptr};

}  // namespace

const std::error_category& FileErrorCategory() noexcept {
  static const FileErrorCategoryImpl category;
  return category;
}

void SetSaveFaultHookForTesting(SaveFaultHook hook) noexcept { g_saveFaultHook.store(hook); }

FileBytes FinishRead(FileBytes& result, std::size_t limit) {
  if (result.bytes.size() > limit) {
    result.bytes.resize(limit);
    result.truncated = true;
  }
  result.status = ReadStatus::Ok;
  return std::move(result);
}

std::error_code InjectedSaveFault(SaveStep step, const std::wstring& target) {
  SaveFaultHook hook = g_saveFaultHook.load();
  return hook ? hook(step, target) : std::error_code();
}

}  // namespace quenlow
