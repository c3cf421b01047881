#include <windows.h>
#include <shellapi.h>

#include "platform/Console.h"
#include "platform/TextConvert.h"
#include "platform/win32/Handles.h"

namespace quenlow {
namespace {

HANDLE Handle(StdStream stream) {
  switch (stream) {
    case StdStream::Input: return ::GetStdHandle(STD_INPUT_HANDLE);
    case StdStream::Output: return ::GetStdHandle(STD_OUTPUT_HANDLE);
    case StdStream::Error: return ::GetStdHandle(STD_ERROR_HANDLE);
  }
  return INVALID_HANDLE_VALUE;
}

}  // namespace

std::vector<std::string> Utf8Arguments(int, char**) {
  std::vector<std::string> arguments;
  int count = 0;
  UniqueArgv wide(::CommandLineToArgvW(::GetCommandLineW(), &count));
  for (int i = 1; wide && i < count; ++i) arguments.push_back(WideToUtf8(wide.get()[i]));
  return arguments;
}

bool IsConsole(StdStream stream) {
  DWORD mode = 0;
  return ::GetConsoleMode(Handle(stream), &mode) != 0;
}

bool WriteStream(StdStream stream, std::string_view utf8) {
  HANDLE handle = Handle(stream);
  if (handle == nullptr || handle == INVALID_HANDLE_VALUE) return false;
  DWORD mode = 0;
  if (::GetConsoleMode(handle, &mode)) {
    // A console shows UTF-16; the code page of a byte write would garble names.
    std::wstring text = Utf8ToWide(utf8);
    const wchar_t* data = text.data();
    std::size_t left = text.size();
    while (left > 0) {
      DWORD written = 0;
      const DWORD chunk = left > 8192 ? 8192 : static_cast<DWORD>(left);
      if (!::WriteConsoleW(handle, data, chunk, &written, nullptr) || written == 0) return false;
      data += written;
      left -= written;
    }
    return true;
  }
  while (!utf8.empty()) {
    DWORD written = 0;
    const DWORD chunk = utf8.size() > 0x10000000 ? 0x10000000 : static_cast<DWORD>(utf8.size());
    if (!::WriteFile(handle, utf8.data(), chunk, &written, nullptr) || written == 0) return false;
    utf8.remove_prefix(written);
  }
  return true;
}

std::optional<std::string> ReadInputLine() {
  HANDLE input = Handle(StdStream::Input);
  DWORD mode = 0;
  std::string line;
  if (::GetConsoleMode(input, &mode)) {
    wchar_t buffer[512];
    DWORD read = 0;
    if (!::ReadConsoleW(input, buffer, 511, &read, nullptr) || read == 0) return std::nullopt;
    line = WideToUtf8(std::wstring_view(buffer, read));
  } else {
    char c = 0;
    DWORD read = 0;
    bool any = false;
    while (::ReadFile(input, &c, 1, &read, nullptr) && read == 1) {
      any = true;
      if (c == '\n') break;
      line += c;
    }
    if (!any) return std::nullopt;
  }
  while (!line.empty() && (line.back() == '\n' || line.back() == '\r')) line.pop_back();
  return line;
}

}  // namespace quenlow
