#include "settings/Settings.h"

#include "platform/Registry.h"
#include "platform/TextConvert.h"
#include "settings/RegistryMirror.h"

namespace quenlow {

RendererPair EncodeRenderEngine(int index) {
  static constexpr RendererPair kPairs[] = {{2, 0}, {2, 1}, {16, 0}, {16, 1}, {1, 0}};
  auto row = static_cast<unsigned>(index);
  return kPairs[row > 4 ? 4 : row];
}

int DecodeRenderEngine(std::optional<std::uint32_t> defaultRenderer, std::optional<std::uint32_t> directRenderer) {
  const std::uint32_t family = defaultRenderer.value_or(16);
  std::uint32_t index = 0;
  if (!directRenderer || *directRenderer == 1) {
    switch (family) {
      case 1: case 2: index = 1; break;
      case 16: index = 3; break;
      default: index = directRenderer ? 1 : family; break;
    }
  } else if (*directRenderer == 0) {
    switch (family) {
      case 1: index = 4; break;
      case 16: index = 2; break;
      default: index = 0; break;
    }
  } else {
    index = *directRenderer;
  }
  return static_cast<int>(index);
}

std::optional<std::string> MirrorPath(const std::wstring& folder, const wchar_t* relativePath) {
  std::string path;
  if (!WideToUtf8(folder + relativePath, kMirrorPathBufferSize, path)) return std::nullopt;
  return path;
}

int ReadRenderEngine(const std::wstring& commonDocuments) {
  std::optional<std::string> path = MirrorPath(commonDocuments, kEngineMirrorFile);
  if (!path) return kDefaultRenderEngine;
  RegistryMirror store;
  (void)store.Open(path->c_str(), 1);
  std::uint32_t family = 0;
  std::uint32_t variant = 0;
  const bool hasFamily = store.ReadDword(kGeneralKey, kDefaultRendererValue, family);
  const bool hasVariant = store.ReadDword(kGeneralKey, kDirectRendererValue, variant);
  return DecodeRenderEngine(hasFamily ? std::optional(family) : std::nullopt,
                            hasVariant ? std::optional(variant) : std::nullopt);
}

void StoreRenderEngine(const std::wstring& commonDocuments, int index) {
  std::optional<std::string> path = MirrorPath(commonDocuments, kEngineMirrorFile);
  if (!path) return;
  RegistryMirror store;
  (void)store.Open(path->c_str(), 0);
  const RendererPair pair = EncodeRenderEngine(index);
  for (const char* key : kEngineKeys) {
    (void)store.WriteDword(key, kDefaultRendererValue, pair.defaultRenderer);
    (void)store.WriteDword(key, kDirectRendererValue, pair.directRenderer);
  }
}

std::optional<std::string> ReadCustomLocation(const std::wstring& programFiles) {
  std::optional<std::string> path = MirrorPath(programFiles, kEngineMirrorFile);
  if (!path) return std::nullopt;
  RegistryMirror store;
  (void)store.Open(path->c_str(), 1);
  char buffer[kDocumentsFolderBufferSize];
  if (!store.ReadDocumentsFolder(buffer)) return std::nullopt;
  return std::string(buffer);
}

}  // namespace quenlow
