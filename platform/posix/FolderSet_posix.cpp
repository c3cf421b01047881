// The folder set of a Wine prefix, as programs in it get it: from the prefix's registry,
// with the same checks and defaults as the Windows build. Without a prefix, the defaults.
#include "platform/FolderSet.h"

#include "platform/Files.h"
#include "platform/TextConvert.h"
#include "platform/posix/WinePrefix.h"

namespace quenlow {
namespace {

constexpr const char* kCurrentVersion = "Software\\Microsoft\\Windows\\CurrentVersion";
constexpr const char* kShellFolders = "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders";
constexpr const char* kEnvironment = "System\\CurrentControlSet\\Control\\Session Manager\\Environment";
constexpr const char* kWindowsNt = "Software\\Microsoft\\Windows NT\\CurrentVersion";

// As the Windows build accepts a shell folder: 6 to 261 characters, an existing folder.
std::wstring Folder(const char* key, const char* name, const wchar_t* fallback) {
  const std::optional<std::string> value = wine::ReadRegistryString("system.reg", key, name);
  if (!value) return fallback;
  const std::wstring folder = Utf8ToWide(*value);
  if (folder.size() < 6 || folder.size() > 261 || !GetFileInfo(folder).folder) return fallback;
  return folder;
}

}  // namespace

std::wstring ResolveProgramFilesX86() {
  return Folder(kCurrentVersion, "ProgramFilesDir (x86)", L"C:\\Program Files (x86)");
}

// The prefix's own environment settings, the machine's then the user's; never this
// system's environment, which the programs in the prefix do not see.
std::wstring ReadOfxPluginPath() {
  std::optional<std::string> value = wine::ReadRegistryString("user.reg", "Environment", "OFX_PLUGIN_PATH");
  if (!value) value = wine::ReadRegistryString("system.reg", kEnvironment, "OFX_PLUGIN_PATH");
  return value ? Utf8ToWide(*value) : std::wstring();
}

FolderSet ResolveFolderSet() {
  // Every key this program reads from system.reg, in one pass over a large file.
  wine::PreloadRegistryKeys("system.reg", {kCurrentVersion, kShellFolders, kEnvironment, kWindowsNt});
  return {Folder(kCurrentVersion, "ProgramFilesDir", kDefaultProgramFiles),
          Folder(kShellFolders, "Common Documents", kDefaultCommonDocuments),
          Folder(kShellFolders, "Common AppData", kDefaultCommonAppData)};
}

}  // namespace quenlow
