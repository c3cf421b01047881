// The companion command line: the same answers and actions as the dialog, for support
// staff and deployment scripts. RunCommandLine is the whole program behind main(), so
// that tests can run it in-process with their own streams.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "cli/Surroundings.h"
#include "platform/FolderSet.h"

namespace quenlow::cli {

// Exit codes, documented in --help and the README.
enum ExitCode : int {
  kExitDone = 0,
  kExitFailed = 1,    // a file could not be written or deleted
  kExitUsage = 2,     // unknown command, option, family or engine; nothing changed
  kExitRefused = 3,   // the engine store refused (not read whole, read-only, busy)
  kExitBusyLeft = 4,  // a reset or restore finished but left files that were in use
  kExitProblems = 5,  // the doctor found at least one problem
};

// The program's standard streams.
class Io {
 public:
  virtual ~Io() = default;
  virtual void Out(std::string_view utf8) = 0;
  virtual void Err(std::string_view utf8) = 0;
  virtual bool InputIsConsole() = 0;
  virtual std::optional<std::string> ReadLine() = 0;
};

// The streams of the running process.
Io& ProcessIo();

// Parses the arguments (UTF-8, without the program name), runs the command and returns
// its exit code.
int RunCommandLine(const std::vector<std::string>& arguments, Io& io,
                   Surroundings& surroundings = SystemSurroundings());

// The same with fixed folders and nothing else of the system's (tests).
using FolderSource = FolderSet (*)();
int RunCommandLine(const std::vector<std::string>& arguments, Io& io, FolderSource folders);

}  // namespace quenlow::cli
