// Shared by the system implementations of the file seam; not for the core.
#pragma once

#include <string>
#include <system_error>

#include "platform/Files.h"

namespace quenlow {

// Ends a read that may have taken one byte past `limit`: that byte only told that there
// is more, so it goes and the read counts as truncated.
FileBytes FinishRead(FileBytes& result, std::size_t limit);

// The error a test asked this save step to fail with, or none.
std::error_code InjectedSaveFault(SaveStep step, const std::wstring& target);

}  // namespace quenlow
