#!/usr/bin/env bash
# Measures the speed figures the project keeps an eye on, each as a ratio of a baseline
# measured side by side in the same run (these machines are small and noisy: compare the
# ratio, not the times):
#   - the mirror-file store: open, look up and close a full file against one fread, and a
#     500 MB file against a full one;
#   - installation detection against the bare file-system probes it makes.
# Installs what is missing first. Extra arguments go to every benchmark program.
set -euo pipefail
cd "$(dirname "$0")/.."
# shellcheck source=utf8-locale.sh
. scripts/utf8-locale.sh
scripts/install-deps.sh test
cmake --preset bench >/dev/null
cmake --build --preset bench --target MirrorBench DetectionBench
for program in MirrorBench DetectionBench; do
  build/bench/bench/$program --benchmark_min_time=0.5 "$@" | grep -E '^BM_|^ratio'
done

# Start-up of the command line under Wine: "quenlowfx status" against a console program
# that prints one line, both started the same way, alternately, in one prefix whose
# wineserver is already running (as a user's would be).
cmake --preset windows >/dev/null
cmake --build --preset windows --target quenlowfx hello
state=build/bench/wine
scripts/testbed.sh start "$state" >/dev/null
trap 'scripts/testbed.sh stop "$state"' EXIT
# shellcheck disable=SC1091
. "$state/env"
runs=${QUENLOW_BENCH_RUNS:-20}
time_runs() {  # time_runs PROGRAM ARGS...: total nanoseconds of one run
  local start end
  start=$(date +%s%N)
  wine "$@" >/dev/null 2>&1 </dev/null
  end=$(date +%s%N)
  echo $((end - start))
}
cli_total=0 hello_total=0
wine build/windows/bin/hello.exe >/dev/null 2>&1 </dev/null  # warm the prefix once
for _ in $(seq "$runs"); do
  cli_total=$((cli_total + $(time_runs build/windows/bin/quenlowfx.exe status)))
  hello_total=$((hello_total + $(time_runs build/windows/bin/hello.exe)))
done
awk -v c="$cli_total" -v h="$hello_total" -v n="$runs" 'BEGIN {
  printf "BM_QuenlowfxStatusUnderWine  %.1f ms\nBM_HelloUnderWine            %.1f ms\n", c / n / 1e6, h / n / 1e6
  printf "ratio quenlowfx status under Wine: %.2f x a program printing one line\n", c / h }'
