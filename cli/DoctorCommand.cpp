// doctor: what each host will really load, and why not.
#include <nlohmann/json.hpp>

#include "cli/Commands.h"
#include "doctor/Doctor.h"

namespace quenlow::cli {
namespace {

using Json = nlohmann::ordered_json;

const char* SeverityName(Severity severity) { return severity == Severity::Problem ? "problem" : "note"; }

Json OrNull(const std::string& text) { return text.empty() ? Json(nullptr) : Json(text); }

}  // namespace

Json VersionsJson(const std::vector<PluginVersion>& versions) {
  Json list = Json::array();
  for (const PluginVersion& version : versions)
    list.push_back(Json{{"family", version.family},
                        {"plugin", version.plugin},
                        {"host", version.host},
                        {"path", Utf8(version.path)},
                        {"version", version.version}});
  return list;
}

DoctorReport Examine(const Context& context) {
  DoctorInputs inputs;
  inputs.folders = context.folders;
  inputs.programFilesX86 = context.programFilesX86;
  inputs.ofxPluginPath = SplitSearchPath(context.ofxPluginPath);
  return RunDoctor(inputs);
}

int RunDoctorCommand(Context& context, bool json, bool listChecks) {
  if (listChecks) {
    if (json) {
      Json checks = Json::array();
      for (const CheckInfo& check : kChecks)
        checks.push_back(
            Json{{"code", check.code}, {"severity", SeverityName(check.severity)}, {"description", check.description}});
      context.io.Out(Json{{"schemaVersion", 1}, {"checks", checks}}.dump(2) + "\n");
    } else {
      std::string text;
      for (const CheckInfo& check : kChecks)
        text += std::string(check.code) + "  " + SeverityName(check.severity) + "  " + check.description + "\n";
      context.io.Out(text);
    }
    return kExitDone;
  }
  const DoctorReport report = Examine(context);
  if (json) {
    Json findings = Json::array();
    for (const Finding& finding : report.findings)
      findings.push_back(Json{{"code", finding.code},
                              {"severity", SeverityName(finding.severity)},
                              {"family", OrNull(finding.family)},
                              {"plugin", OrNull(finding.plugin)},
                              {"path", OrNull(Utf8(finding.path))},
                              {"message", finding.message}});
    context.io.Out(Json{{"schemaVersion", 1},
                        {"findings", findings},
                        {"versions", VersionsJson(report.versions)},
                        {"busyFilesChecked", report.busyVisible}}
                       .dump(2) +
                   "\n");
  } else {
    context.io.Out(FormatDoctorText(report));
  }
  return report.problems() > 0 ? kExitProblems : kExitDone;
}

}  // namespace quenlow::cli
