#!/usr/bin/env bash
# Builds the controller and starts it under Wine.
#
# With a display ($DISPLAY set) the dialog opens there and the script ends when it closes.
# Without one, the script starts its own Xvfb, waits for the dialog, saves a screenshot of
# it, prints the screenshot's path and closes the dialog again.
set -euo pipefail
cd "$(dirname "$0")/.."
# shellcheck source=utf8-locale.sh
. scripts/utf8-locale.sh
scripts/install-deps.sh run
cmake --preset windows >/dev/null
cmake --build --preset windows --target QuenlowFXController e2e_driver
controller=build/windows/bin/QuenlowFXController.exe
driver=build/windows/tests/e2e_driver.exe
state=build/windows/run
scripts/testbed.sh start "$state" --keep-prefix
trap 'scripts/testbed.sh stop "$state"' EXIT
# shellcheck disable=SC1091
. "$state/env"

# The test bed started its own Xvfb exactly when there was no display to use.
if [ -f "$state/xvfb.pid" ]; then
  wine "$controller" "$@" >"$state/controller.log" 2>&1 </dev/null &
  pid=$!
  scripts/wine-run.sh "$state" "$driver" appear
  mkdir -p build/windows/evidence
  shot=$(pwd)/build/windows/evidence/run-dialog.png
  import -window root -display "$DISPLAY" "$shot"
  echo "Screenshot of the dialog: $shot"
  scripts/wine-run.sh "$state" "$driver" close
  wait "$pid"
else
  wine "$controller" "$@" </dev/null
fi
