// The three folders every path of the program starts from, as the shell gives them.
#pragma once

#include <string>

namespace quenlow {

struct FolderSet {
  std::wstring programFiles;
  std::wstring commonDocuments;
  std::wstring commonAppData;
};

// What is used when the shell gives no usable folder.
inline constexpr const wchar_t* kDefaultProgramFiles = L"C:\\Program Files";
inline constexpr const wchar_t* kDefaultCommonDocuments = L"C:\\Users\\Public\\Documents";
inline constexpr const wchar_t* kDefaultCommonAppData = L"C:\\ProgramData";

// Where 32-bit programs are installed, and the OpenFX plugin search path: only the doctor
// needs them. The folder falls back to "C:\Program Files (x86)"; the path is empty when
// OFX_PLUGIN_PATH is not set.
std::wstring ResolveProgramFilesX86();
std::wstring ReadOfxPluginPath();

// Asks the shell for the three folders, in this order: program files, common documents,
// common application data; each falls back to its default. Windows only.
FolderSet ResolveFolderSet();

}  // namespace quenlow
