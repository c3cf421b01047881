// backups, restore: the copies resets keep, and putting them back.
#include <nlohmann/json.hpp>

#include <algorithm>
#include <cstdio>

#include "backups/Backups.h"
#include "cli/Commands.h"
#include "platform/Files.h"
#include "platform/Hash.h"
#include "platform/TextConvert.h"

namespace quenlow::cli {
namespace {

using Json = nlohmann::ordered_json;

struct Backup {
  std::string id;
  std::wstring folder;
  Json manifest;
};

// Seconds since 1970 for "YYYY-MM-DDTHH:MM:SSZ" (the calendar arithmetic of days from
// civil dates, so that no time-zone setting takes part); -1 when it does not parse.
std::int64_t UnixSeconds(const std::string& time) {
  int year = 0, month = 0, day = 0, hour = 0, minute = 0, second = 0;
  if (std::sscanf(time.c_str(), "%4d-%2d-%2dT%2d:%2d:%2dZ", &year, &month, &day, &hour, &minute, &second) != 6)
    return -1;
  year -= month <= 2;
  const std::int64_t era = (year >= 0 ? year : year - 399) / 400;
  const std::int64_t yearOfEra = year - era * 400;
  const std::int64_t dayOfYear = (153 * (month + (month > 2 ? -3 : 9)) + 2) / 5 + day - 1;
  const std::int64_t dayOfEra = yearOfEra * 365 + yearOfEra / 4 - yearOfEra / 100 + dayOfYear;
  const std::int64_t days = era * 146097 + dayOfEra - 719468;
  return days * 86400 + hour * 3600 + minute * 60 + second;
}

std::optional<Backup> LoadBackup(const Context& context, const std::wstring& id, std::string& problem) {
  Backup backup{WideToUtf8(id), context.folders.commonDocuments + kBackupsFolder + L"\\" + id, {}};
  const FileBytes manifest = ReadFileBytes(backup.folder + L"\\" + kManifestName);
  if (manifest.status != ReadStatus::Ok) {
    problem = "cannot read the manifest of backup " + backup.id + ": " + ErrorText(manifest.error);
    return std::nullopt;
  }
  backup.manifest = Json::parse(manifest.bytes, nullptr, false);
  if (backup.manifest.is_discarded() || !backup.manifest.contains("files") || !backup.manifest["files"].is_array()) {
    problem = "the manifest of backup " + backup.id + " is damaged";
    return std::nullopt;
  }
  return backup;
}

std::string Text(const Json& value, const char* key) {
  return value.contains(key) && value[key].is_string() ? value[key].get<std::string>() : std::string();
}

std::uint64_t TotalSize(const Json& manifest) {
  std::uint64_t total = 0;
  for (const Json& file : manifest["files"])
    if (file.contains("size") && file["size"].is_number_unsigned()) total += file["size"].get<std::uint64_t>();
  return total;
}

}  // namespace

int ListBackups(Context& context, bool json) {
  Json list = Json::array();
  std::string text;
  for (const std::wstring& id : ListBackupIds(context.folders.commonDocuments)) {
    std::string problem;
    const std::optional<Backup> backup = LoadBackup(context, id, problem);
    if (!backup) {
      PrintError(context.io, problem);
      continue;
    }
    const Json& manifest = backup->manifest;
    const std::size_t files = manifest["files"].size();
    const std::uint64_t size = TotalSize(manifest);
    list.push_back(Json{{"id", backup->id},
                        {"time", Text(manifest, "time")},
                        {"origin", Text(manifest, "origin")},
                        {"reset", Text(manifest, "reset")},
                        {"files", files},
                        {"size", size}});
    text += backup->id + "  " + Text(manifest, "time") + "  " + Text(manifest, "origin") + ", reset " +
            Text(manifest, "reset") + ", " + std::to_string(files) + (files == 1 ? " file, " : " files, ") +
            std::to_string(size) + " bytes\n";
  }
  if (json) {
    context.io.Out(Json{{"schemaVersion", 1}, {"backups", list}}.dump(2) + "\n");
  } else {
    context.io.Out(text.empty() ? "No backups. Every reset keeps one of the files it removes.\n" : text);
  }
  return kExitDone;
}

int RestoreBackup(Context& context, const RestoreOptions& options) {
  Io& io = context.io;
  const std::vector<std::wstring> ids = ListBackupIds(context.folders.commonDocuments);
  if (options.latest == !options.id.empty()) {
    PrintError(io, options.latest ? "name a backup or give --latest, not both"
                                  : "name the backup to restore (see \"quenlowfx backups\"), or give --latest");
    return kExitUsage;
  }
  std::wstring id = options.latest ? (ids.empty() ? std::wstring() : ids.front()) : Utf8ToWide(options.id);
  if (id.empty() || std::find(ids.begin(), ids.end(), id) == ids.end()) {
    std::string known;
    for (const std::wstring& each : ids) known += (known.empty() ? "" : ", ") + WideToUtf8(each);
    PrintError(io, (options.latest ? std::string("there is no backup") : "no backup '" + options.id + "'") +
                       (known.empty() ? "; no reset has kept one yet" : "; backups: " + known));
    return kExitUsage;
  }
  std::string problem;
  const std::optional<Backup> backup = LoadBackup(context, id, problem);
  if (!backup) {
    PrintError(io, problem);
    return kExitFailed;
  }
  const Json& files = backup->manifest["files"];
  const std::int64_t takenAt = UnixSeconds(Text(backup->manifest, "time"));

  if (!options.dryRun)
    if (std::optional<int> stop =
            AskFirst(io, options.yes, "restore replaces files",
                     "Restore " + std::to_string(files.size()) + (files.size() == 1 ? " file" : " files") +
                         " from backup " + backup->id + "?"))
      return *stop;

  bool failed = false, busy = false;
  Json results = Json::array();
  std::string text;
  for (const Json& file : files) {
    const std::string path = Text(file, "path");
    const std::wstring original = Utf8ToWide(path);
    const FileBytes copy = ReadFileBytes(backup->folder + L"\\" + Utf8ToWide(Text(file, "backup")));
    std::string outcome, detail;
    if (copy.status != ReadStatus::Ok || Sha256Hex(copy.bytes) != Text(file, "sha256")) {
      outcome = "corrupt";
      detail = "its backup copy no longer matches its checksum; not restored";
      failed = true;
    } else if (const FileInfo now = GetFileInfo(original);
               now.exists && now.modifiedUnixSeconds > takenAt && !options.force) {
      outcome = "kept-newer";
      detail = "changed since the backup; kept (--force restores it anyway)";
    } else if (options.dryRun) {
      outcome = "would-restore";
    } else {
      std::error_code error = MakeFolders(original.substr(0, original.find_last_of(L"\\/")));
      if (!error) error = ReplaceFileBytes(original, copy.bytes).error;
      if (!error) {
        outcome = "restored";
      } else if (ClassifyFileError(error) == FileErrorKind::Busy) {
        outcome = "busy";
        detail = "in use by another program; left as it is";
        busy = true;
      } else {
        outcome = "failed";
        detail = ErrorText(error);
        failed = true;
      }
    }
    Json entry{{"path", path}, {"outcome", outcome}};
    if (!detail.empty()) entry["detail"] = detail;
    results.push_back(entry);
    std::string label = outcome == "kept-newer" ? "kept, newer" : outcome;
    label.resize(std::max<std::size_t>(label.size(), 13), ' ');
    text += label + " " + path + (detail.empty() ? "" : " (" + detail + ")") + "\n";
  }
  if (options.json) {
    io.Out(Json{{"schemaVersion", 1}, {"backup", backup->id}, {"dryRun", options.dryRun}, {"files", results}}.dump(2) +
           "\n");
  } else {
    io.Out(text);
  }
  if (failed) return kExitFailed;
  return busy ? kExitBusyLeft : kExitDone;
}

}  // namespace quenlow::cli
