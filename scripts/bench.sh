#!/usr/bin/env bash
# Measures the speed figures the project keeps an eye on, each as a ratio of a baseline
# measured side by side in the same run (these machines are small and noisy: compare the
# ratio, not the times):
#   - the mirror-file store: open, look up and close a full file against one fread, and a
#     500 MB file against a full one;
#   - installation detection against the bare file-system probes it makes;
#   - quenlowfx status under Wine against a program that prints one line under Wine;
#   - quenlowfx.exe doctor against quenlowfx.exe status on that prefix, under Wine;
#   - the Linux quenlowfx status --json on a prefix with every plugin installed against
#     quenlowfx.exe status --json under Wine on the same prefix, and against a native
#     program that prints one line.
# Installs what is missing first. Extra arguments go to every benchmark program.
set -euo pipefail
cd "$(dirname "$0")/.."
# shellcheck source=utf8-locale.sh
. scripts/utf8-locale.sh
scripts/install-deps.sh test
cmake --preset bench >/dev/null
cmake --build --preset bench --target MirrorBench DetectionBench InstallEverything hello_native
for program in MirrorBench DetectionBench; do
  build/bench/bench/$program --benchmark_min_time=0.5 "$@" | grep -E '^BM_|^ratio'
done

# Start-up of the command line under Wine: "quenlowfx status" against a console program
# that prints one line, both started the same way, alternately, in one prefix whose
# wineserver is already running (as a user's would be).
cmake --preset windows >/dev/null
cmake --build --preset windows --target quenlowfx hello
cmake --preset linux >/dev/null
cmake --build --preset linux
state=build/bench/wine
scripts/testbed.sh start "$state" >/dev/null
trap 'scripts/testbed.sh stop "$state"' EXIT
# shellcheck disable=SC1091
. "$state/env"
runs=${QUENLOW_BENCH_RUNS:-20}
now() { local t=${EPOCHREALTIME/./}; echo $((10#$t * 1000)); }  # nanoseconds, without starting a process
time_runs() {  # time_runs PROGRAM ARGS...: nanoseconds of one run under Wine
  local start end
  start=$(now)
  wine "$@" >/dev/null 2>&1 </dev/null
  end=$(now)
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

# The Linux program on the same prefix, every plugin installed, the server running.
build/bench/bench/InstallEverything "$WINEPREFIX/drive_c/Program Files" "$WINEPREFIX/drive_c/ProgramData"
native_total=0 windows_total=0 bare_total=0 doctor_total=0
for _ in $(seq "$runs"); do
  windows_total=$((windows_total + $(time_runs build/windows/bin/quenlowfx.exe status --json)))
  doctor_total=$((doctor_total + $(time_runs build/windows/bin/quenlowfx.exe doctor --json)))
  start=${EPOCHREALTIME/./}
  build/linux/bin/quenlowfx --wine-prefix "$WINEPREFIX" status --json >/dev/null
  end=${EPOCHREALTIME/./}
  native_total=$((native_total + (10#$end - 10#$start) * 1000))
  start=${EPOCHREALTIME/./}
  build/bench/bench/hello_native >/dev/null
  end=${EPOCHREALTIME/./}
  bare_total=$((bare_total + (10#$end - 10#$start) * 1000))
done
awk -v n="$native_total" -v w="$windows_total" -v b="$bare_total" -v d="$doctor_total" -v r="$runs" 'BEGIN {
  printf "BM_LinuxStatusJson           %.2f ms\nBM_WindowsStatusJsonUnderWine %.1f ms\nBM_HelloNative               %.2f ms\n", n / r / 1e6, w / r / 1e6, b / r / 1e6
  printf "ratio quenlowfx.exe status --json under Wine: %.1f x the Linux quenlowfx\n", w / n
  printf "ratio Linux quenlowfx status --json: %.2f x a native program printing one line\n", n / b
  printf "ratio quenlowfx.exe doctor --json under Wine: %.2f x quenlowfx.exe status --json\n", d / w }'
