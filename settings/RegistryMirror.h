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
// The plugins read and write the same files, so the store reads exactly as they do (the
// Windows C library's text mode, 267 bytes at most per read, 1024 reads at most) and
// rewrites the file whole, with CR LF line ends, when it is destroyed after a change.
// A store that could not see the whole file never rewrites it: entries it did not read
// would otherwise be lost for every plugin.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace quenlow {

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

  const std::vector<std::string>& entries() const { return m_entries; }
  std::int32_t state() const { return m_state; }
  bool loadWasIncomplete() const { return m_incomplete != 0; }

 private:
  int CheckState();
  // Position of the first key equal to keyPath + "\" + valueName, or npos.
  std::size_t FindKey(const char* keyPath, const char* valueName) const;

  std::string m_path;
  std::vector<std::string> m_entries;
  std::int32_t m_state = MIRROR_BOUND;
  std::int32_t m_readOnly = 1;
  std::int32_t m_directMode = 1;
  std::int32_t m_changed = 0;
  // Set when the last load left bytes of the file unread or unreadable; Save then refuses.
  std::int32_t m_incomplete = 0;
};

// What one load of a mirror file's raw bytes yields.
struct MirrorContent {
  std::vector<std::string> entries;
  int reads = 0;
  bool complete = true;
};

// Reads raw file bytes the way the plugins do; shared by the store and its tests.
MirrorContent ParseMirrorBytes(const std::string& raw);

// The bytes Save writes for a list of entries.
std::string FormatMirrorBytes(const std::vector<std::string>& entries);

}  // namespace quenlow
