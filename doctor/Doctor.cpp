#include "doctor/Doctor.h"

#include <algorithm>
#include <cctype>
#include <map>
#include <set>

#include "doctor/PeImage.h"
#include "maintenance/Resets.h"
#include "platform/Files.h"
#include "platform/TextConvert.h"
#include "settings/RegistryMirror.h"
#include "settings/Settings.h"

namespace quenlow {

// clang-format off
const std::array<CheckInfo, 16> kChecks = {{
    {"ofx-32bit-only", Severity::Problem, "An OpenFX bundle has a 32-bit binary (Contents\\Win32) but no 64-bit one: 64-bit hosts skip it."},
    {"ofx-not-x64", Severity::Problem, "An OpenFX bundle's Win64 binary is not a 64-bit x86 program (empty, truncated, not a program, or built for another processor)."},
    {"ofx-copy-32bit-folder", Severity::Note, "A copy of an OpenFX bundle lies below the 32-bit program files' OpenFX folder, where 64-bit hosts do not look."},
    {"ofx-shadowed", Severity::Problem, "A copy of an OpenFX bundle lies in a folder of OFX_PLUGIN_PATH, which hosts search first: they may load that copy instead."},
    {"host-file-empty", Severity::Problem, "A plugin file a host loads is empty (detection counts it as installed)."},
    {"host-file-folder", Severity::Problem, "A folder stands where a host expects a plugin file (detection counts it as installed)."},
    {"host-file-unreadable", Severity::Problem, "A plugin file cannot be opened for reading."},
    {"version-differs-between-hosts", Severity::Note, "The same plugin has different versions in different hosts."},
    {"version-differs-in-family", Severity::Note, "The plugins of one family installed in one host have different versions."},
    {"engine-file-not-read-whole", Severity::Problem, "The render-engine settings file cannot be read whole: the engine cannot be changed until it is repaired."},
    {"engine-hosts-disagree", Severity::Problem, "The render-engine settings file stores different engines for different hosts: they will render differently."},
    {"engine-value-unknown", Severity::Problem, "The render-engine settings file stores a value that is no listed engine."},
    {"engine-file-read-only", Severity::Note, "The render-engine settings file is read-only: a new engine choice is not saved."},
    {"engine-file-in-program-files", Severity::Note, "A render-engine settings file in the program files folder stores an engine, which nothing reads from there."},
    {"file-in-use", Severity::Note, "A preset or settings file is held open by another program (a host is running): resets skip it."},
    {"check-failed", Severity::Note, "A check could not finish (an unreadable folder, a malformed file); the other checks still ran."},
}};
// clang-format on

namespace {

const CheckInfo& Check(const std::string& code) {
  for (const CheckInfo& check : kChecks)
    if (code == check.code) return check;
  return kChecks.back();
}

std::string Utf8(const std::wstring& text) { return WideToUtf8(text); }

const FamilyInfo* FamilyOf(const PluginInfo& plugin) {
  for (const FamilyInfo& family : kFamilies)
    if (family.plugins & plugin.bits) return &family;
  return nullptr;
}

std::string Lower(std::wstring_view text) {
  std::string lower = WideToUtf8(text);
  for (char& c : lower) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return lower;
}

const std::wstring& HostBase(const FolderSet& folders, HostId host) {
  return kHosts[host].baseFolder == BaseFolder::ProgramFiles ? folders.programFiles : folders.commonAppData;
}

class Examination {
 public:
  explicit Examination(const DoctorInputs& inputs) : m_inputs(inputs) {}

  DoctorReport Run() {
    for (const PluginInfo& plugin : kPlugins)
      for (std::size_t host = 0; host < kHostCount; ++host) ExamineHostFile(plugin, static_cast<HostId>(host));
    CompareVersions();
    ExamineEngineFile();
    ExamineProgramFilesEngineFile();
    ExamineBusyFiles();
    std::stable_sort(m_report.findings.begin(), m_report.findings.end(), [](const Finding& a, const Finding& b) {
      return a.severity == Severity::Problem && b.severity != Severity::Problem;
    });
    return std::move(m_report);
  }

 private:
  void Add(const std::string& code, const PluginInfo* plugin, const std::wstring& path, const std::string& message) {
    const FamilyInfo* family = plugin ? FamilyOf(*plugin) : nullptr;
    m_report.findings.push_back({code, Check(code).severity, family ? Utf8(family->displayName) : std::string(),
                                 plugin ? Utf8(plugin->name) : std::string(), path, message});
  }

  void CheckFailed(const std::string& check, const PluginInfo* plugin, const std::wstring& path,
                   const std::string& reason) {
    Add("check-failed", plugin, path,
        "The " + check + " check could not finish for " + Utf8(path) + ": " + reason +
            ". Make the file or folder readable (or remove it) and run \"quenlowfx doctor\" again.");
  }

  void ExamineHostFile(const PluginInfo& plugin, HostId host) {
    const std::wstring path = HostBase(m_inputs.folders, host) + plugin.hostFiles[host];
    const FileInfo info = GetFileInfo(path);
    if (host == HOST_OFX) ExamineBundleCopies(plugin, path, info.exists);
    if (!info.exists) return;
    if (info.folder) {
      Add("host-file-folder", &plugin, path,
          "A folder stands where " + Utf8(kHosts[host].statusLabel) + " expects the plugin file " + Utf8(path) +
              ", so the plugin does not load; remove the folder and reinstall " + Utf8(plugin.name) + ".");
      return;
    }
    if (info.size == 0) {
      Add("host-file-empty", &plugin, path,
          "The plugin file " + Utf8(path) + " is empty (a broken download or copy), so " +
              Utf8(kHosts[host].statusLabel) + " cannot load it; reinstall " + Utf8(plugin.name) + ".");
      return;
    }
    const FileBytes probe = ReadFileRange(path, 0, 1);
    if (probe.status != ReadStatus::Ok) {
      if (ClassifyFileError(probe.error) == FileErrorKind::Busy) return;  // a host has it open: it loads
      Add("host-file-unreadable", &plugin, path,
          "The plugin file " + Utf8(path) + " cannot be opened for reading (" + probe.error.message() +
              "); repair its permissions or reinstall " + Utf8(plugin.name) + ".");
      return;
    }
    std::optional<std::string> version;
    if (host == HOST_CYBERLINK) {
      version = ReadXmlVersion(path);
    } else {
      const PeImage image = ReadPeImage(path);
      if (host == HOST_OFX && (!image.isPe || image.machine != kMachineX64)) {
        Add("ofx-not-x64", &plugin, path,
            "The OpenFX binary " + Utf8(path) + " is " +
                (image.isPe ? "built for another processor than 64-bit x86" : "not a complete Windows program") +
                ", so 64-bit hosts skip it; reinstall " + Utf8(plugin.name) + " with its 64-bit installer.");
        return;
      }
      if (!image.malformed.empty()) CheckFailed("version", &plugin, path, image.malformed);
      version = image.version;
    }
    if (version) {
      const FamilyInfo* family = FamilyOf(plugin);
      m_report.versions.push_back({family ? Utf8(family->displayName) : std::string(), Utf8(plugin.name),
                                   Utf8(kHosts[host].statusLabel), path, *version});
      m_versions[&plugin][host] = *version;
    }
  }

  // The bundle of an OpenFX plugin: its Win64 binary's path up to ".ofx.bundle".
  static std::wstring BundleOf(const std::wstring& binary) {
    const std::size_t end = binary.find(L".ofx.bundle\\");
    return end == std::wstring::npos ? binary : binary.substr(0, end + 11);
  }

  void ExamineBundleCopies(const PluginInfo& plugin, const std::wstring& win64, bool win64Exists) {
    const std::wstring bundle = BundleOf(win64);
    const std::wstring name = bundle.substr(bundle.find_last_of(L'\\') + 1);
    const std::wstring stem = name.substr(0, name.size() - 11);
    const FileInfo bundleInfo = GetFileInfo(bundle);
    if (!win64Exists && bundleInfo.folder && GetFileInfo(bundle + L"\\Contents\\Win32\\" + stem + L".ofx").exists)
      Add("ofx-32bit-only", &plugin, bundle,
          "The bundle " + Utf8(bundle) +
              " holds only a 32-bit binary (Contents\\Win32), which 64-bit hosts skip; "
              "install the 64-bit " +
              Utf8(plugin.name) + " or remove the folder " + Utf8(bundle) + ".");
    // The standard copy's identity, when there is one (a plain value: the optional's
    // contents confuse GCC's uninitialised-use analysis at -O3).
    const std::optional<FileIdentity> found = bundleInfo.folder ? GetFileIdentity(bundle) : std::nullopt;
    const bool hasMain = found.has_value();
    const FileIdentity main = found.value_or(FileIdentity{});
    const std::wstring standard = m_inputs.folders.programFiles + L"\\Common Files\\OFX\\Plugins";

    if (!m_inputs.programFilesX86.empty()) {
      const std::wstring plugins32 = m_inputs.programFilesX86 + L"\\Common Files\\OFX\\Plugins";
      for (const std::wstring& copy : FindFolders(plugins32, Lower(name), &plugin))
        if (!SameAs(copy, hasMain ? &main : nullptr))
          Add("ofx-copy-32bit-folder", &plugin, copy,
              "A copy of " + Utf8(name) + " lies in " + Utf8(copy) +
                  ", the 32-bit OpenFX folder, where 64-bit hosts do not look; remove the folder " + Utf8(copy) +
                  " unless a 32-bit host still needs it.");
    }
    if (!hasMain) return;  // without the standard copy there is nothing to shadow
    const std::optional<FileIdentity> standardFolder = GetFileIdentity(standard);
    for (const std::wstring& folder : m_inputs.ofxPluginPath) {
      const std::optional<FileIdentity> searched = GetFileIdentity(folder);
      if (searched && standardFolder && *searched == *standardFolder) continue;  // the standard folder itself
      for (const std::wstring& copy : FindFolders(folder, Lower(name), &plugin)) {
        if (SameAs(copy, &main)) continue;
        Add("ofx-shadowed", &plugin, copy,
            "Hosts search OFX_PLUGIN_PATH before " + Utf8(standard) + ", so they reach the copy " + Utf8(copy) +
                " of " + Utf8(name) + " first and may load it instead of " + Utf8(bundle) + "; remove the folder " +
                Utf8(copy) + " (or update it to the same version).");
        return;  // the first copy the search reaches is the one that matters
      }
    }
  }

  static bool SameAs(const std::wstring& path, const FileIdentity* other) {
    const std::optional<FileIdentity> identity = GetFileIdentity(path);
    return identity && other && *identity == *other;
  }

  // Folders named `lowerName` (letter case ignored) at most three levels below `root`.
  std::vector<std::wstring> FindFolders(const std::wstring& root, const std::string& lowerName,
                                        const PluginInfo* plugin, int depth = 0) {
    std::vector<std::wstring> found;
    if (depth > 3 || !GetFileInfo(root).folder) return found;
    std::error_code error;
    const std::vector<FolderEntry> entries = ListFolder(root, error);
    if (error) {
      if (m_unlistable.insert(root).second) CheckFailed("OpenFX copies", plugin, root, error.message());
      return found;
    }
    for (const FolderEntry& entry : entries) {
      if (!entry.folder) continue;
      const std::wstring path = root + L"\\" + entry.name;
      const std::string lower = Lower(entry.name);
      if (lower == lowerName) {
        found.push_back(path);
        continue;
      }
      constexpr std::string_view kBundle = ".ofx.bundle";
      if (lower.size() > kBundle.size() && lower.compare(lower.size() - kBundle.size(), kBundle.size(), kBundle) == 0)
        continue;  // another bundle: nothing to find inside
      for (std::wstring& deeper : FindFolders(path, lowerName, plugin, depth + 1)) found.push_back(std::move(deeper));
    }
    return found;
  }

  void CompareVersions() {
    for (const auto& [plugin, byHost] : m_versions) {
      std::set<std::string> distinct;
      std::string list;
      for (const auto& [host, version] : byHost) {
        distinct.insert(version);
        list += (list.empty() ? "" : ", ") + Utf8(kHosts[host].statusLabel) + " " + version;
      }
      if (distinct.size() > 1)
        Add("version-differs-between-hosts", plugin, {},
            Utf8(plugin->name) + " has different versions in different hosts (" + list +
                "), so they may render differently; install the same version in every host.");
    }
    // One finding a family, naming each host where its plugins disagree.
    for (const FamilyInfo& family : kFamilies) {
      std::string hosts;
      for (std::size_t host = 0; host < kHostCount; ++host) {
        std::set<std::string> distinct;
        std::string list;
        for (const auto& [plugin, byHost] : m_versions) {
          if (!(family.plugins & plugin->bits)) continue;
          const auto found = byHost.find(static_cast<HostId>(host));
          if (found == byHost.end()) continue;
          distinct.insert(found->second);
          list += (list.empty() ? "" : ", ") + Utf8(plugin->name) + " " + found->second;
        }
        if (distinct.size() > 1) hosts += (hosts.empty() ? "" : "; ") + Utf8(kHosts[host].statusLabel) + ": " + list;
      }
      if (!hosts.empty())
        m_report.findings.push_back({"version-differs-in-family",
                                     Check("version-differs-in-family").severity,
                                     Utf8(family.displayName),
                                     {},
                                     {},
                                     "The " + Utf8(family.displayName) + " plugins have different versions (" + hosts +
                                         "); update them all to the same version."});
    }
  }

  void ExamineEngineFile() {
    const std::wstring path = m_inputs.folders.commonDocuments + kEngineMirrorFile;
    const FileInfo info = GetFileInfo(path);
    if (!info.exists) return;
    std::optional<std::string> utf8 = MirrorPath(m_inputs.folders.commonDocuments, kEngineMirrorFile);
    if (!utf8) return;
    RegistryMirror store;
    (void)store.Open(utf8->c_str(), 1);
    if (store.loadWasIncomplete()) {
      if (IsFileInUse(path).value_or(false)) return;  // reported as a file in use
      Add("engine-file-not-read-whole", nullptr, path,
          "The render-engine settings file " + Utf8(path) +
              " cannot be read whole (damaged, or longer than the plugins read), so the engine cannot be changed "
              "until it is repaired; run \"quenlowfx reset --all\" or remove the file " +
              Utf8(path) + ".");
      return;
    }
    if (info.readOnly)
      Add("engine-file-read-only", nullptr, path,
          "The render-engine settings file " + Utf8(path) +
              " is read-only, so a new engine choice is not saved; clear its read-only attribute to change the "
              "engine.");
    // The engine each key stores, as the plugins of each host read it.
    std::vector<std::pair<std::string, int>> stored;
    for (const char* key : kEngineKeys) {
      std::uint32_t family = 0, variant = 0;
      const bool hasFamily = store.ReadDword(key, kDefaultRendererValue, family);
      const bool hasVariant = store.ReadDword(key, kDirectRendererValue, variant);
      if (!hasFamily && !hasVariant) continue;
      stored.emplace_back(key, DecodeRenderEngine(hasFamily ? std::optional(family) : std::nullopt,
                                                  hasVariant ? std::optional(variant) : std::nullopt));
    }
    std::string list;
    bool unknown = false;
    for (const auto& [key, index] : stored) {
      const wchar_t* name = RenderEngineName(index);
      unknown |= name == nullptr;
      list += (list.empty() ? "" : ", ") + key.substr(key.rfind('\\') + 1) + ": " +
              (name ? Utf8(name) : "value " + std::to_string(index));
    }
    if (unknown)
      Add("engine-value-unknown", nullptr, path,
          "The render-engine settings file " + Utf8(path) + " stores a value that is no listed engine (" + list +
              "); choose an engine again with \"quenlowfx engine set NAME\".");
    const bool disagree = std::any_of(stored.begin(), stored.end(),
                                      [&](const auto& entry) { return entry.second != stored.front().second; });
    if (disagree)
      Add("engine-hosts-disagree", nullptr, path,
          "The render-engine settings file " + Utf8(path) + " stores different engines for different hosts (" + list +
              "), so they render differently; store one for all with \"quenlowfx engine set NAME\".");
  }

  void ExamineProgramFilesEngineFile() {
    std::optional<std::string> utf8 = MirrorPath(m_inputs.folders.programFiles, kEngineMirrorFile);
    if (!utf8 || !GetFileInfo(m_inputs.folders.programFiles + kEngineMirrorFile).exists) return;
    RegistryMirror store;
    (void)store.Open(utf8->c_str(), 1);
    std::uint32_t family = 0, variant = 0;
    const bool hasFamily = store.ReadDword(kGeneralKey, kDefaultRendererValue, family);
    const bool hasVariant = store.ReadDword(kGeneralKey, kDirectRendererValue, variant);
    if (!hasFamily && !hasVariant) return;
    const int index = DecodeRenderEngine(hasFamily ? std::optional(family) : std::nullopt,
                                         hasVariant ? std::optional(variant) : std::nullopt);
    const wchar_t* name = RenderEngineName(index);
    const std::wstring path = m_inputs.folders.programFiles + kEngineMirrorFile;
    Add("engine-file-in-program-files", nullptr, path,
        "The settings file " + Utf8(path) + " in the program files folder stores the engine " +
            (name ? Utf8(name) : "value " + std::to_string(index)) +
            ", which overrides nothing: the plugins and the dialog use the one in the common documents folder; "
            "remove its engine entries to avoid confusion.");
  }

  void ExamineBusyFiles() {
    // Where the system cannot tell who holds a file, the output says so instead.
    m_report.busyVisible = IsFileInUse(L"").has_value();
    if (!m_report.busyVisible) return;
    for (const std::wstring& path : AllSettingsPaths(m_inputs.folders.commonDocuments)) {
      if (!GetFileInfo(path).exists) continue;
      if (IsFileInUse(path).value_or(false))
        Add("file-in-use", nullptr, path,
            "The file " + Utf8(path) +
                " is held open by another program (an editing host is running), so resets leave it in place; close "
                "the hosts before resetting.");
    }
  }

  const DoctorInputs& m_inputs;
  DoctorReport m_report;
  std::map<const PluginInfo*, std::map<HostId, std::string>> m_versions;
  std::set<std::wstring> m_unlistable;
};

}  // namespace

int DoctorReport::problems() const {
  return static_cast<int>(std::count_if(findings.begin(), findings.end(),
                                        [](const Finding& f) { return f.severity == Severity::Problem; }));
}

int DoctorReport::notes() const { return static_cast<int>(findings.size()) - problems(); }

DoctorReport RunDoctor(const DoctorInputs& inputs) { return Examination(inputs).Run(); }

std::vector<PluginVersion> ReadPluginVersions(const FolderSet& folders) {
  // Only the versions: none of the doctor's other checks.
  std::vector<PluginVersion> versions;
  for (const PluginInfo& plugin : kPlugins) {
    for (std::size_t id = 0; id < kHostCount; ++id) {
      const HostId host = static_cast<HostId>(id);
      const std::wstring path = HostBase(folders, host) + plugin.hostFiles[host];
      const FileInfo info = GetFileInfo(path);
      if (!info.exists || info.folder || info.size == 0) continue;
      const std::optional<std::string> version =
          host == HOST_CYBERLINK ? ReadXmlVersion(path) : ReadPeImage(path).version;
      if (!version) continue;
      const FamilyInfo* family = FamilyOf(plugin);
      versions.push_back({family ? Utf8(family->displayName) : std::string(), Utf8(plugin.name),
                          Utf8(kHosts[host].statusLabel), path, *version});
    }
  }
  return versions;
}

std::string FormatDoctorText(const DoctorReport& report) {
  std::string text;
  // Grouped by family in family order, the findings without a family last; problems first
  // within each group, as the report is ordered.
  std::vector<std::string> groups;
  for (const FamilyInfo& family : kFamilies) groups.push_back(Utf8(family.displayName));
  groups.emplace_back();
  for (const std::string& group : groups) {
    bool heading = false;
    for (const Finding& finding : report.findings) {
      if (finding.family != group) continue;
      if (!heading) {
        text += (group.empty() ? std::string("Settings and files") : group) + ":\n";
        heading = true;
      }
      text += std::string("  ") + (finding.severity == Severity::Problem ? "problem" : "note") + " [" + finding.code +
              "] " + finding.message + "\n";
    }
  }
  if (!report.busyVisible)
    text += "Files held open by other programs cannot be seen from here, so busy files were not checked.\n";
  const int problems = report.problems(), notes = report.notes();
  if (problems == 0) {
    text += "No problems found";
    text += notes ? " (" + std::to_string(notes) + (notes == 1 ? " note)" : " notes)") : std::string();
    text += ".\n";
  } else {
    text += std::to_string(problems) + (problems == 1 ? " problem" : " problems");
    if (notes) text += ", " + std::to_string(notes) + (notes == 1 ? " note" : " notes");
    text += ".\n";
  }
  return text;
}

std::vector<std::wstring> SplitSearchPath(const std::wstring& value) {
  std::vector<std::wstring> folders;
  std::size_t start = 0;
  while (start <= value.size()) {
    std::size_t end = value.find(L';', start);
    if (end == std::wstring::npos) end = value.size();
    std::wstring folder = value.substr(start, end - start);
    while (!folder.empty() && (folder.back() == L'\\' || folder.back() == L'/' || folder.back() == L' '))
      folder.pop_back();
    if (!folder.empty()) folders.push_back(folder);
    start = end + 1;
  }
  return folders;
}

}  // namespace quenlow
