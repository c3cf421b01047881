#include "settings/Settings.h"

#include "platform/Files.h"
#include "platform/Registry.h"
#include "platform/TextConvert.h"
#include "settings/RegistryMirror.h"

namespace quenlow {

const wchar_t* RenderEngineName(int index) {
  return index >= 0 && index < kRenderEngineCount ? kRenderEngines[index].name : nullptr;
}

RendererPair EncodeRenderEngine(int index) {
  const auto row = static_cast<unsigned>(index);
  return kRenderEngines[row >= kRenderEngineCount ? kRenderEngineCount - 1 : row].pair;
}

int DecodeRenderEngine(std::optional<std::uint32_t> defaultRenderer, std::optional<std::uint32_t> directRenderer) {
  // A missing family reads as the Direct3D family, a missing variant as the direct one.
  const std::uint32_t family = defaultRenderer.value_or(16);
  const std::uint32_t variant = directRenderer.value_or(1);
  // A variant other than 0 and 1 is taken as the list index itself.
  if (variant > 1) return static_cast<int>(variant);
  for (int index = 0; index < kRenderEngineCount; ++index)
    if (kRenderEngines[index].pair.defaultRenderer == family && kRenderEngines[index].pair.directRenderer == variant)
      return index;
  // Pairs that no engine stores, as the plugins read them: the legacy family's direct
  // variant is OpenGL; an unknown family is Cg with variant 0, OpenGL with variant 1, and
  // with no variant stored the family number is taken as the index.
  if (variant == 0) return 0;
  if (family == 1 || directRenderer) return 1;
  return static_cast<int>(family);
}

std::optional<std::string> MirrorPath(const std::wstring& folder, const wchar_t* relativePath) {
  std::string path;
  if (!WideToUtf8(folder + relativePath, kMirrorPathBufferSize, path)) return std::nullopt;
  return path;
}

int ReadRenderEngine(const std::wstring& commonDocuments) { return ReadStoredEngine(commonDocuments).index; }

StoredEngine ReadStoredEngine(const std::wstring& commonDocuments) {
  std::optional<std::string> path = MirrorPath(commonDocuments, kEngineMirrorFile);
  if (!path) return {};
  RegistryMirror store;
  (void)store.Open(path->c_str(), 1);
  std::uint32_t family = 0;
  std::uint32_t variant = 0;
  const bool hasFamily = store.ReadDword(kGeneralKey, kDefaultRendererValue, family);
  const bool hasVariant = store.ReadDword(kGeneralKey, kDirectRendererValue, variant);
  return {DecodeRenderEngine(hasFamily ? std::optional(family) : std::nullopt,
                             hasVariant ? std::optional(variant) : std::nullopt),
          hasFamily || hasVariant};
}

namespace {

StoreOutcome OutcomeOfFileError(const std::error_code& error) {
  if (error == FileError::ChangedSinceRead) return StoreOutcome::Changed;
  switch (ClassifyFileError(error)) {
    case FileErrorKind::NotFound: return StoreOutcome::FolderMissing;
    case FileErrorKind::AccessDenied: return StoreOutcome::ReadOnly;
    case FileErrorKind::Busy: return StoreOutcome::Busy;
    case FileErrorKind::Other: break;
  }
  return StoreOutcome::Failed;
}

}  // namespace

StoreResult StoreRenderEngine(const std::wstring& commonDocuments, int index) {
  StoreResult result;
  result.path = commonDocuments + kEngineMirrorFile;
  std::optional<std::string> path = MirrorPath(commonDocuments, kEngineMirrorFile);
  if (!path) {
    result.outcome = StoreOutcome::PathTooLong;
    return result;
  }
  RegistryMirror store;
  (void)store.Open(path->c_str(), 0);
  const RendererPair pair = EncodeRenderEngine(index);
  for (const char* key : kEngineKeys) {
    (void)store.WriteDword(key, kDefaultRendererValue, pair.defaultRenderer);
    (void)store.WriteDword(key, kDirectRendererValue, pair.directRenderer);
  }
  if (store.Save()) return result;
  const MirrorSaveError& failure = store.lastSaveError();
  switch (failure.refusal) {
    case MirrorSaveRefusal::NotReadWhole:
      // A file that another program holds cannot be read: that is the reason to give.
      result.error = store.loadError();
      result.outcome =
          ClassifyFileError(result.error) == FileErrorKind::Busy ? StoreOutcome::Busy : StoreOutcome::NotReadWhole;
      break;
    case MirrorSaveRefusal::TooManyLines: result.outcome = StoreOutcome::TooManyLines; break;
    case MirrorSaveRefusal::FileError:
    case MirrorSaveRefusal::None:
      result.error = failure.error;
      result.outcome = OutcomeOfFileError(failure.error);
      result.keptTemporary = failure.keptTemporary;
      break;
  }
  return result;
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
