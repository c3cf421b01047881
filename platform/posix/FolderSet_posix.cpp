// Outside Windows there is no shell to ask: the folder set is the defaults.
#include "platform/FolderSet.h"

namespace quenlow {

FolderSet ResolveFolderSet() { return {kDefaultProgramFiles, kDefaultCommonDocuments, kDefaultCommonAppData}; }

}  // namespace quenlow
