// Win32 implementation of the file seam.
#include "platform/Files.h"

#include <windows.h>

#include "platform/FilesInternal.h"
#include "platform/win32/Handles.h"

namespace quenlow {
namespace {

std::error_code SystemError(DWORD error) { return {static_cast<int>(error), std::system_category()}; }
std::error_code LastError() { return SystemError(::GetLastError()); }

// A plugin reading the file holds it open for a moment; replacing it then fails with one
// of these until the plugin lets go. Anything else (read-only, a folder in the way, a full
// disk) will not pass by waiting.
bool IsTransientReplaceError(const std::error_code& error) {
  if (error.category() != std::system_category()) return false;
  const auto code = static_cast<DWORD>(error.value());
  return code == ERROR_SHARING_VIOLATION || code == ERROR_LOCK_VIOLATION || code == ERROR_ACCESS_DENIED;
}

// The replace runs on the dialog's thread: four retries, 200 ms in all at the most.
constexpr int kReplaceAttempts = 5;
constexpr DWORD kReplaceRetryDelayMs = 50;

std::int64_t FileTimeValue(const FILETIME& time) {
  return static_cast<std::int64_t>((static_cast<std::uint64_t>(time.dwHighDateTime) << 32) | time.dwLowDateTime);
}

std::uint64_t FileSizeValue(DWORD high, DWORD low) { return (static_cast<std::uint64_t>(high) << 32) | low; }

FileStamp StampOf(const std::wstring& path) {
  WIN32_FILE_ATTRIBUTE_DATA data{};
  if (!::GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &data)) return {};
  return {true, FileSizeValue(data.nFileSizeHigh, data.nFileSizeLow), FileTimeValue(data.ftLastWriteTime)};
}

// The temporary file sits beside the target, so that the final move stays on one volume.
// Its name is longer than the target's: where that passes the classic path limit although
// the target fits, the extended-length form reaches it.
std::wstring TemporaryName(const std::wstring& target, int attempt) {
  std::wstring name = target + L"." + std::to_wstring(::GetCurrentProcessId()) +
                      (attempt > 1 ? L"-" + std::to_wstring(attempt) : std::wstring()) + L".tmp";
  if (name.size() < MAX_PATH) return name;
  if (name.size() > 2 && name[1] == L':' && name[2] == L'\\') return L"\\\\?\\" + name;
  if (name.rfind(L"\\\\", 0) == 0 && name.rfind(L"\\\\?\\", 0) != 0) return L"\\\\?\\UNC\\" + name.substr(2);
  return name;
}

// Creates a temporary file of its own beside the target: never one that exists already,
// which may be the only copy an earlier failed save kept.
std::error_code WriteTemporary(const std::wstring& target, std::string_view bytes, std::wstring& temporary) {
  if (std::error_code error = InjectedSaveFault(SaveStep::CreateTemporary, target)) return error;
  UniqueFile file;
  for (int attempt = 1; attempt <= 10 && !file; ++attempt) {
    temporary = TemporaryName(target, attempt);
    file.reset(::CreateFileW(temporary.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file && ::GetLastError() != ERROR_FILE_EXISTS) break;
  }
  if (!file) {
    const std::error_code error = LastError();
    temporary.clear();
    return error;
  }
  while (!bytes.empty()) {
    if (std::error_code error = InjectedSaveFault(SaveStep::Write, target)) return error;
    const DWORD chunk = bytes.size() > 0x10000000 ? 0x10000000 : static_cast<DWORD>(bytes.size());
    DWORD written = 0;
    if (!::WriteFile(file.get(), bytes.data(), chunk, &written, nullptr)) return LastError();
    // A write that reports success with nothing written would otherwise be retried for
    // ever, with no error to stop it.
    if (written == 0) return SystemError(ERROR_WRITE_FAULT);
    bytes.remove_prefix(written);
  }
  if (std::error_code error = InjectedSaveFault(SaveStep::Flush, target)) return error;
  if (!::FlushFileBuffers(file.get())) return LastError();
  if (!::CloseHandle(file.release())) return LastError();
  return {};
}

// A plain replacing move: atomic on one volume, and it never leaves the target missing,
// unlike ReplaceFileW, which can fail after the old file is gone and leaves files of its
// own behind under Wine. The old file's attributes are not carried over; a settings file
// has none worth the risk.
std::error_code MoveIntoPlace(const std::wstring& temporary, const std::wstring& target, const FileStamp* expected) {
  std::error_code error;
  for (int attempt = 0; attempt < kReplaceAttempts; ++attempt) {
    if (attempt > 0) ::Sleep(kReplaceRetryDelayMs);
    if (expected && StampOf(target) != *expected) return FileError::ChangedSinceRead;
    error = InjectedSaveFault(SaveStep::Replace, target);
    if (!error && !::MoveFileExW(temporary.c_str(), target.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
      error = LastError();
    if (!error || !IsTransientReplaceError(error)) break;
  }
  return error;
}

}  // namespace

FileErrorKind ClassifyFileError(const std::error_code& error) noexcept {
  if (error.category() != std::system_category()) return FileErrorKind::Other;
  switch (static_cast<DWORD>(error.value())) {
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND: return FileErrorKind::NotFound;
    case ERROR_ACCESS_DENIED:
    case ERROR_WRITE_PROTECT: return FileErrorKind::AccessDenied;
    case ERROR_SHARING_VIOLATION:
    case ERROR_LOCK_VIOLATION: return FileErrorKind::Busy;
    default: return FileErrorKind::Other;
  }
}

bool PathExists(const std::wstring& path) noexcept {
  // An attribute query takes no wildcards, so the path is looked up exactly as written.
  return ::GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

FileBytes ReadFileBytes(const std::wstring& path, std::size_t limit) {
  FileBytes result;
  UniqueFile file(::CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file) {
    const DWORD error = ::GetLastError();
    result.error = SystemError(error);
    result.status =
        (error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND) ? ReadStatus::NotFound : ReadStatus::Failed;
    return result;
  }
  BY_HANDLE_FILE_INFORMATION info{};
  if (::GetFileInformationByHandle(file.get(), &info))
    result.stamp = {true, FileSizeValue(info.nFileSizeHigh, info.nFileSizeLow), FileTimeValue(info.ftLastWriteTime)};
  // One byte past the limit tells whether there is more.
  const std::size_t wanted = limit == kNoReadLimit ? limit : limit + 1;
  char buffer[16384];
  while (result.bytes.size() < wanted) {
    const std::size_t room = wanted - result.bytes.size();
    const DWORD ask = room < sizeof buffer ? static_cast<DWORD>(room) : static_cast<DWORD>(sizeof buffer);
    DWORD read = 0;
    if (!::ReadFile(file.get(), buffer, ask, &read, nullptr)) {
      result.error = LastError();
      result.status = ReadStatus::Failed;
      result.bytes.clear();
      return result;
    }
    if (read == 0) break;
    result.bytes.append(buffer, read);
  }
  return FinishRead(result, limit);
}

FileBytes ReadFileRange(const std::wstring& path, std::uint64_t offset, std::size_t length) {
  FileBytes result;
  UniqueFile file(::CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                                FILE_ATTRIBUTE_NORMAL, nullptr));
  LARGE_INTEGER position{};
  position.QuadPart = static_cast<LONGLONG>(offset);
  if (!file || !::SetFilePointerEx(file.get(), position, nullptr, FILE_BEGIN)) {
    const DWORD error = ::GetLastError();
    result.error = SystemError(error);
    result.status =
        (error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND) ? ReadStatus::NotFound : ReadStatus::Failed;
    return result;
  }
  result.bytes.resize(length);
  std::size_t used = 0;
  while (used < length) {
    DWORD read = 0;
    const DWORD ask = length - used > 0x100000 ? 0x100000 : static_cast<DWORD>(length - used);
    if (!::ReadFile(file.get(), result.bytes.data() + used, ask, &read, nullptr)) {
      result.error = LastError();
      result.status = ReadStatus::Failed;
      result.bytes.clear();
      return result;
    }
    if (read == 0) break;
    used += read;
  }
  result.bytes.resize(used);
  result.status = ReadStatus::Ok;
  return result;
}

ReplaceResult ReplaceFileBytes(const std::wstring& path, std::string_view bytes, const FileStamp* expected) {
  const DWORD attributes = ::GetFileAttributesW(path.c_str());
  const bool existed = attributes != INVALID_FILE_ATTRIBUTES;
  // Windows refuses to replace a read-only file, Wine does not: whoever marked it meant it.
  if (existed && (attributes & FILE_ATTRIBUTE_READONLY)) return {SystemError(ERROR_ACCESS_DENIED), {}};

  std::wstring temporary;
  if (std::error_code error = WriteTemporary(path, bytes, temporary)) {
    if (!temporary.empty()) ::DeleteFileW(temporary.c_str());
    return {error, {}};
  }
  std::error_code error = MoveIntoPlace(temporary, path, expected);
  if (!error) return {};
  // Never give up the temporary file while it holds the only copy.
  if (existed && !PathExists(path)) return {error, temporary};
  ::DeleteFileW(temporary.c_str());
  return {error, {}};
}

RemoveResult ProbeAndDeleteFile(const std::wstring& path, const KeepCopy& keep) {
  UniqueFile file(
      ::CreateFileW(path.c_str(), GENERIC_READ | DELETE, 0, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file) {
    const DWORD error = ::GetLastError();
    // Delete access can be refused for a file that is neither missing nor in use (read-only
    // under Wine): that file is in the way and the reset must say so.
    if (error == ERROR_ACCESS_DENIED) {
      UniqueFile readable(
          ::CreateFileW(path.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
      if (readable) return {RemoveStatus::Failed, SystemError(error)};
    }
    return {RemoveStatus::Skipped, SystemError(error)};
  }
  if (keep) {
    // The copy comes from the handle that deletes: the bytes kept are the bytes removed.
    std::string bytes;
    char buffer[16384];
    for (;;) {
      DWORD read = 0;
      if (!::ReadFile(file.get(), buffer, sizeof buffer, &read, nullptr))
        return {RemoveStatus::Failed, LastError(), true};
      if (read == 0) break;
      bytes.append(buffer, read);
    }
    if (std::error_code error = keep(bytes)) return {RemoveStatus::Failed, error, true};
  }
  FILE_DISPOSITION_INFO disposition{TRUE};
  if (!::SetFileInformationByHandle(file.get(), FileDispositionInfo, &disposition, sizeof disposition))
    return {RemoveStatus::Failed, LastError()};
  return {RemoveStatus::Removed, {}};
}

FileInfo GetFileInfo(const std::wstring& path) {
  WIN32_FILE_ATTRIBUTE_DATA data{};
  if (!::GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &data)) return {};
  // FILETIME counts 100-nanosecond steps since 1601.
  constexpr std::int64_t kUnixEpoch = 116444736000000000;
  return {true, (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0,
          FileSizeValue(data.nFileSizeHigh, data.nFileSizeLow),
          (FileTimeValue(data.ftLastWriteTime) - kUnixEpoch) / 10000000,
          (data.dwFileAttributes & FILE_ATTRIBUTE_READONLY) != 0};
}

std::optional<FileIdentity> GetFileIdentity(const std::wstring& path) {
  // Backup semantics open folders too; nothing is read.
  UniqueFile file(::CreateFileW(path.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
  BY_HANDLE_FILE_INFORMATION info{};
  if (!file || !::GetFileInformationByHandle(file.get(), &info)) return std::nullopt;
  return FileIdentity{info.dwVolumeSerialNumber, FileSizeValue(info.nFileIndexHigh, info.nFileIndexLow)};
}

std::optional<bool> IsFileInUse(const std::wstring& path) {
  UniqueFile file(::CreateFileW(path.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (file) return false;
  const DWORD error = ::GetLastError();
  if (error == ERROR_SHARING_VIOLATION || error == ERROR_LOCK_VIOLATION) return true;
  return false;
}

std::error_code MakeFolders(const std::wstring& path) {
  // Skip the drive ("C:\") or the server and share ("\\server\share\").
  std::size_t start = path.size() > 2 && path[1] == L':' ? 3 : 0;
  if (path.rfind(L"\\", 0) == 0) start = path.find(L'\\', path.find(L'\\', 2) + 1) + 1;
  for (std::size_t slash = path.find(L'\\', start);; slash = path.find(L'\\', slash + 1)) {
    const std::wstring part = path.substr(0, slash);
    if (!part.empty() && !::CreateDirectoryW(part.c_str(), nullptr)) {
      const DWORD error = ::GetLastError();
      if (error != ERROR_ALREADY_EXISTS) return SystemError(error);
      const DWORD attributes = ::GetFileAttributesW(part.c_str());
      if (attributes == INVALID_FILE_ATTRIBUTES || !(attributes & FILE_ATTRIBUTE_DIRECTORY))
        return SystemError(ERROR_DIRECTORY);
    }
    if (slash == std::wstring::npos) return {};
  }
}

std::vector<FolderEntry> ListFolder(const std::wstring& path, std::error_code& error) {
  std::vector<FolderEntry> entries;
  error.clear();
  WIN32_FIND_DATAW found{};
  UniqueFind search(::FindFirstFileW((path + L"\\*").c_str(), &found));
  if (!search) {
    error = LastError();
    return entries;
  }
  do {
    const std::wstring name = found.cFileName;
    if (name == L"." || name == L"..") continue;
    entries.push_back({name, (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0});
  } while (::FindNextFileW(search.get(), &found));
  return entries;
}

std::error_code RemoveTree(const std::wstring& path) {
  std::error_code error;
  for (const FolderEntry& entry : ListFolder(path, error)) {
    const std::wstring child = path + L"\\" + entry.name;
    if (entry.folder) {
      if (std::error_code failed = RemoveTree(child)) return failed;
    } else {
      ::SetFileAttributesW(child.c_str(), FILE_ATTRIBUTE_NORMAL);
      if (!::DeleteFileW(child.c_str())) return LastError();
    }
  }
  if (error) return error;
  if (!::RemoveDirectoryW(path.c_str())) return LastError();
  return {};
}

}  // namespace quenlow
