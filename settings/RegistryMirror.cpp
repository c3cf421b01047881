#include "settings/RegistryMirror.h"

#include <algorithm>
#include <cstring>
#include <string_view>

#include "platform/Files.h"
#include "platform/Registry.h"
#include "platform/TextConvert.h"
#include "settings/NumberText.h"

namespace quenlow {
namespace {

// fgets into a 268-byte buffer: at most 267 bytes per read.
constexpr std::size_t kReadSize = 267;
constexpr int kMaxReads = 1024;
constexpr std::uint32_t kNumberMaxLength = 1024;
constexpr char kCtrlZ = '\x1A';
constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";
constexpr std::string_view kKeyPrefix = "KEY:";
constexpr std::string_view kValuePrefix = "VAL:";

bool StartsWith(std::string_view text, std::string_view prefix) { return text.substr(0, prefix.size()) == prefix; }

// Only files whose path carries the maker's word are ever bound, so a whole-file rewrite
// can never hit a file of someone else's.
bool PassesGuardWord(const char* path) {
  std::string upper(path);
  for (char& c : upper)
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  return upper.find("QUENLOW") != std::string::npos;
}

// The stream a Windows C library text-mode reader sees: CR LF arrives as LF, and a Ctrl-Z
// ends the stream. Returns false when bytes after a Ctrl-Z were dropped.
bool TranslateTextMode(std::string_view raw, std::string& text) {
  const std::size_t ctrlZ = raw.find(kCtrlZ);
  const bool complete = ctrlZ == std::string_view::npos || ctrlZ + 1 == raw.size();
  if (ctrlZ != std::string_view::npos) raw = raw.substr(0, ctrlZ);
  text.clear();
  text.reserve(raw.size());
  // Copy the runs between CRs whole; only a CR right before an LF is dropped.
  std::size_t start = 0;
  for (std::size_t cr = raw.find('\r'); cr != std::string_view::npos; cr = raw.find('\r', cr + 1)) {
    if (cr + 1 < raw.size() && raw[cr + 1] == '\n') {
      text.append(raw.data() + start, cr - start);
      start = cr + 1;
    }
  }
  text.append(raw.data() + start, raw.size() - start);
  return complete;
}

// Where a line's text ends: at its first CR, LF or NUL (the reader works on C strings).
std::size_t LineTextEnd(std::string_view line) {
  std::size_t end = line.size();
  for (char stop : {'\n', '\r', '\0'})
    if (const void* found = std::memchr(line.data(), stop, end))
      end = static_cast<std::size_t>(static_cast<const char*>(found) - line.data());
  return end;
}

}  // namespace

MirrorContent ParseMirrorBytes(std::string_view raw) {
  MirrorContent content;
  std::string_view bytes = raw;
  if (StartsWith(bytes, kByteOrderMark)) bytes.remove_prefix(kByteOrderMark.size());
  std::string text;
  content.complete = TranslateTextMode(bytes, text);
  // Lines are rarely shorter than 16 bytes.
  content.entries.reserve(std::min<std::size_t>(text.size() / 16 + 1, 2 * kMaxReads));
  // Most files hold no CR or NUL after translation; then every line ends at its LF.
  const bool plainLines = text.find('\r') == std::string::npos && text.find('\0') == std::string::npos;

  bool expectValue = false;
  std::size_t pos = 0;
  while (pos < text.size() && content.reads < kMaxReads) {
    const std::size_t limit = std::min(pos + kReadSize, text.size());
    const void* lineFeed = std::memchr(text.data() + pos, '\n', limit - pos);
    const std::size_t pieceEnd =
        lineFeed ? static_cast<std::size_t>(static_cast<const char*>(lineFeed) - text.data()) + 1 : limit;
    std::string_view line(text.data() + pos, pieceEnd - pos);
    pos = pieceEnd;
    // A full read that stops short of its line end leaves the rest of the line to the next
    // read, which treats it as a line of its own.
    if (line.back() != '\n' && pos < text.size() && text[pos] != '\n') content.complete = false;
    if (plainLines) {
      if (line.back() == '\n') line.remove_suffix(1);
    } else {
      // Whatever follows the cut, other than the line end itself, is lost: a lone CR or a NUL.
      const std::size_t cut = LineTextEnd(line);
      for (std::size_t i = cut; i < line.size(); ++i)
        if (line[i] != '\r' && line[i] != '\n') content.complete = false;
      line = line.substr(0, cut);
    }

    if (!expectValue) {
      if (StartsWith(line, kKeyPrefix)) {
        content.entries.emplace_back(line.substr(kKeyPrefix.size()));
        expectValue = true;
      }
    } else if (StartsWith(line, kValuePrefix)) {
      content.entries.emplace_back(line.substr(kValuePrefix.size()));
      expectValue = false;
    } else if (StartsWith(line, kKeyPrefix)) {
      // A key straight after a key: the waiting key gets the prefix itself as its value.
      content.entries.emplace_back(kValuePrefix);
      content.entries.emplace_back(line.substr(kKeyPrefix.size()));
    }
    ++content.reads;
  }
  if (pos < text.size()) content.complete = false;
  return content;
}

std::string FormatMirrorBytes(const std::vector<std::string>& entries) {
  std::string bytes;
  std::size_t size = 0;
  for (const std::string& entry : entries) size += entry.size() + kKeyPrefix.size() + 2;
  bytes.reserve(size);
  for (std::size_t i = 0; i < entries.size(); ++i) {
    bytes += (i % 2 == 0) ? kKeyPrefix : kValuePrefix;
    bytes += entries[i];
    bytes += "\r\n";
  }
  return bytes;
}

RegistryMirror::~RegistryMirror() {
  // A destructor cannot report anything: whatever goes wrong here leaves the file as it was.
  try {
    if (m_changed && m_state != MIRROR_UNBOUND) (void)Save();
  } catch (...) {
  }
}

int RegistryMirror::Open(const char* path, int readOnly) {
  m_path.clear();
  m_entries.clear();
  m_writes.clear();
  m_state = MIRROR_UNBOUND;
  m_readOnly = 1;
  m_changed = 0;
  m_directMode = 0;
  m_incomplete = 0;
  if (!path) return 1;
  if (!PassesGuardWord(path)) return 0;
  m_path = path;
  m_state = MIRROR_BOUND;
  m_readOnly = readOnly;
  (void)Load();
  return 1;
}

void RegistryMirror::OpenBytes(std::string_view raw) {
  (void)Open(nullptr, 0);
  m_readOnly = 0;
  Adopt(raw, true);
}

void RegistryMirror::Adopt(std::string_view raw, bool complete) {
  MirrorContent content = ParseMirrorBytes(raw);
  m_entries = std::move(content.entries);
  m_incomplete = !(complete && content.complete);
  m_state = MIRROR_LOADED;
  m_changed = 0;
}

int RegistryMirror::Load() {
  if (m_state == MIRROR_UNBOUND) return 0;
  if (m_state == MIRROR_NO_FILE || m_state == MIRROR_LOADED) return 1;
  FileBytes file = ReadFileBytes(Utf8ToWide(m_path), kMirrorReadLimit);
  m_stamp = file.stamp;
  m_loadError = file.status == ReadStatus::Failed ? file.error : std::error_code();
  if (file.status != ReadStatus::Ok) {
    m_entries.clear();
    m_state = MIRROR_NO_FILE;
    // Only a file that is not there is an empty store; one that is there but could not be
    // read must not be replaced by an empty one.
    m_incomplete = file.status == ReadStatus::Failed;
    return 1;
  }
  Adopt(file.bytes, !file.truncated);
  return 1;
}

std::optional<std::string> RegistryMirror::SavedBytes(MirrorSaveRefusal* refusal) const {
  auto refuse = [refusal](MirrorSaveRefusal why) {
    if (refusal) *refusal = why;
    return std::nullopt;
  };
  if (m_state == MIRROR_UNBOUND || m_incomplete) return refuse(MirrorSaveRefusal::NotReadWhole);
  std::string bytes = FormatMirrorBytes(m_entries);
  // A file the readers would not read whole (more than 1024 lines) would lose its last
  // entries for every plugin; it is not written.
  if (ParseMirrorBytes(bytes).entries != m_entries) return refuse(MirrorSaveRefusal::TooManyLines);
  if (refusal) *refusal = MirrorSaveRefusal::None;
  return bytes;
}

int RegistryMirror::Refuse(MirrorSaveRefusal refusal, std::error_code error, std::wstring keptTemporary) {
  m_saveError = {refusal, error, std::move(keptTemporary)};
  // The changes have had their save; the destructor does not try the same one again.
  m_changed = 0;
  return 0;
}

int RegistryMirror::Save() {
  m_saveError = {};
  if (m_readOnly) return 1;
  if (m_path.empty()) return Refuse(MirrorSaveRefusal::NotReadWhole);
  const std::wstring path = Utf8ToWide(m_path);
  // A plugin that rewrote the file since it was read gets its content kept: the file is
  // read again and this store's own writes go on top of it, once.
  for (int attempt = 0;; ++attempt) {
    MirrorSaveRefusal refusal = MirrorSaveRefusal::None;
    std::optional<std::string> bytes = SavedBytes(&refusal);
    if (!bytes) return Refuse(refusal);
    ReplaceResult replaced = ReplaceFileBytes(path, *bytes, &m_stamp);
    if (!replaced) break;
    if (replaced.error != FileError::ChangedSinceRead || attempt > 0)
      return Refuse(MirrorSaveRefusal::FileError, replaced.error, std::move(replaced.keptTemporary));
    std::vector<Write> writes = std::move(m_writes);
    m_state = MIRROR_BOUND;
    (void)Load();
    for (const Write& write : writes) (void)WriteDword(write.keyPath.c_str(), write.valueName.c_str(), write.value);
  }
  m_state = MIRROR_LOADED;
  m_stamp = FileStamp{};
  m_changed = 0;
  m_writes.clear();
  return 1;
}

int RegistryMirror::CheckState() {
  if (m_directMode) return 1;
  if (m_state == MIRROR_UNBOUND) return 0;
  if (m_state == MIRROR_BOUND) return Load();
  return 1;
}

std::size_t RegistryMirror::FindKey(const char* keyPath, const char* valueName) const {
  std::string key = keyPath;
  key += '\\';
  key += valueName;
  for (std::size_t i = 0; i < m_entries.size(); i += 2)
    if (m_entries[i] == key) return i;
  return std::string::npos;
}

int RegistryMirror::GetText(const char* keyPath, const char* valueName, std::string& out, std::uint32_t maxLength) {
  if (!keyPath || !valueName || !CheckState()) return 0;
  std::size_t i = FindKey(keyPath, valueName);
  if (i == std::string::npos || i + 1 >= m_entries.size()) return 0;
  const std::string& value = m_entries[i + 1];
  if (value.size() >= maxLength) return 0;
  out = value;
  return 1;
}

int RegistryMirror::SetText(const char* keyPath, const char* valueName, const char* text) {
  if (!keyPath || !valueName || !text || !CheckState()) return 0;
  std::size_t i = FindKey(keyPath, valueName);
  if (i != std::string::npos && i + 1 < m_entries.size()) {
    m_entries[i + 1] = text;
  } else if (i != std::string::npos) {
    m_entries.emplace_back(text);  // the dangling last key itself gets its value
  } else {
    std::string key = std::string(keyPath) + '\\' + valueName;
    // A dangling last key must stay last and alone, or every later pair would swap its
    // key and value positions; new pairs go in front of it.
    auto at = m_entries.size() % 2 == 1 ? m_entries.end() - 1 : m_entries.end();
    at = m_entries.insert(at, std::move(key));
    m_entries.insert(at + 1, text);
  }
  return 1;
}

int RegistryMirror::GetNumber(const char* keyPath, const char* valueName, std::uint32_t& out) {
  if (!CheckState()) return 0;
  std::string text;
  if (!GetText(keyPath, valueName, text, kNumberMaxLength)) return 0;
  out = ParseUnsigned32(text.c_str());
  return 1;
}

int RegistryMirror::SetNumber(const char* keyPath, const char* valueName, std::uint32_t value) {
  if (m_readOnly || !CheckState()) return 0;
  std::string text = FormatUnsigned32(value);
  if (m_readOnly) return 0;
  return SetText(keyPath, valueName, text.c_str());
}

int RegistryMirror::ReadDword(const char* keyPath, const char* valueName, std::uint32_t& out) {
  if (m_directMode) return RegReadDword(keyPath, valueName, &out);
  return GetNumber(keyPath, valueName, out);
}

int RegistryMirror::WriteDword(const char* keyPath, const char* valueName, std::uint32_t value) {
  if (!keyPath || !valueName || m_readOnly) return 0;
  int result = SetNumber(keyPath, valueName, value);
  if (result) {
    m_changed = 1;
    m_writes.push_back({keyPath, valueName, value});
  }
  return result;
}

int RegistryMirror::ReadDocumentsFolder(char* buffer) {
  if (!buffer) return 0;
  if (m_directMode) return RegReadDocumentsFolder(buffer);
  if (!CheckState()) return 0;
  std::string value;
  if (!GetText(kGeneralKey, kDocumentsValue, value, kDocumentsFolderBufferSize)) return 0;
  std::memset(buffer, 0, kDocumentsFolderBufferSize);
  std::memcpy(buffer, value.data(), value.size());
  return 1;
}

}  // namespace quenlow
