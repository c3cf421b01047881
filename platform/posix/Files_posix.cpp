// POSIX implementation of the file seam, used by the native build and its tests.
#include "platform/Files.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>

#include "platform/TextConvert.h"

namespace quenlow {
namespace {

std::string NativePath(const std::wstring& path) {
  std::string native = WideToUtf8(path);
  std::replace(native.begin(), native.end(), '\\', '/');
  return native;
}

std::error_code LastError() { return {errno, std::generic_category()}; }

// Closes a descriptor on every path out of a function.
class Descriptor {
 public:
  explicit Descriptor(int fd) : m_fd(fd) {}
  Descriptor(const Descriptor&) = delete;
  Descriptor& operator=(const Descriptor&) = delete;
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

bool WriteAll(int fd, std::string_view bytes) {
  while (!bytes.empty()) {
    ssize_t written = ::write(fd, bytes.data(), bytes.size());
    if (written < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    bytes.remove_prefix(static_cast<std::size_t>(written));
  }
  return true;
}

}  // namespace

bool PathExists(const std::wstring& path) noexcept {
  try {
    struct stat info {};
    return ::stat(NativePath(path).c_str(), &info) == 0;
  } catch (...) {  // only allocation can fail here; an unusable path is an absent one
    return false;
  }
}

FileBytes ReadFileBytes(const std::wstring& path) {
  FileBytes result;
  Descriptor fd(::open(NativePath(path).c_str(), O_RDONLY | O_CLOEXEC));
  if (!fd.valid()) {
    result.error = LastError();
    result.status = (errno == ENOENT || errno == ENOTDIR) ? ReadStatus::NotFound : ReadStatus::Failed;
    return result;
  }
  // Read in one go when the size is known; a file that grows meanwhile is read to its end.
  struct stat info {};
  std::size_t capacity = ::fstat(fd.get(), &info) == 0 && info.st_size > 0 ? static_cast<std::size_t>(info.st_size) + 1 : 16384;
  std::size_t used = 0;
  for (;;) {
    result.bytes.resize(capacity);
    ssize_t n = ::read(fd.get(), result.bytes.data() + used, capacity - used);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) {
      result.error = LastError();
      result.status = ReadStatus::Failed;
      result.bytes.clear();
      return result;
    }
    if (n == 0) break;
    used += static_cast<std::size_t>(n);
    if (used == capacity) capacity *= 2;
  }
  result.bytes.resize(used);
  result.status = ReadStatus::Ok;
  return result;
}

std::error_code ReplaceFileBytes(const std::wstring& path, std::string_view bytes) {
  const std::string target = NativePath(path);
  const std::string temporary = target + "." + std::to_string(::getpid()) + ".tmp";
  mode_t mode = 0644;
  struct stat info {};
  if (::stat(target.c_str(), &info) == 0) mode = info.st_mode & 07777;

  Descriptor fd(::open(temporary.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, mode));
  if (!fd.valid()) return LastError();
  std::error_code error;
  if (!WriteAll(fd.get(), bytes) || ::fsync(fd.get()) != 0) error = LastError();
  if (fd.Close() != 0 && !error) error = LastError();
  if (!error && ::rename(temporary.c_str(), target.c_str()) != 0) error = LastError();
  if (error) ::unlink(temporary.c_str());
  return error;
}

RemoveResult ProbeAndDeleteFile(const std::wstring& path) {
  const std::string native = NativePath(path);
  Descriptor fd(::open(native.c_str(), O_RDONLY | O_CLOEXEC));
  if (!fd.valid()) return {RemoveStatus::Skipped, LastError()};
  struct stat info {};
  // Windows cannot open a folder as a file, so a folder of that name is skipped there too.
  if (::fstat(fd.get(), &info) != 0 || !S_ISREG(info.st_mode)) return {RemoveStatus::Skipped, {}};
  fd.Close();
  if (::unlink(native.c_str()) != 0) return {RemoveStatus::Failed, LastError()};
  return {RemoveStatus::Removed, {}};
}

}  // namespace quenlow
