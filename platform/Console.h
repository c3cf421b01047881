// The standard streams of a console program, as the command line uses them: UTF-8 text in
// and out, whatever the system's own conventions.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace quenlow {

enum class StdStream { Input, Output, Error };

// The program's arguments as UTF-8, without the program name. On Windows they are taken
// from the wide command line, so that names outside the code page survive.
std::vector<std::string> Utf8Arguments(int argc, char** argv);

// Whether the stream is an interactive console (a terminal), not a file or a pipe.
bool IsConsole(StdStream stream);

// Writes UTF-8 text: to a console as text the console can show, to anything else as the
// bytes themselves, with no line-end translation. Returns false when the write failed.
bool WriteStream(StdStream stream, std::string_view utf8);

// One line from standard input without its line end, or nothing at its end.
std::optional<std::string> ReadInputLine();

}  // namespace quenlow
