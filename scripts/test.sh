#!/usr/bin/env bash
# Builds everything and runs every test:
#   1. the portable core natively with AddressSanitizer and UndefinedBehaviorSanitizer;
#   2. the mirror-file fuzz target for a bounded number of runs;
#   3. one short smoke run of each benchmark, so that they keep building and running
#      (their figures are scripts/bench.sh's business);
#   4. the Linux command line's Debian package: built, checked with lintian, installed with
#      dpkg and run, then removed again;
#   5. the Windows executables and their tests under Wine and Xvfb (unit, dialog, DoUI,
#      the command line, end to end, both installers, the Linux program beside them).
# Installs what is missing first. Evidence (screenshots) lands in build/windows/evidence.
set -euo pipefail
cd "$(dirname "$0")/.."
# shellcheck source=utf8-locale.sh
. scripts/utf8-locale.sh
scripts/install-deps.sh test

fuzz_runs=${QUENLOW_FUZZ_RUNS:-1000000}
echo "== native build and tests"
cmake --preset native >/dev/null
cmake --build --preset native
ctest --preset native

echo "== fuzzing the mirror-file store ($fuzz_runs runs)"
cmake --preset fuzz >/dev/null
cmake --build --preset fuzz
corpus=build/fuzz/corpus
rm -rf "$corpus" && mkdir -p "$corpus" && cp tests/fuzz/corpus/* "$corpus/"
# No allocation stacks and a small quarantine: the harness allocates a lot, and this keeps
# it near 50,000 inputs a second with every memory error still caught.
ASAN_OPTIONS=malloc_context_size=0:quarantine_size_mb=16 \
  build/fuzz/tests/fuzz/mirror_fuzz -runs="$fuzz_runs" -max_len=4096 -print_final_stats=1 \
    -artifact_prefix=build/fuzz/ "$corpus" \
    >build/fuzz/fuzz.log 2>&1 || { tail -40 build/fuzz/fuzz.log; exit 1; }
grep -E '^Done|stat::number_of_executed_units|stat::average_exec_per_sec|stat::peak_rss_mb' build/fuzz/fuzz.log

echo "== benchmarks (smoke run; scripts/bench.sh measures)"
cmake --preset bench >/dev/null
cmake --build --preset bench --target MirrorBench DetectionBench
for program in MirrorBench DetectionBench; do
  build/bench/bench/$program --benchmark_min_time=0.001 >build/bench/$program.log 2>&1 ||
    { cat build/bench/$program.log; exit 1; }
done

echo "== Linux package"
cmake --preset linux >/dev/null
cmake --build --preset linux
rm -f build/linux/quenlowfx_*.deb
(cd build/linux && cpack -G DEB)
deb=$(ls build/linux/quenlowfx_*_amd64.deb)
lintian --fail-on error "$deb" >build/linux/lintian.log 2>&1 || { cat build/linux/lintian.log; exit 1; }
grep -v '^running with root privileges' build/linux/lintian.log || echo "lintian: no errors or warnings"
dpkg -i "$deb" >/dev/null
installed=$(/usr/bin/quenlowfx --version)
dpkg -r quenlowfx >/dev/null
echo "installed from $deb: $installed"

echo "== Windows build and tests under Wine"
cmake --preset windows >/dev/null
cmake --build --preset windows
ctest --preset windows
