// Outside Windows there is no shell to ask: the folder set is the defaults.
#include "platform/FolderSet.h"

#include <cstdlib>

#include "platform/TextConvert.h"

namespace quenlow {

std::wstring ResolveProgramFilesX86() { return L"C:\\Program Files (x86)"; }

std::wstring ReadOfxPluginPath() {
  const char* value = std::getenv("OFX_PLUGIN_PATH");
  return value ? Utf8ToWide(value) : std::wstring();
}

FolderSet ResolveFolderSet() { return {kDefaultProgramFiles, kDefaultCommonDocuments, kDefaultCommonAppData}; }

}  // namespace quenlow
