// A Wine prefix seen from outside Wine: the native command line reads and writes the
// prefix's files directly. This module turns the Windows paths the core forms into the
// prefix's files, reads the prefix's registry files, and tells whether its wineserver runs.
#pragma once

#include <optional>
#include <string>
#include <vector>

namespace quenlow::wine {

// Whether the folder looks like a Wine prefix: it has system.reg and dosdevices.
bool IsWinePrefix(const std::string& folder);

// From now on, the file layer maps Windows paths ("C:\...") into this prefix; empty stops it.
void UsePrefix(const std::string& folder);
const std::string& CurrentPrefix();

// The file a Windows path names in the current prefix: the drive through dosdevices, then
// each component matched ignoring letter case, as Wine matches it. A component that does
// not exist keeps its own spelling (so that new files get the names the program uses); a
// drive the prefix does not map leads nowhere.
std::string MapWindowsPath(const std::string& windowsPath);

// A string value of a key in one of the prefix's registry files (Wine's text format):
// `file` is "system.reg" (HKEY_LOCAL_MACHINE) or "user.reg" (HKEY_CURRENT_USER), `key`
// a path below that root with single backslashes. Letter case is ignored.
std::optional<std::string> ReadRegistryString(const std::string& file, const std::string& key, const std::string& name);

// Reads the sections of these keys of a registry file in one pass, for the reads that follow.
void PreloadRegistryKeys(const std::string& file, const std::vector<std::string>& keys);

// Whether the prefix's wineserver is running (it holds a lock in its server folder).
bool IsServerRunning(const std::string& prefix);

}  // namespace quenlow::wine
