// The doctor: why a plugin that detection calls installed will not load, or loads from
// somewhere else, and why a setting will not take. It reads only; it changes nothing.
//
// Each finding has a stable code, a severity, the family and plugin it concerns, the path,
// and one sentence that ends with what to do. A healthy installation has no finding.
#pragma once

#include <array>
#include <optional>
#include <string>
#include <vector>

#include "catalogue/Catalogue.h"
#include "platform/FolderSet.h"

namespace quenlow {

enum class Severity {
  Problem,  // stops a host from using the plugin or the setting
  Note,     // worth knowing; nothing stops working
};

struct CheckInfo {
  const char* code;
  Severity severity;
  const char* description;
};

// Every check, with its code; the codes do not change once released.
extern const std::array<CheckInfo, 16> kChecks;

struct Finding {
  std::string code;
  Severity severity = Severity::Note;
  std::string family;  // empty when it concerns no family
  std::string plugin;  // empty when it concerns no plugin
  std::wstring path;   // empty when it concerns no one file
  std::string message;
};

struct PluginVersion {
  std::string family;
  std::string plugin;
  std::string host;  // the status texts' label
  std::wstring path;
  std::string version;
};

struct DoctorInputs {
  FolderSet folders;
  std::wstring programFilesX86;             // where 32-bit programs live
  std::vector<std::wstring> ofxPluginPath;  // the folders of OFX_PLUGIN_PATH, in order
};

struct DoctorReport {
  std::vector<Finding> findings;  // problems first, then by family order
  std::vector<PluginVersion> versions;
  bool busyVisible = true;  // false where files held by other programs cannot be seen
  int problems() const;
  int notes() const;
};

DoctorReport RunDoctor(const DoctorInputs& inputs);

// The file versions of the installed plugin files, in detection order.
std::vector<PluginVersion> ReadPluginVersions(const FolderSet& folders);

// The text form: findings grouped by family (problems first), then a summary line.
std::string FormatDoctorText(const DoctorReport& report);

// Splits an OFX_PLUGIN_PATH value at its separators (";" on Windows).
std::vector<std::wstring> SplitSearchPath(const std::wstring& value);

}  // namespace quenlow
