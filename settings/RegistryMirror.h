// RegistryMirror: the settings store bound to one mirror file.
//
// A mirror file holds the plugins' shared settings as pairs of lines, each key spelled like
// a registry value (key path, backslash, value name):
//
//   KEY:SOFTWARE\Quenlow Software\FX\DefaultRenderer
//   VAL:16
//   KEY:SOFTWARE\Quenlow Software\FX\DirectRenderer
//   VAL:1
//
// The plugins read and write the same files, so the store reads as they do (the Windows C
// library's text mode, 267 bytes at most per read, 1024 reads at most), with one
// difference: a UTF-8 byte-order mark at the start, which an editor may add, is skipped
// rather than read as part of the first line, and it is not written back. The store
// rewrites the file whole, with CR LF line ends, on Save or when it is destroyed after a
// change. A store that could not see the whole file never rewrites it: entries it did not
// read would otherwise be lost for every plugin. Nor does it write a file the readers could
// not read whole, or replace a file that another program changed after the store read it
// (it reads that file again and applies its own changes once more instead).
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <system_error>
#include <vector>

#include "platform/Files.h"

namespace quenlow {

// Why the last Save wrote nothing.
enum class MirrorSaveRefusal {
  None,
  NotReadWhole,  // the load left bytes unread or unreadable (or no path is bound)
  TooManyLines,  // the readers would not read the new content whole
  FileError,     // the file layer failed; see the error
};

struct MirrorSaveError {
  MirrorSaveRefusal refusal = MirrorSaveRefusal::None;
  std::error_code error;
  std::wstring keptTemporary;  // the only copy of the new content, when the file is gone
};

enum MirrorState : std::int32_t {
  MIRROR_UNBOUND = 0,  // no file bound
  MIRROR_BOUND = 1,    // bound, not yet loaded
  MIRROR_NO_FILE = 2,  // bound, but the file could not be read; the store is empty
  MIRROR_LOADED = 3,   // loaded from, or saved to, the file
};

class RegistryMirror {
 public:
  RegistryMirror() = default;
  RegistryMirror(const RegistryMirror&) = delete;
  RegistryMirror& operator=(const RegistryMirror&) = delete;
  ~RegistryMirror();

  // Binds to the file at `path` (UTF-8; null leaves the store unbound) and loads it.
  // Returns 0 only when the path does not contain the maker's guard word.
  int Open(const char* path, int readOnly);
  int Load();
  int Save();

  int GetText(const char* keyPath, const char* valueName, std::string& out, std::uint32_t maxLength);
  int SetText(const char* keyPath, const char* valueName, const char* text);
  int GetNumber(const char* keyPath, const char* valueName, std::uint32_t& out);
  int SetNumber(const char* keyPath, const char* valueName, std::uint32_t value);

  // Typed settings operations; in direct mode (never opened) reads go to the registry.
  int ReadDword(const char* keyPath, const char* valueName, std::uint32_t& out);
  int WriteDword(const char* keyPath, const char* valueName, std::uint32_t value);
  // Fills `buffer` (kDocumentsFolderBufferSize bytes) with the custom documents location.
  int ReadDocumentsFolder(char* buffer);

  // Binds to no file and loads `raw` as if it were the file's content: the parse, lookups
  // and writes run in memory, and SavedBytes tells what Save would write.
  void OpenBytes(std::string_view raw);
  // The bytes Save would write now, or nothing when it would refuse.
  [[nodiscard]] std::optional<std::string> SavedBytes(MirrorSaveRefusal* refusal = nullptr) const;

  const std::vector<std::string>& entries() const { return m_entries; }
  const MirrorSaveError& lastSaveError() const { return m_saveError; }
  // Why the file could not be read, when the last load failed.
  const std::error_code& loadError() const { return m_loadError; }
  std::int32_t state() const { return m_state; }
  bool loadWasIncomplete() const { return m_incomplete != 0; }

 private:
  int CheckState();
  // Position of the first key equal to keyPath + "\" + valueName, or npos.
  std::size_t FindKey(const char* keyPath, const char* valueName) const;
  void Adopt(std::string_view raw, bool complete);
  int Refuse(MirrorSaveRefusal refusal, std::error_code error = {}, std::wstring keptTemporary = {});

  // A value written since the last load, applied again when the file has to be reread.
  struct Write {
    std::string keyPath;
    std::string valueName;
    std::uint32_t value;
  };

  std::string m_path;
  std::vector<std::string> m_entries;
  std::int32_t m_state = MIRROR_BOUND;
  std::int32_t m_readOnly = 1;
  std::int32_t m_directMode = 1;
  std::int32_t m_changed = 0;
  // Set when the last load left bytes of the file unread or unreadable; Save then refuses.
  std::int32_t m_incomplete = 0;
  FileStamp m_stamp;  // of the file as loaded
  std::error_code m_loadError;
  std::vector<Write> m_writes;
  MirrorSaveError m_saveError;
};

// The most bytes of a mirror file that its readers can use: 1024 reads of 267 bytes, each
// byte at most two on disk (CR LF), after a byte-order mark, and a little to look past the
// last read. A longer file is never read whole, so nothing beyond this is read at all.
inline constexpr std::size_t kMirrorReadLimit = 3 + 2 * 267 * 1024 + 16;

// What one load of a mirror file's raw bytes yields.
struct MirrorContent {
  std::vector<std::string> entries;
  int reads = 0;
  bool complete = true;
};

// Reads raw file bytes the way the plugins do; shared by the store and its tests.
MirrorContent ParseMirrorBytes(std::string_view raw);

// The bytes Save writes for a list of entries.
std::string FormatMirrorBytes(const std::vector<std::string>& entries);

}  // namespace quenlow
