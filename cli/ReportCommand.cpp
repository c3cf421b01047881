// report: the bytes "Export Text Report" writes.
#include "catalogue/Detection.h"
#include "cli/Commands.h"
#include "maintenance/Report.h"
#include "platform/Files.h"
#include "platform/SystemFacts.h"
#include "platform/TextConvert.h"
#include "settings/Settings.h"

namespace quenlow::cli {

int WriteReport(Context& context, const std::string& outputFile, bool full) {
  const FolderSet& folders = context.folders;
  const std::string report = BuildReport(
      GatherSystemFacts(), ReadRenderEngine(folders.commonDocuments), ReadCustomLocation(folders.programFiles),
      DetectInstalledPlugins(folders.programFiles, folders.commonAppData, PathExists));
  std::string bytes = report;
  if (full) {
    // The doctor's findings after an empty line, with the report's own line ends.
    bytes += "\r\nDiagnostics\r\n";
    for (const char c : FormatDoctorText(Examine(context)))
      bytes += c == '\n' ? std::string("\r\n") : std::string(1, c);
  }
  if (outputFile.empty()) {
    context.io.Out(bytes);
    return kExitDone;
  }
  if (ReplaceResult written = ReplaceFileBytes(Utf8ToWide(outputFile), bytes)) {
    PrintError(context.io, "cannot write the report to " + outputFile + ": " + ErrorText(written.error));
    return kExitFailed;
  }
  return kExitDone;
}

}  // namespace quenlow::cli
