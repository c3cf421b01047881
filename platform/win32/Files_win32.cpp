// Win32 implementation of the file seam.
#include "platform/Files.h"

#include <windows.h>

#include "platform/win32/Handles.h"

namespace quenlow {
namespace {

std::error_code LastError() { return {static_cast<int>(::GetLastError()), std::system_category()}; }

// A plugin reading the file holds it open for a moment; replacing it then fails with one
// of these until the plugin lets go.
bool IsTransientReplaceError(DWORD error) {
  return error == ERROR_SHARING_VIOLATION || error == ERROR_ACCESS_DENIED ||
         error == ERROR_LOCK_VIOLATION || error == ERROR_UNABLE_TO_REMOVE_REPLACED;
}

constexpr int kReplaceAttempts = 10;
constexpr DWORD kReplaceRetryDelayMs = 50;

// Whether the target could be replaced now: a reader without delete sharing prevents it.
// Asking first matters under Wine, whose ReplaceFileW leaves a temporary file behind each
// time it fails.
DWORD CheckReplaceable(const std::wstring& target) {
  UniqueFile probe(::CreateFileW(target.c_str(), DELETE, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                 nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  return probe ? ERROR_SUCCESS : ::GetLastError();
}

DWORD MoveIntoPlace(const std::wstring& temporary, const std::wstring& target) {
  if (::GetFileAttributesW(target.c_str()) != INVALID_FILE_ATTRIBUTES) {
    if (DWORD error = CheckReplaceable(target); error != ERROR_SUCCESS) return error;
    // ReplaceFileW keeps the file's attributes and security; where the file system does
    // not support it, a plain replacing move does the job.
    if (::ReplaceFileW(target.c_str(), temporary.c_str(), nullptr, REPLACEFILE_IGNORE_MERGE_ERRORS, nullptr,
                       nullptr))
      return ERROR_SUCCESS;
  }
  if (::MoveFileExW(temporary.c_str(), target.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
    return ERROR_SUCCESS;
  return ::GetLastError();
}

}  // namespace

bool PathExists(const std::wstring& path) noexcept {
  // An attribute query takes no wildcards, so the path is looked up exactly as written.
  return ::GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

FileBytes ReadFileBytes(const std::wstring& path) {
  FileBytes result;
  UniqueFile file(::CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file) {
    DWORD error = ::GetLastError();
    result.error = {static_cast<int>(error), std::system_category()};
    result.status = (error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND) ? ReadStatus::NotFound
                                                                                    : ReadStatus::Failed;
    return result;
  }
  char buffer[16384];
  for (;;) {
    DWORD read = 0;
    if (!::ReadFile(file.get(), buffer, sizeof buffer, &read, nullptr)) {
      result.error = LastError();
      result.status = ReadStatus::Failed;
      result.bytes.clear();
      return result;
    }
    if (read == 0) break;
    result.bytes.append(buffer, read);
  }
  result.status = ReadStatus::Ok;
  return result;
}

std::error_code ReplaceFileBytes(const std::wstring& path, std::string_view bytes) {
  const std::wstring temporary = path + L"." + std::to_wstring(::GetCurrentProcessId()) + L".tmp";
  {
    UniqueFile file(::CreateFileW(temporary.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                  FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) return LastError();
    std::error_code error;
    while (!bytes.empty() && !error) {
      DWORD chunk = bytes.size() > 0x10000000 ? 0x10000000 : static_cast<DWORD>(bytes.size());
      DWORD written = 0;
      if (!::WriteFile(file.get(), bytes.data(), chunk, &written, nullptr) || written == 0)
        error = LastError();
      else
        bytes.remove_prefix(written);
    }
    if (!error && !::FlushFileBuffers(file.get())) error = LastError();
    if (error) {
      file.reset();
      ::DeleteFileW(temporary.c_str());
      return error;
    }
  }
  DWORD error = ERROR_SUCCESS;
  for (int attempt = 0; attempt < kReplaceAttempts; ++attempt) {
    if (attempt > 0) ::Sleep(kReplaceRetryDelayMs);
    error = MoveIntoPlace(temporary, path);
    if (error == ERROR_SUCCESS || !IsTransientReplaceError(error)) break;
  }
  if (error != ERROR_SUCCESS) ::DeleteFileW(temporary.c_str());
  return {static_cast<int>(error), std::system_category()};
}

RemoveResult ProbeAndDeleteFile(const std::wstring& path) {
  {
    UniqueFile probe(::CreateFileW(path.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING,
                                   FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!probe) return {RemoveStatus::Skipped, LastError()};
  }
  if (!::DeleteFileW(path.c_str())) return {RemoveStatus::Failed, LastError()};
  return {RemoveStatus::Removed, {}};
}

}  // namespace quenlow
