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
