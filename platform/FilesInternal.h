// Shared by the system implementations of the file seam; not for the core.
#pragma once

#include <string>
#include <system_error>

#include "platform/Files.h"

namespace quenlow {

// The error a test asked this save step to fail with, or none.
std::error_code InjectedSaveFault(SaveStep step, const std::wstring& target);

}  // namespace quenlow
