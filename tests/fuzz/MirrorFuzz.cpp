// Loads arbitrary bytes as a mirror file's content, looks keys up, writes a value and forms
// the bytes a save would write, all in memory: a load that was complete must save bytes
// that reload to the same entries, and an incomplete one must never be saved. The file
// round trip itself (read, atomic replace) is covered by the unit tests.
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "settings/RegistryMirror.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view raw(reinterpret_cast<const char*>(data), size);
  quenlow::RegistryMirror store;
  store.OpenBytes(raw);
  const bool complete = !store.loadWasIncomplete();
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
  const std::optional<std::string> saved = store.SavedBytes();
  if (!complete) {
    if (saved) std::abort();  // nothing the store did not read whole is ever rewritten
    return 0;
  }
  if (!saved) return 0;  // more than the readers would read whole: refused
  const quenlow::MirrorContent reloaded = quenlow::ParseMirrorBytes(*saved);
  if (!reloaded.complete || reloaded.entries != store.entries()) std::abort();
  return 0;
}
