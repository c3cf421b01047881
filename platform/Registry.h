// Registry reads of a settings store in direct mode: values below HKEY_LOCAL_MACHINE in the
// 32-bit view. No flow of the controller reaches them (every store it uses is opened on a
// mirror file); on a system without a registry both simply fail.
#pragma once

#include <cstddef>
#include <cstdint>

namespace quenlow {

// The maker's settings key, which also holds the custom documents location.
inline constexpr const char* kGeneralKey = "SOFTWARE\\Quenlow Software\\FX";
inline constexpr const char* kDocumentsValue = "Documents";

// Size of the buffer that receives the "Documents" setting, terminator included.
constexpr std::size_t kDocumentsFolderBufferSize = 524;

// Reads a REG_DWORD. Returns 1 on success; `out` is unchanged on failure.
int RegReadDword(const char* keyPath, const char* valueName, std::uint32_t* out);

// Reads "Documents" of "SOFTWARE\Quenlow Software\FX" into a buffer of
// kDocumentsFolderBufferSize bytes, expanding environment variables when the value is
// REG_EXPAND_SZ. Returns 1 on success.
int RegReadDocumentsFolder(char* buffer);

}  // namespace quenlow
