// status, engine, engine list, engine set.
#include <nlohmann/json.hpp>

#include <algorithm>
#include <cctype>

#include "catalogue/Detection.h"
#include "cli/Commands.h"
#include "maintenance/Status.h"
#include "platform/Files.h"
#include "settings/Settings.h"

namespace quenlow::cli {
namespace {

using Json = nlohmann::ordered_json;

std::string EngineFile(const Context& context) { return Utf8(context.folders.commonDocuments + kEngineMirrorFile); }

Json EngineJson(const StoredEngine& engine) {
  const wchar_t* name = RenderEngineName(engine.index);
  return Json{{"index", engine.index}, {"name", name ? Json(Utf8(name)) : Json(nullptr)}, {"stored", engine.stored}};
}

std::string EngineText(const StoredEngine& engine) {
  const wchar_t* name = RenderEngineName(engine.index);
  return name ? Utf8(name) : "engine " + std::to_string(engine.index) + " (not a listed engine)";
}

// The labels of the hosts any of the family's plugins is installed in, as the status texts
// name and order them.
std::vector<std::string> FamilyHosts(const PluginInstallState& state, const FamilyInfo& family) {
  std::vector<std::string> hosts;
  for (HostId host : kListedHosts)
    if (state.*kHosts[host].mask & family.plugins) hosts.push_back(Utf8(kHosts[host].statusLabel));
  return hosts;
}

// The hosts as FamilyHosts names them, each followed by the version of the family's
// plugins there: one version when they agree, each plugin's otherwise.
std::vector<std::string> HostsWithVersions(const PluginInstallState& state, const FamilyInfo& family,
                                           const std::vector<PluginVersion>& versions) {
  std::vector<std::string> hosts;
  for (HostId host : kListedHosts) {
    if (!(state.*kHosts[host].mask & family.plugins)) continue;
    const std::string label = Utf8(kHosts[host].statusLabel);
    std::vector<const PluginVersion*> here;
    for (const PluginVersion& version : versions)
      if (version.host == label && version.family == Utf8(family.displayName)) here.push_back(&version);
    std::string text = label;
    const bool agree = std::all_of(here.begin(), here.end(),
                                   [&](const PluginVersion* v) { return v->version == here.front()->version; });
    if (!here.empty() && agree) {
      text += " " + here.front()->version;
    } else if (!here.empty()) {
      std::string each;
      for (const PluginVersion* v : here) each += (each.empty() ? "" : ", ") + v->plugin + " " + v->version;
      text += " (" + each + ")";
    }
    hosts.push_back(text);
  }
  return hosts;
}

std::string Joined(const std::vector<std::string>& items) {
  std::string text;
  for (const std::string& item : items) text += (text.empty() ? "" : ", ") + item;
  return text;
}

void PrintJson(Io& io, const Json& value) { io.Out(value.dump(2) + "\n"); }

// The index for an engine argument: a list index, or a name whatever its letter case.
std::optional<int> ParseEngine(const std::string& text) {
  if (text.size() == 1 && text[0] >= '0' && text[0] < '0' + kRenderEngineCount) return text[0] - '0';
  for (int index = 0; index < kRenderEngineCount; ++index) {
    const std::string name = Utf8(kRenderEngines[index].name);
    if (name.size() == text.size() && std::equal(name.begin(), name.end(), text.begin(), [](char a, char b) {
          return std::tolower(static_cast<unsigned char>(a)) == std::tolower(static_cast<unsigned char>(b));
        }))
      return index;
  }
  return std::nullopt;
}

std::string EngineList() {
  std::string list;
  for (int index = 0; index < kRenderEngineCount; ++index)
    list += (index ? ", " : "") + std::to_string(index) + " " + Utf8(kRenderEngines[index].name);
  return list;
}

}  // namespace

int ShowStatus(Context& context, bool json) {
  const FolderSet& folders = context.folders;
  const StoredEngine engine = ReadStoredEngine(folders.commonDocuments);
  const PluginInstallState state = DetectInstalledPlugins(folders.programFiles, folders.commonAppData, PathExists);
  const std::vector<PluginVersion> versions = ReadPluginVersions(folders);
  if (json) {
    Json families = Json::array();
    for (const FamilyInfo& family : kFamilies) {
      std::wstring text;
      GetFamilyStatus(state, family.linkId, text);
      const std::vector<std::string> hosts = FamilyHosts(state, family);
      families.push_back(Json{{"name", Utf8(family.displayName)},
                              {"id", Utf8(family.linkId)},
                              {"installed", !hosts.empty()},
                              {"hosts", hosts},
                              {"statusText", Utf8(text)}});
    }
    PrintJson(context.io, Json{{"schemaVersion", 1},
                               {"engine", EngineJson(engine)},
                               {"folders",
                                {{"programFiles", Utf8(folders.programFiles)},
                                 {"commonDocuments", Utf8(folders.commonDocuments)},
                                 {"commonAppData", Utf8(folders.commonAppData)}}},
                               {"families", families},
                               {"versions", VersionsJson(versions)}});
    return kExitDone;
  }
  std::string text = "Render engine: " + EngineText(engine) + (engine.stored ? "" : " (the default: none is stored)") +
                     "\nProgram files: " + Utf8(folders.programFiles) +
                     "\nCommon documents: " + Utf8(folders.commonDocuments) +
                     "\nCommon application data: " + Utf8(folders.commonAppData) + "\n";
  for (const FamilyInfo& family : kFamilies) {
    const std::vector<std::string> hosts = HostsWithVersions(state, family, versions);
    text += "\n" + Utf8(family.displayName) + ": " +
            (hosts.empty() ? "not installed" : "installed in " + Joined(hosts)) + "\n";
    std::wstring status;
    GetFamilyStatus(state, family.linkId, status);
    // The status box's text, line by line, indented.
    std::string lines = Utf8(status);
    for (std::size_t start = 0; start < lines.size();) {
      std::size_t end = lines.find('\n', start);
      if (end == std::string::npos) end = lines.size();
      text += "    " + lines.substr(start, end - start) + "\n";
      start = end + 1;
    }
  }
  context.io.Out(text);
  return kExitDone;
}

int ShowEngine(Context& context, bool json) {
  const StoredEngine engine = ReadStoredEngine(context.folders.commonDocuments);
  if (json) {
    PrintJson(context.io, Json{{"schemaVersion", 1}, {"engine", EngineJson(engine)}});
    return kExitDone;
  }
  context.io.Out(EngineText(engine) +
                 (engine.stored ? " (stored in " + EngineFile(context) + ")"
                                : " (the default: no engine is stored in " + EngineFile(context) + ")") +
                 "\n");
  return kExitDone;
}

int ListEngines(Context& context) {
  std::string text;
  for (int index = 0; index < kRenderEngineCount; ++index)
    text += std::to_string(index) + " " + Utf8(kRenderEngines[index].name) + "\n";
  context.io.Out(text);
  return kExitDone;
}

int SetEngine(Context& context, const std::string& choice) {
  const std::optional<int> index = ParseEngine(choice);
  if (!index) {
    PrintError(context.io, "unknown render engine '" + choice + "'; use a name or an index: " + EngineList());
    return kExitUsage;
  }
  const std::string name = Utf8(kRenderEngines[*index].name);
  // As the dialog's OK: the engine already in force is not stored again.
  if (ReadRenderEngine(context.folders.commonDocuments) == *index) {
    context.io.Out("The render engine is already " + name + "; nothing was written.\n");
    return kExitDone;
  }
  const StoreResult result = StoreRenderEngine(context.folders.commonDocuments, *index);
  const std::string file = Utf8(result.path);
  const std::string notStored = "the render engine was not stored: " + file;
  switch (result.outcome) {
    case StoreOutcome::Stored: context.io.Out("Render engine set to " + name + " in " + file + ".\n"); return kExitDone;
    case StoreOutcome::NotReadWhole:
      PrintError(context.io,
                 notStored + " cannot be read whole" +
                     (result.error ? " (" + ErrorText(result.error) + ")" : std::string()) +
                     ", so it is never rewritten; repair it with \"quenlowfx reset --all\" or remove the file");
      return kExitRefused;
    case StoreOutcome::TooManyLines:
      PrintError(context.io, notStored +
                                 " would grow past what the plugins read whole; remove entries you no longer "
                                 "need, or reset all settings");
      return kExitRefused;
    case StoreOutcome::ReadOnly:
      PrintError(context.io, notStored + " is read-only (" + ErrorText(result.error) +
                                 "); clear its read-only attribute to change the engine");
      return kExitRefused;
    case StoreOutcome::Busy:
      PrintError(context.io, notStored + " is in use by another program (" + ErrorText(result.error) +
                                 "); close the editing hosts and try again");
      return kExitRefused;
    case StoreOutcome::Changed:
      PrintError(context.io, notStored + " was changed by another program while it was being stored; try again");
      return kExitRefused;
    case StoreOutcome::PathTooLong:
      PrintError(context.io, notStored + " has a path too long for the plugins to use");
      return kExitRefused;
    case StoreOutcome::FolderMissing:
      PrintError(context.io, "cannot write " + file + ": its folder does not exist (" + ErrorText(result.error) + ")");
      return kExitFailed;
    case StoreOutcome::Failed:
      PrintError(context.io,
                 "cannot write " + file + ": " + ErrorText(result.error) +
                     (result.keptTemporary.empty() ? std::string()
                                                   : "; the new settings are kept in " + Utf8(result.keptTemporary)));
      return kExitFailed;
  }
  return kExitFailed;
}

}  // namespace quenlow::cli
