// The file operations the portable core needs from the system.
//
// Paths are the program's wide paths, formed by plain concatenation of a folder and a
// relative path that begins with a backslash. The POSIX implementation treats "\" as a
// separator, so a temporary folder can stand in for any folder of the folder set in tests.
// Nothing here throws; failures come back as values with the system's error code.
#pragma once

#include <string>
#include <string_view>
#include <system_error>

namespace quenlow {

// True when a directory entry (file or folder) of exactly this name exists. A path the
// system rejects (too long, invalid characters) is simply absent.
[[nodiscard]] bool PathExists(const std::wstring& path) noexcept;

enum class ReadStatus {
  Ok,        // `bytes` holds the whole file
  NotFound,  // the file or a folder on its way does not exist
  Failed,    // it exists but could not be read (sharing violation, access denied, ...)
};

struct FileBytes {
  ReadStatus status = ReadStatus::NotFound;
  std::string bytes;
  std::error_code error;
};

// Reads a whole file as raw bytes (no text-mode translation).
[[nodiscard]] FileBytes ReadFileBytes(const std::wstring& path);

// Replaces the file's content with `bytes` so that readers see either the old or the new
// content, never a part: the bytes go to a temporary file in the same folder, are flushed,
// and the temporary file then takes the file's place. On failure the old file is untouched
// and the temporary file is gone. Folders are never created.
[[nodiscard]] std::error_code ReplaceFileBytes(const std::wstring& path, std::string_view bytes);

enum class RemoveStatus {
  Removed,  // the probe opened it and it was deleted
  Skipped,  // missing, or held open by another program, or not readable: left alone
  Failed,   // the probe passed but the file could not be deleted
};

struct RemoveResult {
  RemoveStatus status = RemoveStatus::Skipped;
  std::error_code error;
};

// Opens the file for reading with no sharing allowed; when that works, closes it and
// deletes the file. Files in use by a plugin therefore stay where they are.
[[nodiscard]] RemoveResult ProbeAndDeleteFile(const std::wstring& path);

}  // namespace quenlow
