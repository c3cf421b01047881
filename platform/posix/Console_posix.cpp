#include <unistd.h>

#include <cerrno>
#include <iostream>

#include "platform/Console.h"

namespace quenlow {
namespace {

int Descriptor(StdStream stream) {
  switch (stream) {
    case StdStream::Input: return STDIN_FILENO;
    case StdStream::Output: return STDOUT_FILENO;
    case StdStream::Error: return STDERR_FILENO;
  }
  return STDERR_FILENO;
}

}  // namespace

std::vector<std::string> Utf8Arguments(int argc, char** argv) {
  std::vector<std::string> arguments;
  for (int i = 1; i < argc; ++i) arguments.emplace_back(argv[i]);
  return arguments;
}

bool IsConsole(StdStream stream) { return ::isatty(Descriptor(stream)) == 1; }

bool WriteStream(StdStream stream, std::string_view utf8) {
  const int fd = Descriptor(stream);
  while (!utf8.empty()) {
    const ssize_t written = ::write(fd, utf8.data(), utf8.size());
    if (written < 0 && errno == EINTR) continue;
    if (written <= 0) return false;
    utf8.remove_prefix(static_cast<std::size_t>(written));
  }
  return true;
}

std::optional<std::string> ReadInputLine() {
  std::string line;
  if (!std::getline(std::cin, line)) return std::nullopt;
  return line;
}

}  // namespace quenlow
