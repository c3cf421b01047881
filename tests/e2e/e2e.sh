#!/usr/bin/env bash
# The real controller under Wine and Xvfb, driven like a user: it starts, shows its window,
# a mouse click on "Celluna" opens the family menu, "Export Text Report" writes the
# report, and Cancel closes it. Screenshots land in OUT_DIR as evidence.
#
#   tests/e2e/e2e.sh STATE_DIR CONTROLLER.exe DRIVER.exe OUT_DIR
set -uo pipefail
here=$(cd "$(dirname "$0")" && pwd)
# shellcheck source=../../scripts/utf8-locale.sh
. "$here/../../scripts/utf8-locale.sh"
state=$1 controller=$2 driver=$3 out=$4
mkdir -p "$out"
run() { "$here/../../scripts/wine-run.sh" "$state" "$@"; }
# shellcheck disable=SC1091
. "$state/env"

# The report is written below the common documents folder, which the plugins' installers
# create; a fresh prefix has none.
mkdir -p "$WINEPREFIX/drive_c/users/Public/Documents/Quenlow/FX/System"

wine "$controller" >"$out/controller.log" 2>&1 </dev/null &
controller_pid=$!
failed=0
step() { run "$driver" "$1" || failed=$((failed + 1)); }
shot() { import -window root -display "$DISPLAY" "$out/$1.png" 2>/dev/null || echo "no screenshot $1"; }

step wait
shot dialog
step celluna
shot menu
step dismiss
step report
step close
wait "$controller_pid"
passed=$((5 - failed))
echo "screenshots: $out/dialog.png $out/menu.png"
echo "e2e: $passed passed, $failed failed"
[ "$failed" -eq 0 ]
