// Opening a full mirror file (1024 lines), one lookup and destruction, against reading the
// same file's bytes with one fread; and opening a 500 MB mirror file (a plugin gone wrong)
// against opening the full one: the reader stops where the plugins' reader stops.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <filesystem>
#include <string>

#include "../tests/unit/TempTree.h"
#include "RatioReporter.h"
#include "settings/RegistryMirror.h"

namespace {

const std::wstring kMirror = L"\\Quenlow\\FX\\System\\lm.regr";

const quenlow::test::TempTree& Fixture() {
  static const quenlow::test::TempTree tree;
  static const bool written = [] {
    std::string text;
    for (int i = 0; i < 512; ++i)
      text += "KEY:SOFTWARE\\Quenlow Software\\FX\\Value" + std::to_string(i) + "\r\nVAL:" + std::to_string(i) + "\r\n";
    tree.Write(kMirror, text);
    return true;
  }();
  (void)written;
  return tree;
}

void BM_MirrorOpenLookup(benchmark::State& state) {
  const std::string path = Fixture().Utf8Path(kMirror);
  for (auto _ : state) {
    quenlow::RegistryMirror store;
    (void)store.Open(path.c_str(), 1);
    std::uint32_t value = 0;
    benchmark::DoNotOptimize(store.ReadDword("SOFTWARE\\Quenlow Software\\FX", "Value511", value));
    benchmark::DoNotOptimize(value);
  }
}

void BM_MirrorOpenLookup_Baseline(benchmark::State& state) {
  const std::string path = Fixture().FsPath(kMirror).string();
  static char buffer[1 << 16];
  for (auto _ : state) {
    std::FILE* file = std::fopen(path.c_str(), "rb");
    benchmark::DoNotOptimize(std::fread(buffer, 1, sizeof buffer, file));
    std::fclose(file);
  }
}

// A sparse file: its 500 MB cost no disk, but a reader that took them all would pay for them.
const quenlow::test::TempTree& HugeFixture() {
  static const quenlow::test::TempTree tree;
  static const bool written = [] {
    tree.Write(kMirror, "KEY:SOFTWARE\\Quenlow Software\\FX\\DefaultRenderer\r\nVAL:2\r\n");
    std::filesystem::resize_file(tree.FsPath(kMirror), std::uintmax_t{500} << 20);
    return true;
  }();
  (void)written;
  return tree;
}

void OpenAndLookUp(benchmark::State& state, const std::string& path) {
  for (auto _ : state) {
    quenlow::RegistryMirror store;
    (void)store.Open(path.c_str(), 1);
    std::uint32_t value = 0;
    benchmark::DoNotOptimize(store.ReadDword("SOFTWARE\\Quenlow Software\\FX", "DefaultRenderer", value));
  }
}

void BM_MirrorOpenHuge(benchmark::State& state) { OpenAndLookUp(state, HugeFixture().Utf8Path(kMirror)); }
void BM_MirrorOpenHuge_Baseline(benchmark::State& state) { OpenAndLookUp(state, Fixture().Utf8Path(kMirror)); }

BENCHMARK(BM_MirrorOpenLookup_Baseline);
BENCHMARK(BM_MirrorOpenLookup);
BENCHMARK(BM_MirrorOpenHuge_Baseline);
BENCHMARK(BM_MirrorOpenHuge);

}  // namespace

QUENLOW_BENCHMARK_MAIN()
