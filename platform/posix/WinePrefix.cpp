#include "platform/posix/WinePrefix.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <locale>
#include <stdexcept>
#include <fstream>
#include <map>
#include <mutex>
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

std::string MatchComponent(const std::string& folder, const std::string& name) {
  if (Exists(folder + "/" + name)) return name;
  DIR* listing = ::opendir(folder.c_str());
  if (!listing) return name;
  const std::wstring wanted = Folded(name);
  std::string match = name;
  while (const dirent* entry = ::readdir(listing)) {
    if (Folded(entry->d_name) == wanted) {
      match = entry->d_name;
      break;
    }
  }
  ::closedir(listing);
  return match;
}

std::string Lower(std::string text) {
  for (char& c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return text;
}

// One registry file: lower-case key path -> lower-case value name -> string value.
using Keys = std::map<std::string, std::map<std::string, std::string>>;

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
          value = value * 16 + static_cast<unsigned>(std::isdigit(static_cast<unsigned char>(h)) ? h - '0'
                                                                                                  : std::tolower(h) - 'a' + 10);
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

Keys ParseRegistry(const std::string& path) {
  Keys keys;
  std::ifstream in(path, std::ios::binary);
  std::string line, pending;
  std::map<std::string, std::string>* current = nullptr;
  while (std::getline(in, line)) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    // A long line goes on after a trailing backslash.
    if (!line.empty() && line.back() == '\\') {
      line.pop_back();
      pending += line;
      continue;
    }
    if (!pending.empty()) {
      std::size_t start = line.find_first_not_of(" \t");
      line = pending + (start == std::string::npos ? std::string() : line.substr(start));
      pending.clear();
    }
    if (line.empty()) continue;
    if (line[0] == '[') {
      // "[Software\\Microsoft\\Windows] 1700000000": the key, its backslashes doubled.
      const std::size_t close = line.rfind(']');
      if (close == std::string::npos) continue;
      std::string key;
      for (std::size_t i = 1; i < close; ++i) {
        if (line[i] == '\\' && i + 1 < close && line[i + 1] == '\\') ++i;
        key += line[i];
      }
      current = &keys[Lower(key)];
      continue;
    }
    if (!current || (line[0] != '"' && line[0] != '@')) continue;
    std::size_t at = 0;
    std::string name;
    if (line[0] == '@') {
      at = 1;
    } else {
      std::optional<std::string> quoted = Unquote(line, at);
      if (!quoted) continue;
      name = *quoted;
    }
    if (at >= line.size() || line[at] != '=') continue;
    ++at;
    if (line.compare(at, 7, "str(2):") == 0) at += 7;  // REG_EXPAND_SZ: taken as written
    if (std::optional<std::string> value = Unquote(line, at)) (*current)[Lower(name)] = *value;
  }
  return keys;
}

const Keys& RegistryOf(const std::string& path) {
  static std::mutex lock;
  static std::map<std::string, Keys> parsed;
  std::lock_guard<std::mutex> guard(lock);
  auto found = parsed.find(path);
  if (found == parsed.end()) found = parsed.emplace(path, ParseRegistry(path)).first;
  return found->second;
}

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

void UsePrefix(const std::string& folder) { g_prefix = folder; }
const std::string& CurrentPrefix() { return g_prefix; }

std::string MapWindowsPath(const std::string& windowsPath) {
  if (windowsPath.size() < 2 || !std::isalpha(static_cast<unsigned char>(windowsPath[0])) || windowsPath[1] != ':')
    return windowsPath;
  std::string native = g_prefix + "/dosdevices/" + static_cast<char>(std::tolower(windowsPath[0])) + ":";
  if (!Exists(native)) return {};  // a drive the prefix does not map: nothing is there
  bool matching = true;
  std::size_t start = 2;
  while (start < windowsPath.size()) {
    std::size_t end = windowsPath.find_first_of("\\/", start);
    if (end == std::string::npos) end = windowsPath.size();
    const std::string component = windowsPath.substr(start, end - start);
    start = end + 1;
    if (component.empty() || component == ".") continue;
    // Below a component that is not there, nothing is: names stay as written.
    const std::string name = matching ? MatchComponent(native, component) : component;
    native += "/" + name;
    matching = matching && Exists(native);
  }
  return native;
}

std::optional<std::string> ReadRegistryString(const std::string& file, const std::string& key,
                                              const std::string& name) {
  if (g_prefix.empty()) return std::nullopt;
  const Keys& keys = RegistryOf(g_prefix + "/" + file);
  const auto found = keys.find(Lower(key));
  if (found == keys.end()) return std::nullopt;
  const auto value = found->second.find(Lower(name));
  if (value == found->second.end()) return std::nullopt;
  return value->second;
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
