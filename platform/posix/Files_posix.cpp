// POSIX implementation of the file seam: the native build, its tests and the native command
// line. It refuses what the Windows build refuses: a file without write permission (the
// read-only attribute's counterpart) is neither replaced nor deleted, and anything but a
// regular file (a FIFO, a socket, a device) in place of a file is unreadable and is never
// opened in a way that could block. A symbolic link is read through; a save puts the new
// file in the link's place, as Wine does.
#include "platform/Files.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>

#include <algorithm>
#include <cerrno>

#include "platform/FilesInternal.h"
#include "platform/TextConvert.h"
#include "platform/posix/WinePrefix.h"

namespace quenlow {
namespace {

// In a Wine prefix, a Windows path ("C:\...") names a file of the prefix; anything else is
// a path of this system whose backslashes separate folders too (the tests' stand-ins).
std::string NativePath(const std::wstring& path) {
  std::string native = WideToUtf8(path);
  if (!wine::CurrentPrefix().empty()) {
    std::string mapped = wine::MapWindowsPath(native);
    if (mapped != native) return mapped;
  }
  std::replace(native.begin(), native.end(), '\\', '/');
  return native;
}

std::error_code Errno(int value) { return {value, std::generic_category()}; }
std::error_code LastError() { return Errno(errno); }

// Closes a descriptor on every path out of a function.
class Descriptor {
 public:
  explicit Descriptor(int fd) : m_fd(fd) {}
  Descriptor(const Descriptor&) = delete;
  Descriptor& operator=(const Descriptor&) = delete;
  Descriptor(Descriptor&& other) noexcept : m_fd(other.m_fd) { other.m_fd = -1; }
  Descriptor& operator=(Descriptor&& other) noexcept {
    Close();
    m_fd = other.m_fd;
    other.m_fd = -1;
    return *this;
  }
  ~Descriptor() { Close(); }
  int get() const { return m_fd; }
  bool valid() const { return m_fd >= 0; }
  int Close() {
    int result = m_fd >= 0 ? ::close(m_fd) : 0;
    m_fd = -1;
    return result;
  }

 private:
  int m_fd;
};

FileStamp StampOf(const struct stat& info) {
  return {true, static_cast<std::uint64_t>(info.st_size),
          static_cast<std::int64_t>(info.st_mtim.tv_sec) * 1000000000 + info.st_mtim.tv_nsec};
}

FileStamp StampOf(const std::string& path) {
  struct stat info {};
  return ::stat(path.c_str(), &info) == 0 ? StampOf(info) : FileStamp{};
}

bool IsWritable(const struct stat& info) { return (info.st_mode & 0222) != 0; }

std::error_code WriteAll(int fd, std::string_view bytes, const std::wstring& target) {
  while (!bytes.empty()) {
    if (std::error_code error = InjectedSaveFault(SaveStep::Write, target)) return error;
    ssize_t written = ::write(fd, bytes.data(), bytes.size());
    if (written < 0 && errno == EINTR) continue;
    if (written < 0) return LastError();
    if (written == 0) return Errno(EIO);
    bytes.remove_prefix(static_cast<std::size_t>(written));
  }
  return {};
}

// Creates a temporary file of its own beside the target: never one that exists already,
// which may be the only copy an earlier failed save kept.
std::error_code WriteTemporary(const std::string& target, mode_t mode, const std::wstring& wideTarget,
                               std::string_view bytes, std::string& temporary) {
  if (std::error_code error = InjectedSaveFault(SaveStep::CreateTemporary, wideTarget)) return error;
  const std::string stem = target + "." + std::to_string(::getpid());
  Descriptor fd(-1);
  for (int attempt = 1; attempt <= 10 && !fd.valid(); ++attempt) {
    temporary = stem + (attempt > 1 ? "-" + std::to_string(attempt) : std::string()) + ".tmp";
    fd = Descriptor(::open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOFOLLOW, mode));
    if (!fd.valid() && errno != EEXIST) break;
  }
  if (!fd.valid()) {
    const std::error_code error = LastError();
    temporary.clear();
    return error;
  }
  if (std::error_code error = WriteAll(fd.get(), bytes, wideTarget)) return error;
  if (std::error_code error = InjectedSaveFault(SaveStep::Flush, wideTarget)) return error;
  if (::fsync(fd.get()) != 0) return LastError();
  if (fd.Close() != 0) return LastError();
  return {};
}

}  // namespace

FileErrorKind ClassifyFileError(const std::error_code& error) noexcept {
  if (error.category() != std::generic_category()) return FileErrorKind::Other;
  switch (error.value()) {
    case ENOENT:
    case ENOTDIR: return FileErrorKind::NotFound;
    case EACCES:
    case EPERM:
    case EROFS: return FileErrorKind::AccessDenied;
    case EBUSY:
    case ETXTBSY: return FileErrorKind::Busy;
    default: return FileErrorKind::Other;
  }
}

bool PathExists(const std::wstring& path) noexcept {
  try {
    struct stat info {};
    return ::stat(NativePath(path).c_str(), &info) == 0;
  } catch (...) {  // only allocation can fail here; an unusable path is an absent one
    return false;
  }
}

namespace {

// Opens a regular file for reading; anything else (a FIFO would wait for a writer) is not
// opened at all. When it cannot be opened, `result` says why.
Descriptor OpenForReading(const std::wstring& path, FileBytes& result, struct stat& info) {
  const std::string native = NativePath(path);
  if (::stat(native.c_str(), &info) != 0) {
    result.error = LastError();
    result.status = (errno == ENOENT || errno == ENOTDIR) ? ReadStatus::NotFound : ReadStatus::Failed;
    return Descriptor(-1);
  }
  Descriptor fd(S_ISREG(info.st_mode) ? ::open(native.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK) : -1);
  if (!fd.valid() || ::fstat(fd.get(), &info) != 0 || !S_ISREG(info.st_mode)) {
    result.error = fd.valid() || !S_ISREG(info.st_mode) ? Errno(EACCES) : LastError();
    result.status = ReadStatus::Failed;
    return Descriptor(-1);
  }
  return fd;
}

FileBytes ReadFailed(FileBytes& result) {
  result.error = LastError();
  result.status = ReadStatus::Failed;
  result.bytes.clear();
  return std::move(result);
}

}  // namespace

FileBytes ReadFileBytes(const std::wstring& path, std::size_t limit) {
  FileBytes result;
  struct stat info {};
  Descriptor fd = OpenForReading(path, result, info);
  if (!fd.valid()) return result;
  result.stamp = StampOf(info);
  // One byte past the limit tells whether there is more.
  const std::size_t wanted = limit == kNoReadLimit ? limit : limit + 1;
  std::size_t capacity = std::min<std::size_t>(static_cast<std::size_t>(info.st_size) + 1, wanted);
  if (capacity == 0) capacity = 1;
  std::size_t used = 0;
  for (;;) {
    result.bytes.resize(capacity);
    ssize_t n = ::read(fd.get(), result.bytes.data() + used, capacity - used);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) return ReadFailed(result);
    if (n == 0) break;
    used += static_cast<std::size_t>(n);
    if (used == wanted) break;
    if (used == capacity) capacity = std::min(capacity > wanted / 2 ? wanted : capacity * 2, wanted);
  }
  result.bytes.resize(used);
  return FinishRead(result, limit);
}

FileBytes ReadFileRange(const std::wstring& path, std::uint64_t offset, std::size_t length) {
  FileBytes result;
  struct stat info {};
  Descriptor fd = OpenForReading(path, result, info);
  if (!fd.valid()) return result;
  result.bytes.resize(length);
  std::size_t used = 0;
  while (used < length) {
    const ssize_t n = ::pread(fd.get(), result.bytes.data() + used, length - used, static_cast<off_t>(offset + used));
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) return ReadFailed(result);
    if (n == 0) break;
    used += static_cast<std::size_t>(n);
  }
  result.bytes.resize(used);
  result.status = ReadStatus::Ok;
  return result;
}

ReplaceResult ReplaceFileBytes(const std::wstring& path, std::string_view bytes, const FileStamp* expected) {
  const std::string target = NativePath(path);
  mode_t mode = 0644;
  struct stat info {};
  const bool existed = ::stat(target.c_str(), &info) == 0;
  if (existed) {
    if (!IsWritable(info)) return {Errno(EACCES), {}};
    mode = info.st_mode & 0777;
  }
  std::string temporary;
  if (std::error_code error = WriteTemporary(target, mode, path, bytes, temporary)) {
    if (!temporary.empty()) ::unlink(temporary.c_str());
    return {error, {}};
  }
  std::error_code error;
  if (expected && StampOf(target) != *expected) error = FileError::ChangedSinceRead;
  if (!error) error = InjectedSaveFault(SaveStep::Replace, path);
  if (!error && ::rename(temporary.c_str(), target.c_str()) != 0) error = LastError();
  if (!error) return {};
  // Never give up the temporary file while it holds the only copy.
  struct stat now {};
  if (existed && ::lstat(target.c_str(), &now) != 0) return {error, Utf8ToWide(temporary)};
  ::unlink(temporary.c_str());
  return {error, {}};
}

RemoveResult ProbeAndDeleteFile(const std::wstring& path, const KeepCopy& keep) {
  const std::string native = NativePath(path);
  struct stat info {};
  if (::stat(native.c_str(), &info) != 0) return {RemoveStatus::Skipped, LastError()};
  // Windows cannot open a folder (or anything but a file) as a file: it is skipped there too.
  if (!S_ISREG(info.st_mode)) return {RemoveStatus::Skipped, Errno(EACCES)};
  Descriptor fd(::open(native.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK));
  if (!fd.valid()) return {RemoveStatus::Skipped, LastError()};
  if (!IsWritable(info)) return {RemoveStatus::Failed, Errno(EACCES)};
  if (keep) {
    std::string bytes;
    char buffer[16384];
    for (;;) {
      const ssize_t n = ::read(fd.get(), buffer, sizeof buffer);
      if (n < 0 && errno == EINTR) continue;
      if (n < 0) return {RemoveStatus::Failed, LastError(), true};
      if (n == 0) break;
      bytes.append(buffer, static_cast<std::size_t>(n));
    }
    if (std::error_code error = keep(bytes)) return {RemoveStatus::Failed, error, true};
  }
  fd.Close();
  if (::unlink(native.c_str()) != 0) return {RemoveStatus::Failed, LastError()};
  return {RemoveStatus::Removed, {}};
}

FileInfo GetFileInfo(const std::wstring& path) {
  struct stat info {};
  if (::stat(NativePath(path).c_str(), &info) != 0) return {};
  return {true, S_ISDIR(info.st_mode), static_cast<std::uint64_t>(info.st_size),
          static_cast<std::int64_t>(info.st_mtim.tv_sec), !IsWritable(info)};
}

std::optional<FileIdentity> GetFileIdentity(const std::wstring& path) {
  struct stat info {};
  if (::stat(NativePath(path).c_str(), &info) != 0) return std::nullopt;
  return FileIdentity{static_cast<std::uint64_t>(info.st_dev), static_cast<std::uint64_t>(info.st_ino)};
}

// Sharing modes are Windows' own: a native program cannot see who holds a file.
std::optional<bool> IsFileInUse(const std::wstring&) { return std::nullopt; }

std::error_code MakeFolders(const std::wstring& path) {
  const std::string native = NativePath(path);
  for (std::size_t slash = native.find('/', 1);; slash = native.find('/', slash + 1)) {
    const std::string part = native.substr(0, slash);
    if (::mkdir(part.c_str(), 0755) != 0 && errno != EEXIST) return LastError();
    struct stat info {};
    if (::stat(part.c_str(), &info) != 0) return LastError();
    if (!S_ISDIR(info.st_mode)) return Errno(ENOTDIR);
    if (slash == std::string::npos) return {};
  }
}

std::vector<FolderEntry> ListFolder(const std::wstring& path, std::error_code& error) {
  std::vector<FolderEntry> entries;
  error.clear();
  const std::string native = NativePath(path);
  DIR* folder = ::opendir(native.c_str());
  if (!folder) {
    error = LastError();
    return entries;
  }
  while (const dirent* entry = ::readdir(folder)) {
    const std::string name = entry->d_name;
    if (name == "." || name == "..") continue;
    struct stat info {};
    const bool isFolder = ::stat((native + "/" + name).c_str(), &info) == 0 && S_ISDIR(info.st_mode);
    entries.push_back({Utf8ToWide(name), isFolder});
  }
  ::closedir(folder);
  return entries;
}

std::error_code RemoveTree(const std::wstring& path) {
  std::error_code error;
  std::filesystem::remove_all(NativePath(path), error);
  return error;
}

}  // namespace quenlow
