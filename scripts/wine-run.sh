#!/usr/bin/env bash
# Runs a Windows program in the test bed that scripts/testbed.sh started.
#
#   scripts/wine-run.sh STATE_DIR PROGRAM.exe [ARGS...]
#
# Programs that the shell starts under Wine (a browser, an editor) inherit the standard
# handles; the output therefore goes to a file, never a pipe, and is printed afterwards.
set -uo pipefail
# shellcheck source=utf8-locale.sh
. "$(dirname "$0")/utf8-locale.sh"
state=${1:?usage: wine-run.sh STATE_DIR PROGRAM [ARGS...]}
shift
if [ ! -f "$state/env" ]; then
  echo "wine-run.sh: no test bed in $state (run scripts/testbed.sh start $state)" >&2
  exit 2
fi
# shellcheck disable=SC1091
. "$state/env"
# Arguments naming files of this machine become the Windows paths Wine maps them to (Z:).
program=$1
shift
args=()
for arg in "$@"; do
  if [[ $arg == /* && -e $arg ]]; then arg="Z:${arg//\//\\}"; fi
  args+=("$arg")
done
log=$(mktemp "$state/run.XXXXXX.log")
wine "$program" "${args[@]}" >"$log" 2>&1 </dev/null
status=$?
cat "$log"
rm -f "$log"
exit $status
