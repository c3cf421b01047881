// Backups that make resets undoable. Before a reset deletes a file it copies it, through
// the handle that then deletes it, into one backup folder for that reset:
//
//   <common documents>\Quenlow\FX\Backups\20261210-153000\System\Fx\Effects\Celluna.mru
//   <common documents>\Quenlow\FX\Backups\20261210-153000\manifest.json
//
// The file's path below "\Quenlow\FX\" is kept. The manifest is written last and whole, so
// a backup without one is known to be incomplete; the next reset removes it. The newest
// twenty backups are kept.
//
//   {"schemaVersion": 1, "time": "2026-12-10T15:30:00Z", "origin": "dialog",
//    "reset": "Celluna", "files": [{"path": "C:\\...\\Celluna.mru",
//    "backup": "System\\Fx\\Effects\\Celluna.mru", "size": 6, "sha256": "..."}]}
#pragma once

#include <cstdint>
#include <ctime>
#include <string>
#include <system_error>
#include <vector>

#include "maintenance/Resets.h"

namespace quenlow {

// Below the common documents folder.
inline constexpr const wchar_t* kBackupsFolder = L"\\Quenlow\\FX\\Backups";
inline constexpr const wchar_t* kBackupRoot = L"\\Quenlow\\FX\\";
inline constexpr const wchar_t* kManifestName = L"manifest.json";
constexpr std::size_t kBackupsKept = 20;

struct BackupEntry {
  std::wstring path;    // the original file
  std::wstring backup;  // relative to the backup folder
  std::uint64_t size = 0;
  std::string sha256;
};

// The backup of one reset, made as the reset goes. Hand Remover() to the reset; call
// Finish() when the reset is over, whether it finished or stopped.
class BackupSession {
 public:
  // origin: "dialog" or "command line"; reset: a family's name, or "all".
  BackupSession(std::wstring commonDocuments, std::string origin, std::string reset);
  BackupSession(const BackupSession&) = delete;
  BackupSession& operator=(const BackupSession&) = delete;

  // Probes, copies and deletes one file; the file stays when its copy cannot be made.
  FileRemover Remover();

  // Writes the manifest of what was copied (nothing when nothing was), then removes the
  // backups beyond the newest twenty. Returns the error when the manifest could not be
  // written.
  [[nodiscard]] std::error_code Finish();

  const std::wstring& folder() const { return m_folder; }
  const std::vector<BackupEntry>& entries() const { return m_entries; }

  // Tests fix the clock.
  void SetTimeForTesting(std::time_t now) { m_time = now; }

 private:
  std::error_code Keep(const std::wstring& path, const std::string& bytes);
  std::error_code StartFolder();

  std::wstring m_commonDocuments;
  std::string m_origin;
  std::string m_reset;
  std::time_t m_time;
  std::wstring m_folder;  // empty until the first file is kept
  std::vector<BackupEntry> m_entries;
};

// The backup folders below the common documents folder that have a manifest, newest first
// (their names sort by time).
std::vector<std::wstring> ListBackupIds(const std::wstring& commonDocuments);

// A JSON string literal for UTF-8 text.
std::string JsonQuote(const std::string& text);

}  // namespace quenlow
