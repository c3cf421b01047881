// Installation detection over a fixture tree with some plugins present, against 39 bare
// stat calls on the same paths.
#include <benchmark/benchmark.h>
#include <sys/stat.h>

#include <string>
#include <vector>

#include "../tests/unit/TempTree.h"
#include "RatioReporter.h"
#include "catalogue/Detection.h"
#include "platform/Files.h"

namespace {

struct Fixture {
  quenlow::test::TempTree programFiles;
  quenlow::test::TempTree appData;
  std::vector<std::string> nativePaths;

  Fixture() {
    using namespace quenlow;
    programFiles.Write(kPlugins[0].hostFiles[HOST_OFX], "x");
    programFiles.Write(kPlugins[5].hostFiles[HOST_CYBERLINK], "x");
    appData.Write(kPlugins[9].hostFiles[HOST_MAGIX], "x");
    for (std::size_t id = 0; id < kHosts.size(); ++id)
      for (const PluginInfo& plugin : kPlugins) {
        const auto& base = kHosts[id].baseFolder == BaseFolder::ProgramFiles ? programFiles : appData;
        nativePaths.push_back(base.FsPath(plugin.hostFiles[id]).string());
      }
  }
};

const Fixture& Tree() {
  static const Fixture fixture;
  return fixture;
}

void BM_Detect(benchmark::State& state) {
  const Fixture& tree = Tree();
  for (auto _ : state) {
    auto installed =
        quenlow::DetectInstalledPlugins(tree.programFiles.root(), tree.appData.root(), quenlow::PathExists);
    benchmark::DoNotOptimize(installed);
  }
}

void BM_Detect_Baseline(benchmark::State& state) {
  const Fixture& tree = Tree();
  for (auto _ : state) {
    int found = 0;
    struct stat info {};
    for (const std::string& path : tree.nativePaths) found += ::stat(path.c_str(), &info) == 0;
    benchmark::DoNotOptimize(found);
  }
}

BENCHMARK(BM_Detect_Baseline);
BENCHMARK(BM_Detect);

}  // namespace

QUENLOW_BENCHMARK_MAIN()
