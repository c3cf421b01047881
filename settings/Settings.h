// The settings the controller reads and writes, where they live, and the render-engine
// encoding the plugins expect.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <iterator>
#include <string>
#include <system_error>

#include "platform/Registry.h"

namespace quenlow {

// Mirror files, relative to a folder of the folder set.
inline constexpr const wchar_t* kEngineMirrorFile = L"\\Quenlow\\FX\\System\\lm.regr";
// The plugins' own mirror files, deleted (never read) by the reset of all settings, in
// the order the reset removes them.
inline constexpr const wchar_t* kResetMirrorFiles[] = {
    L"\\Quenlow\\FX\\System\\cuui.regr",
    L"\\Quenlow\\FX\\System\\cu.regr",
    kEngineMirrorFile,
    L"\\Quenlow\\FX\\System\\dlm.regr",
};

// Storing the engine writes under the general key, then each host's key, in this order.
inline constexpr const char* kEngineKeys[] = {
    kGeneralKey,
    "SOFTWARE\\Quenlow Software\\FX for OFX",
    "SOFTWARE\\Quenlow Software\\FX for CyberLink",
    "SOFTWARE\\Quenlow Software\\FX for Magix",
};
inline constexpr const char* kDefaultRendererValue = "DefaultRenderer";
inline constexpr const char* kDirectRendererValue = "DirectRenderer";

// Mirror paths travel as UTF-8 in a buffer of this many bytes, terminator included.
constexpr std::size_t kMirrorPathBufferSize = 524;

struct RendererPair {
  std::uint32_t defaultRenderer;  // the render family code
  std::uint32_t directRenderer;   // the variant within the family
};

struct RenderEngineInfo {
  const wchar_t* name;
  RendererPair pair;
};

// Render engines in list order; index 3 is in force when nothing is stored.
inline constexpr RenderEngineInfo kRenderEngines[] = {
#define RENDER_ENGINE(name, defaultRenderer, directRenderer) {L"" name, {defaultRenderer, directRenderer}},
#include "settings/RenderEngines.def"
#undef RENDER_ENGINE
};
constexpr int kRenderEngineCount = static_cast<int>(std::size(kRenderEngines));
constexpr int kDefaultRenderEngine = 3;

// The engine's name, or null for an index the list does not hold.
const wchar_t* RenderEngineName(int index);

// The pair stored for an engine index; an index above 4 is stored like 4.
RendererPair EncodeRenderEngine(int index);

// The index for a stored pair (either number may be missing). The result can lie outside
// 0 to 4; callers decide what to show for it.
int DecodeRenderEngine(std::optional<std::uint32_t> defaultRenderer, std::optional<std::uint32_t> directRenderer);

// folder + relative path as UTF-8 when it fits the mirror-path buffer.
std::optional<std::string> MirrorPath(const std::wstring& folder, const wchar_t* relativePath);

// The engine index stored below the common documents folder, or 3.
int ReadRenderEngine(const std::wstring& commonDocuments);

struct StoredEngine {
  int index = kDefaultRenderEngine;
  bool stored = false;  // the index comes from the file (either value of the pair was there)
};
StoredEngine ReadStoredEngine(const std::wstring& commonDocuments);

// What storing the engine did. The dialog ignores it (OK closes silently whatever
// happens); the command line reports it.
enum class StoreOutcome {
  Stored,
  PathTooLong,    // the common documents path does not fit the mirror-path buffer
  NotReadWhole,   // the file could not be read whole, so it is never rewritten
  TooManyLines,   // the readers could not read the new content whole
  FolderMissing,  // the folder that holds the file does not exist
  ReadOnly,       // the file is read-only, or not ours to write
  Busy,           // another program holds the file
  Changed,        // another program changed it twice while it was being stored
  Failed,         // any other error of the system
};

struct StoreResult {
  StoreOutcome outcome = StoreOutcome::Stored;
  std::wstring path;           // the engine file
  std::error_code error;       // the system's error, where there is one
  std::wstring keptTemporary;  // the only copy of the new content, when the file is gone
};

// Stores the engine's pair under the four keys and saves the file at once. A file that
// cannot be written keeps what it held.
StoreResult StoreRenderEngine(const std::wstring& commonDocuments, int index);

// The custom documents location kept in the program files mirror file, if any.
std::optional<std::string> ReadCustomLocation(const std::wstring& programFiles);

}  // namespace quenlow
