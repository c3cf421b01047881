// report: the bytes "Export Text Report" writes.
#include "catalogue/Detection.h"
#include "cli/Commands.h"
#include "maintenance/Report.h"
#include "platform/Files.h"
#include "platform/SystemFacts.h"
#include "platform/TextConvert.h"
#include "settings/Settings.h"

namespace quenlow::cli {

int WriteReport(Context& context, const std::string& outputFile) {
  const FolderSet& folders = context.folders;
  const std::string report =
      BuildReport(GatherSystemFacts(), ReadRenderEngine(folders.commonDocuments),
                  ReadCustomLocation(folders.programFiles),
                  DetectInstalledPlugins(folders.programFiles, folders.commonAppData, PathExists));
  if (outputFile.empty()) {
    context.io.Out(report);
    return kExitDone;
  }
  if (ReplaceResult written = ReplaceFileBytes(Utf8ToWide(outputFile), report)) {
    PrintError(context.io, "cannot write the report to " + outputFile + ": " + ErrorText(written.error));
    return kExitFailed;
  }
  return kExitDone;
}

}  // namespace quenlow::cli
