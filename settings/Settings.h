// The settings the controller reads and writes, where they live, and the render-engine
// encoding the plugins expect.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

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

inline constexpr const char* kGeneralKey = "SOFTWARE\\Quenlow Software\\FX";
// Storing the engine writes under the general key, then each host's key, in this order.
inline constexpr const char* kEngineKeys[] = {
    kGeneralKey,
    "SOFTWARE\\Quenlow Software\\FX for OFX",
    "SOFTWARE\\Quenlow Software\\FX for CyberLink",
    "SOFTWARE\\Quenlow Software\\FX for Magix",
};
inline constexpr const char* kDefaultRendererValue = "DefaultRenderer";
inline constexpr const char* kDirectRendererValue = "DirectRenderer";
inline constexpr const char* kDocumentsValue = "Documents";

// Mirror paths travel as UTF-8 in a buffer of this many bytes, terminator included.
constexpr std::size_t kMirrorPathBufferSize = 524;

// Render engines in list order; index 3 is in force when nothing is stored.
inline constexpr const wchar_t* kRenderEngineNames[] = {
    L"Cg", L"OpenGL", L"Direct3D Effect", L"Direct3D Shader", L"Direct3D Legacy",
};
constexpr int kRenderEngineCount = 5;
constexpr int kDefaultRenderEngine = 3;

struct RendererPair {
  std::uint32_t defaultRenderer;  // the render family code
  std::uint32_t directRenderer;   // the variant within the family
};

// The pair stored for an engine index; an index above 4 is stored like 4.
RendererPair EncodeRenderEngine(int index);

// The index for a stored pair (either number may be missing). The result can lie outside
// 0 to 4; callers decide what to show for it.
int DecodeRenderEngine(std::optional<std::uint32_t> defaultRenderer, std::optional<std::uint32_t> directRenderer);

// folder + relative path as UTF-8 when it fits the mirror-path buffer.
std::optional<std::string> MirrorPath(const std::wstring& folder, const wchar_t* relativePath);

// The engine index stored below the common documents folder, or 3.
int ReadRenderEngine(const std::wstring& commonDocuments);

// Stores the engine's pair under the four keys; the file is rewritten when the store is
// destroyed at the end of the call. A file that cannot be written keeps what it held.
void StoreRenderEngine(const std::wstring& commonDocuments, int index);

// The custom documents location kept in the program files mirror file, if any.
std::optional<std::string> ReadCustomLocation(const std::wstring& programFiles);

}  // namespace quenlow
