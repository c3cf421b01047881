// Loads arbitrary bytes as a mirror file, looks keys up, writes a value and saves; a load
// that was complete must save a file that reloads to the same entries, and an incomplete
// one must leave the file's bytes alone.
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>

#include "settings/RegistryMirror.h"

namespace {

// A private folder whose name carries the maker's word, removed again at exit.
struct TempFolder {
  std::string path;
  TempFolder() {
    char pattern[] = "/tmp/quenlow-fuzz-XXXXXX";
    if (!::mkdtemp(pattern)) std::abort();
    path = pattern;
  }
  ~TempFolder() {
    std::remove((path + "/lm.regr").c_str());
    ::rmdir(path.c_str());
  }
};

const std::string& Folder() {
  static const TempFolder folder;
  return folder.path;
}

void WriteFile(const std::string& path, const std::string& bytes) {
  std::ofstream(path, std::ios::binary | std::ios::trunc).write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

std::string ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string raw(reinterpret_cast<const char*>(data), size);
  const std::string path = Folder() + "/lm.regr";
  WriteFile(path, raw);

  std::vector<std::string> expected;
  bool complete = false;
  bool saved = false;
  {
    quenlow::RegistryMirror store;
    if (store.Open(path.c_str(), 0) != 1) std::abort();
    complete = !store.loadWasIncomplete();
    std::string value;
    if (!store.entries().empty()) {
      const std::string& first = store.entries().front();
      const std::size_t slash = first.rfind('\\');
      if (slash != std::string::npos)
        (void)store.GetText(first.substr(0, slash).c_str(), first.substr(slash + 1).c_str(), value, 1024);
    }
    std::uint32_t number = 0;
    (void)store.ReadDword("SOFTWARE\\Quenlow Software\\FX", "DefaultRenderer", number);
    if (store.WriteDword("SOFTWARE\\Quenlow Software\\FX", "DefaultRenderer", 16) != 1) std::abort();
    expected = store.entries();
    saved = store.Save() == 1;
  }

  const std::string after = ReadFile(path);
  if (!complete || !saved) {
    if (after != raw) std::abort();  // nothing the store did not read whole is ever rewritten
    return 0;
  }
  quenlow::RegistryMirror reloaded;
  (void)reloaded.Open(path.c_str(), 1);
  if (reloaded.loadWasIncomplete() || reloaded.entries() != expected) std::abort();
  return 0;
}
