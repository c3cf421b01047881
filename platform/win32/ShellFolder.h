// One folder of the folder set from the shell, with the checks the program applies to it.
#pragma once

#include <string>

namespace quenlow {

// The shell folder, or `defaultPath` unless the shell gives an existing directory whose
// path is 6 to 261 characters long.
std::wstring ResolveShellFolder(int csidl, const std::wstring& defaultPath);

// The checks on a path the shell returned (null when the shell call failed).
std::wstring AcceptShellFolder(const wchar_t* shellPath, const std::wstring& defaultPath);

}  // namespace quenlow
