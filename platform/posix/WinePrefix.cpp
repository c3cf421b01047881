#include "platform/posix/WinePrefix.h"

#include <dirent.h>
#include <fcntl.h>
#include <strings.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cctype>
#include <cstdio>
#include <cstring>
#include <cstdlib>
#include <locale>
#include <stdexcept>
#include <fstream>
#include <map>
#include <iterator>
#include <mutex>
#include <string_view>
#include <vector>

#include "platform/TextConvert.h"

namespace quenlow::wine {
namespace {

std::string g_prefix;

bool Exists(const std::string& path) {
  struct stat info {};
  return ::lstat(path.c_str(), &info) == 0;
}

// Names compared as Wine compares them: letter case ignored, beyond ASCII too. The case
// tables come from the C.UTF-8 locale (in every glibc), whatever the process's locale.
std::wstring Folded(const std::string& utf8) {
  static const std::locale unicode = [] {
    try {
      return std::locale("C.UTF-8");
    } catch (const std::runtime_error&) {
      return std::locale::classic();
    }
  }();
  static const auto& ctype = std::use_facet<std::ctype<wchar_t>>(unicode);
  std::wstring wide = Utf8ToWide(utf8);
  ctype.tolower(wide.data(), wide.data() + wide.size());
  return wide;
}

// The names in a folder, by their letter-case-folded form, read once per process: mapping
// paths asks about the same few folders many times. A name created or removed later by
// this process is still right: what is not listed keeps the spelling it was given.
struct FolderIndex {
  bool exists = false;
  std::map<std::wstring, std::string> names;  // folded -> as on disk
};

std::mutex g_indexLock;
std::map<std::string, FolderIndex> g_indexes;

const FolderIndex& IndexOf(const std::string& folder) {
  std::lock_guard<std::mutex> guard(g_indexLock);
  auto& indexes = g_indexes;
  auto found = indexes.find(folder);
  if (found != indexes.end()) return found->second;
  FolderIndex index;
  if (DIR* listing = ::opendir(folder.c_str())) {
    index.exists = true;
    while (const dirent* entry = ::readdir(listing)) index.names.emplace(Folded(entry->d_name), entry->d_name);
    ::closedir(listing);
  }
  return indexes.emplace(folder, std::move(index)).first->second;
}

// The name on disk of `name` in `folder`, ignoring letter case; nothing when it is not there.
std::optional<std::string> MatchComponent(const std::string& folder, const std::string& name) {
  const FolderIndex& index = IndexOf(folder);
  const auto found = index.names.find(Folded(name));
  if (found == index.names.end()) return std::nullopt;
  return found->second;
}

// A quoted string of the registry format from `at` (on its opening quote); `at` ends past
// the closing quote. Non-ASCII text is written as \x escapes of UTF-16 code units.
std::optional<std::string> Unquote(const std::string& line, std::size_t& at) {
  if (at >= line.size() || line[at] != '"') return std::nullopt;
  std::u16string units;
  for (++at; at < line.size(); ++at) {
    char c = line[at];
    if (c == '"') {
      ++at;
      std::wstring wide(units.begin(), units.end());
      // Pairs of surrogates become one code point where wchar_t is 32-bit.
      std::wstring joined;
      for (std::size_t i = 0; i < wide.size(); ++i) {
        const unsigned high = static_cast<unsigned>(wide[i]);
        if (high >= 0xD800 && high < 0xDC00 && i + 1 < wide.size()) {
          const unsigned low = static_cast<unsigned>(wide[i + 1]);
          if (low >= 0xDC00 && low < 0xE000) {
            joined += static_cast<wchar_t>(0x10000 + ((high - 0xD800) << 10) + (low - 0xDC00));
            ++i;
            continue;
          }
        }
        joined += wide[i];
      }
      return WideToUtf8(joined);
    }
    if (c != '\\' || at + 1 >= line.size()) {
      units += static_cast<char16_t>(static_cast<unsigned char>(c));
      continue;
    }
    c = line[++at];
    switch (c) {
      case 'n': units += u'\n'; break;
      case 'r': units += u'\r'; break;
      case 't': units += u'\t'; break;
      case '0': units += u'\0'; break;
      case 'x': {
        unsigned value = 0;
        int digits = 0;
        while (digits < 4 && at + 1 < line.size() && std::isxdigit(static_cast<unsigned char>(line[at + 1]))) {
          const char h = line[++at];
          value = value * 16 + static_cast<unsigned>(
                                   std::isdigit(static_cast<unsigned char>(h)) ? h - '0' : std::tolower(h) - 'a' + 10);
          ++digits;
        }
        units += static_cast<char16_t>(value);
        break;
      }
      default: units += static_cast<char16_t>(static_cast<unsigned char>(c)); break;  // \\ and \"
    }
  }
  return std::nullopt;
}

// A prefix's system.reg runs to megabytes and tens of thousands of keys, of which the
// program wants a handful: the file is read once, and only the sections asked for are
// parsed.
bool EqualIgnoringCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i)
    if (std::tolower(static_cast<unsigned char>(a[i])) != std::tolower(static_cast<unsigned char>(b[i]))) return false;
  return true;
}

// The lines of one section of a registry file ("[key] timestamp" up to the next section),
// joined where a line goes on after a trailing backslash. A prefix's system.reg runs to
// megabytes and tens of thousands of keys, of which the program wants a handful: the file
// streams through a small buffer (a buffer the size of the file costs more in page faults
// than the copying it saves), and lines outside the section are never copied.
std::string LowerKey(std::string key) {
  for (char& c : key) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return key;
}

using Sections = std::map<std::string, std::vector<std::string>>;  // lower-case key -> lines

// Reads the sections of these keys in one pass; a key without a section gets no lines.
Sections ReadSections(const std::string& path, const std::vector<std::string>& keys) {
  // As written in the file: at the start of a line, backslashes doubled.
  std::vector<std::string> headers;
  Sections sections;
  for (const std::string& key : keys) {
    std::string header = "[";
    for (char c : key) header += c == '\\' ? std::string("\\\\") : std::string(1, c);
    headers.push_back(header + "]");
    sections[LowerKey(key)];
  }
  std::FILE* file = std::fopen(path.c_str(), "rb");
  if (!file) return sections;
  char buffer[1 << 16];
  std::string partial;    // a line cut by the end of the buffer
  bool skipping = false;  // the cut line is one to skip
  std::vector<std::string>* inside = nullptr;
  std::size_t found = 0;
  std::string pending;
  auto take = [&](std::string_view content) {
    if (!content.empty() && content.back() == '\r') content.remove_suffix(1);
    if (!content.empty() && content[0] == '[') {
      inside = nullptr;
      for (std::size_t i = 0; i < headers.size(); ++i)
        if (content.size() >= headers[i].size() &&
            ::strncasecmp(content.data(), headers[i].data(), headers[i].size()) == 0) {
          inside = &sections[LowerKey(keys[i])];
          ++found;
        }
      return;
    }
    if (!inside) return;
    if (!content.empty() && content.back() == '\\') {
      content.remove_suffix(1);
      pending += content;
      return;
    }
    std::string line = pending;
    if (!pending.empty()) {
      const std::size_t start = content.find_first_not_of(" \t");
      if (start != std::string_view::npos) line += content.substr(start);
    } else {
      line = std::string(content);
    }
    pending.clear();
    inside->push_back(std::move(line));
  };
  // Done once every section was found and the last one has ended.
  auto done = [&] { return found == keys.size() && !inside; };
  for (std::size_t read; !done() && (read = std::fread(buffer, 1, sizeof buffer, file)) > 0;) {
    std::size_t at = 0;
    while (at < read && !done()) {
      const void* newline = std::memchr(buffer + at, '\n', read - at);
      const std::size_t end = newline ? static_cast<std::size_t>(static_cast<const char*>(newline) - buffer) : read;
      const bool starts = partial.empty() && !skipping;
      // Only a section header, or a line of a wanted section, is looked at.
      const bool wanted = starts ? (inside || buffer[at] == '[') : !skipping;
      if (!newline) {
        if (wanted) partial.append(buffer + at, end - at);
        skipping = !wanted;
        break;
      }
      if (wanted) {
        if (partial.empty()) {
          take(std::string_view(buffer + at, end - at));
        } else {
          partial.append(buffer + at, end - at);
          take(partial);
        }
      }
      partial.clear();
      skipping = false;
      at = end + 1;
    }
  }
  if (!partial.empty()) take(partial);
  std::fclose(file);
  return sections;
}

std::mutex g_sectionLock;
std::map<std::string, Sections> g_sections;  // file -> what was read of it

const std::vector<std::string>& SectionLines(const std::string& path, const std::string& key) {
  std::lock_guard<std::mutex> guard(g_sectionLock);
  Sections& known = g_sections[path];
  auto found = known.find(LowerKey(key));
  if (found != known.end()) return found->second;
  for (auto& [name, lines] : ReadSections(path, {key})) known[name] = std::move(lines);
  return known[LowerKey(key)];
}

}  // namespace

void PreloadRegistryKeys(const std::string& file, const std::vector<std::string>& keys) {
  if (g_prefix.empty()) return;
  const std::string path = g_prefix + "/" + file;
  std::lock_guard<std::mutex> guard(g_sectionLock);
  for (auto& [name, lines] : ReadSections(path, keys)) g_sections[path][name] = std::move(lines);
}

namespace {

bool HoldsLock(const std::string& path) {
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return false;
  struct flock probe {};
  probe.l_type = F_WRLCK;
  probe.l_whence = SEEK_SET;
  const bool locked = ::fcntl(fd, F_GETLK, &probe) == 0 && probe.l_type != F_UNLCK;
  ::close(fd);
  return locked;
}

}  // namespace

bool IsWinePrefix(const std::string& folder) {
  struct stat info {};
  return ::stat((folder + "/system.reg").c_str(), &info) == 0 && S_ISREG(info.st_mode) &&
         ::stat((folder + "/dosdevices").c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

void UsePrefix(const std::string& folder) {
  g_prefix = folder;
  // What was read before belongs to an earlier command.
  {
    std::lock_guard<std::mutex> guard(g_indexLock);
    g_indexes.clear();
  }
  std::lock_guard<std::mutex> guard(g_sectionLock);
  g_sections.clear();
}
const std::string& CurrentPrefix() { return g_prefix; }

std::string MapWindowsPath(const std::string& windowsPath) {
  if (windowsPath.size() < 2 || !std::isalpha(static_cast<unsigned char>(windowsPath[0])) || windowsPath[1] != ':')
    return windowsPath;
  std::string native = g_prefix + "/dosdevices/" + static_cast<char>(std::tolower(windowsPath[0])) + ":";
  if (!Exists(native)) return {};  // a drive the prefix does not map: nothing is there
  // Most names are stored as the program spells them: one look settles those.
  std::string exact = native;
  for (std::size_t at = 2; at < windowsPath.size();) {
    std::size_t end = windowsPath.find_first_of("\\/", at);
    if (end == std::string::npos) end = windowsPath.size();
    if (end > at && windowsPath.compare(at, end - at, ".") != 0) exact += "/" + windowsPath.substr(at, end - at);
    at = end + 1;
  }
  if (Exists(exact)) return exact;
  bool matching = true;
  std::size_t start = 2;
  while (start < windowsPath.size()) {
    std::size_t end = windowsPath.find_first_of("\\/", start);
    if (end == std::string::npos) end = windowsPath.size();
    const std::string component = windowsPath.substr(start, end - start);
    start = end + 1;
    if (component.empty() || component == ".") continue;
    // Below a component that is not there, nothing is: names stay as written.
    const std::optional<std::string> onDisk = matching ? MatchComponent(native, component) : std::nullopt;
    matching = onDisk.has_value();
    native += "/" + (onDisk ? *onDisk : component);
  }
  return native;
}

std::optional<std::string> ReadRegistryString(const std::string& file, const std::string& key,
                                              const std::string& name) {
  if (g_prefix.empty()) return std::nullopt;
  for (const std::string& line : SectionLines(g_prefix + "/" + file, key)) {
    if (line.empty() || (line[0] != '"' && line[0] != '@')) continue;
    std::size_t at = 0;
    std::string valueName;
    if (line[0] == '@') {
      at = 1;
    } else {
      std::optional<std::string> quoted = Unquote(line, at);
      if (!quoted) continue;
      valueName = *quoted;
    }
    if (!EqualIgnoringCase(valueName, name) || at >= line.size() || line[at] != '=') continue;
    ++at;
    if (line.compare(at, 7, "str(2):") == 0) at += 7;  // REG_EXPAND_SZ: taken as written
    return Unquote(line, at);
  }
  return std::nullopt;
}

bool IsServerRunning(const std::string& prefix) {
  struct stat info {};
  if (::stat(prefix.c_str(), &info) != 0) return false;
  char server[64];
  std::snprintf(server, sizeof server, "server-%llx-%llx", static_cast<unsigned long long>(info.st_dev),
                static_cast<unsigned long long>(info.st_ino));
  std::vector<std::string> candidates;
  // Debian's Wine names its folder in the temporary directory in the prefix's "wineserver".
  std::ifstream named(prefix + "/wineserver");
  std::string folder;
  const char* temporary = std::getenv("TMPDIR");
  const std::string tmp = temporary && *temporary ? temporary : "/tmp";
  if (std::getline(named, folder) && !folder.empty())
    candidates.push_back((folder[0] == '/' ? folder : tmp + "/" + folder) + "/" + server + "/lock");
  // Upstream Wine: /tmp/.wine-<uid>.
  candidates.push_back("/tmp/.wine-" + std::to_string(::getuid()) + "/" + server + "/lock");
  for (const std::string& lock : candidates)
    if (HoldsLock(lock)) return true;
  return false;
}

}  // namespace quenlow::wine
