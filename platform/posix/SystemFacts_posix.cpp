// Outside Windows there is no running system of the report's kind to ask: every fact keeps
// the report's own fallback.
#include "platform/SystemFacts.h"

namespace quenlow {

SystemFacts GatherSystemFacts() { return {}; }

}  // namespace quenlow
