// The file operations the portable core needs from the system.
//
// Paths are the program's wide paths, formed by plain concatenation of a folder and a
// relative path that begins with a backslash. The POSIX implementation treats "\" as a
// separator, so a temporary folder can stand in for any folder of the folder set in tests.
// Nothing here throws; failures come back as values with the system's error code.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <limits>
#include <optional>
#include <string>
#include <string_view>
#include <system_error>
#include <vector>

namespace quenlow {

// True when a directory entry (file or folder) of exactly this name exists. A path the
// system rejects (too long, invalid characters) is simply absent.
[[nodiscard]] bool PathExists(const std::wstring& path) noexcept;

// What a save compares before it replaces a file: a file that changed since it was read
// must not be overwritten with a copy made from the old content.
struct FileStamp {
  bool exists = false;
  std::uint64_t size = 0;
  std::int64_t modified = 0;  // the system's own units; only compared for equality
  bool operator==(const FileStamp& other) const {
    return exists == other.exists && size == other.size && modified == other.modified;
  }
  bool operator!=(const FileStamp& other) const { return !(*this == other); }
};

enum class ReadStatus {
  Ok,        // `bytes` holds the file, or its first `limit` bytes when `truncated`
  NotFound,  // the file or a folder on its way does not exist
  Failed,    // it exists but could not be read (sharing violation, access denied, ...)
};

struct FileBytes {
  ReadStatus status = ReadStatus::NotFound;
  std::string bytes;
  bool truncated = false;  // the file holds more than `limit` bytes
  FileStamp stamp;         // of the file as read; `exists` is false when it was not found
  std::error_code error;
};

constexpr std::size_t kNoReadLimit = std::numeric_limits<std::size_t>::max();

// Reads a file as raw bytes (no text-mode translation), at most `limit` of them, so that a
// file grown far beyond what its reader can use costs no more than the part it can use.
// The file is opened without write sharing: a writer busy with it makes the read fail
// rather than hand out half of its content.
[[nodiscard]] FileBytes ReadFileBytes(const std::wstring& path, std::size_t limit = kNoReadLimit);

// Reads at most `length` bytes from `offset` on (fewer at the end of the file).
[[nodiscard]] FileBytes ReadFileRange(const std::wstring& path, std::uint64_t offset, std::size_t length);

// The errors of this layer's own making (the rest are the system's).
enum class FileError {
  ChangedSinceRead = 1,  // the file is not the one the caller read; nothing was replaced
};
const std::error_category& FileErrorCategory() noexcept;
inline std::error_code make_error_code(FileError error) noexcept {
  return {static_cast<int>(error), FileErrorCategory()};
}

// What a file error means to a caller that explains it, across systems.
enum class FileErrorKind {
  NotFound,      // the file, or a folder on its way, is missing
  AccessDenied,  // read-only, or not ours to write
  Busy,          // another program holds the file open
  Other,
};
[[nodiscard]] FileErrorKind ClassifyFileError(const std::error_code& error) noexcept;

struct ReplaceResult {
  std::error_code error;
  // Set only when the new content could not take the file's place and the old file is
  // gone too: the temporary file then holds the only copy and is kept under this name.
  std::wstring keptTemporary;
  explicit operator bool() const { return static_cast<bool>(error); }
};

// Replaces the file's content with `bytes` so that readers see either the old or the new
// content, never a part: the bytes go to a temporary file in the same folder, are flushed,
// and the temporary file then takes the file's place. A file marked read-only is refused
// (access denied) before anything is written. With `expected`, a file whose stamp differs
// from it is left alone (FileError::ChangedSinceRead). On failure the old file is untouched
// and no temporary file is left behind. Folders are never created.
[[nodiscard]] ReplaceResult ReplaceFileBytes(const std::wstring& path, std::string_view bytes,
                                             const FileStamp* expected = nullptr);

enum class RemoveStatus {
  Removed,  // the probe opened it and it was deleted
  Skipped,  // missing, or held open by another program, or not readable: left alone
  Failed,   // the probe passed but the file could not be deleted
};

struct RemoveResult {
  RemoveStatus status = RemoveStatus::Skipped;
  std::error_code error;
  bool copyFailed = false;  // Failed because the copy to keep could not be made
};

// Keeps a copy of a file's bytes before the file is deleted; an error stops the delete.
using KeepCopy = std::function<std::error_code(const std::string& bytes)>;

// Opens the file with no sharing allowed and, when that works, deletes it through the same
// open handle: files in use by a plugin stay where they are, and the file that was checked
// is the file that goes. With `keep`, the bytes read through that handle are handed to it
// first, and the file is deleted only when it succeeds.
[[nodiscard]] RemoveResult ProbeAndDeleteFile(const std::wstring& path, const KeepCopy& keep = nullptr);

// What the system says of a path; `exists` is false when it cannot be had.
struct FileInfo {
  bool exists = false;
  bool folder = false;
  std::uint64_t size = 0;
  std::int64_t modifiedUnixSeconds = 0;  // last write, seconds since 1970 (UTC)
  bool readOnly = false;                 // the read-only attribute, or no write permission
};
[[nodiscard]] FileInfo GetFileInfo(const std::wstring& path);

// What makes a file or folder itself, whatever path leads to it (letter case, links,
// junctions, short names): the volume and the file's number on it.
struct FileIdentity {
  std::uint64_t volume = 0;
  std::uint64_t file = 0;
  bool operator==(const FileIdentity& other) const { return volume == other.volume && file == other.file; }
};
[[nodiscard]] std::optional<FileIdentity> GetFileIdentity(const std::wstring& path);

// Whether another program holds the file open so that it cannot be opened without sharing
// (a host using it); nothing when this system cannot tell.
[[nodiscard]] std::optional<bool> IsFileInUse(const std::wstring& path);

// Creates the folder and every missing folder on its way.
[[nodiscard]] std::error_code MakeFolders(const std::wstring& path);

struct FolderEntry {
  std::wstring name;
  bool folder = false;
};
// The entries of a folder, without "." and "..", in no particular order.
[[nodiscard]] std::vector<FolderEntry> ListFolder(const std::wstring& path, std::error_code& error);

// Removes a folder with everything in it.
[[nodiscard]] std::error_code RemoveTree(const std::wstring& path);

// Tests make each step of a save fail on demand: a hook that returns an error for a step
// makes that step fail with it, as if the system had refused. Null restores the real steps.
enum class SaveStep { CreateTemporary, Write, Flush, Replace };
using SaveFaultHook = std::error_code (*)(SaveStep step, const std::wstring& target);
void SetSaveFaultHookForTesting(SaveFaultHook hook) noexcept;

}  // namespace quenlow

namespace std {
template <>
struct is_error_code_enum<quenlow::FileError> : true_type {};
}  // namespace std
