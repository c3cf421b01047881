#include "backups/Backups.h"

#include <algorithm>
#include <cstdio>

#include "platform/Files.h"
#include "platform/Hash.h"
#include "platform/TextConvert.h"

namespace quenlow {
namespace {

std::string FormatTime(std::time_t time, const char* format) {
  char text[32] = {};
  if (const std::tm* utc = std::gmtime(&time)) std::strftime(text, sizeof text, format, utc);
  return text;
}

// Backup ids are "YYYYMMDD-HHMMSS" with "-2", "-3", ... for a second backup in the same
// second: ordered by the time, then by that number.
bool IsNewer(const std::wstring& a, const std::wstring& b) {
  constexpr std::size_t kStamp = 15;
  const std::wstring stampA = a.substr(0, kStamp), stampB = b.substr(0, kStamp);
  if (stampA != stampB) return stampA > stampB;
  auto number = [](const std::wstring& id) { return id.size() > 16 ? std::wcstol(id.c_str() + 16, nullptr, 10) : 1L; };
  return number(a) > number(b);
}

std::wstring ParentOf(const std::wstring& path) {
  const std::size_t slash = path.find_last_of(L"\\/");
  return slash == std::wstring::npos ? std::wstring() : path.substr(0, slash);
}

}  // namespace

std::string JsonQuote(const std::string& text) {
  std::string quoted = "\"";
  for (const char c : text) {
    switch (c) {
      case '"': quoted += "\\\""; break;
      case '\\': quoted += "\\\\"; break;
      case '\n': quoted += "\\n"; break;
      case '\r': quoted += "\\r"; break;
      case '\t': quoted += "\\t"; break;
      default:
        if (static_cast<unsigned char>(c) < 0x20) {
          char escape[8];
          std::snprintf(escape, sizeof escape, "\\u%04x", static_cast<unsigned>(c));
          quoted += escape;
        } else {
          quoted += c;
        }
    }
  }
  return quoted + "\"";
}

BackupSession::BackupSession(std::wstring commonDocuments, std::string origin, std::string reset)
    : m_commonDocuments(std::move(commonDocuments)),
      m_origin(std::move(origin)),
      m_reset(std::move(reset)),
      m_time(std::time(nullptr)) {}

FileRemover BackupSession::Remover() {
  return [this](const std::wstring& path) {
    return ProbeAndDeleteFile(path, [this, &path](const std::string& bytes) { return Keep(path, bytes); });
  };
}

std::error_code BackupSession::StartFolder() {
  const std::wstring backups = m_commonDocuments + kBackupsFolder;
  // A backup without its manifest was cut short: nothing can rely on it.
  std::error_code listed;
  for (const FolderEntry& entry : ListFolder(backups, listed))
    if (entry.folder && !GetFileInfo(backups + L"\\" + entry.name + L"\\" + kManifestName).exists)
      (void)RemoveTree(backups + L"\\" + entry.name);
  const std::wstring stamp = Utf8ToWide(FormatTime(m_time, "%Y%m%d-%H%M%S"));
  std::wstring folder = backups + L"\\" + stamp;
  for (int taken = 2; GetFileInfo(folder).exists; ++taken)
    folder = backups + L"\\" + stamp + L"-" + std::to_wstring(taken);
  if (std::error_code error = MakeFolders(folder)) return error;
  m_folder = folder;
  return {};
}

std::error_code BackupSession::Keep(const std::wstring& path, const std::string& bytes) {
  if (m_folder.empty())
    if (std::error_code error = StartFolder()) return error;
  // The path below "\Quenlow\FX\" is kept; a file elsewhere keeps its name alone.
  const std::wstring root = m_commonDocuments + kBackupRoot;
  std::wstring relative =
      path.compare(0, root.size(), root) == 0 ? path.substr(root.size()) : path.substr(path.find_last_of(L"\\/") + 1);
  const std::wstring copy = m_folder + L"\\" + relative;
  if (std::error_code error = MakeFolders(ParentOf(copy))) return error;
  if (ReplaceResult written = ReplaceFileBytes(copy, bytes)) return written.error;
  m_entries.push_back({path, std::move(relative), bytes.size(), Sha256Hex(bytes)});
  return {};
}

std::error_code BackupSession::Finish() {
  if (m_entries.empty()) {
    if (!m_folder.empty()) (void)RemoveTree(m_folder);  // nothing was copied into it
    return {};
  }
  std::string manifest =
      "{\n  \"schemaVersion\": 1,\n  \"time\": " + JsonQuote(FormatTime(m_time, "%Y-%m-%dT%H:%M:%SZ")) +
      ",\n  \"origin\": " + JsonQuote(m_origin) + ",\n  \"reset\": " + JsonQuote(m_reset) + ",\n  \"files\": [";
  for (std::size_t i = 0; i < m_entries.size(); ++i) {
    const BackupEntry& entry = m_entries[i];
    manifest += std::string(i ? "," : "") + "\n    {\"path\": " + JsonQuote(WideToUtf8(entry.path)) +
                ", \"backup\": " + JsonQuote(WideToUtf8(entry.backup)) + ", \"size\": " + std::to_string(entry.size) +
                ", \"sha256\": " + JsonQuote(entry.sha256) + "}";
  }
  manifest += "\n  ]\n}\n";
  if (ReplaceResult written = ReplaceFileBytes(m_folder + L"\\" + kManifestName, manifest)) return written.error;

  const std::vector<std::wstring> complete = ListBackupIds(m_commonDocuments);
  for (std::size_t i = kBackupsKept; i < complete.size(); ++i)
    (void)RemoveTree(m_commonDocuments + kBackupsFolder + L"\\" + complete[i]);
  return {};
}

std::vector<std::wstring> ListBackupIds(const std::wstring& commonDocuments) {
  const std::wstring backups = commonDocuments + kBackupsFolder;
  std::vector<std::wstring> ids;
  std::error_code listed;
  for (const FolderEntry& entry : ListFolder(backups, listed))
    if (entry.folder && GetFileInfo(backups + L"\\" + entry.name + L"\\" + kManifestName).exists)
      ids.push_back(entry.name);
  std::sort(ids.begin(), ids.end(), IsNewer);
  return ids;
}

}  // namespace quenlow
