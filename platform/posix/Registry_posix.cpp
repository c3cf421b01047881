// There is no registry outside Windows: direct-mode reads fail, as they may.
#include "platform/Registry.h"

namespace quenlow {

int RegReadDword(const char*, const char*, std::uint32_t*) { return 0; }
int RegReadDocumentsFolder(char*) { return 0; }

}  // namespace quenlow
