#!/usr/bin/env bash
# The installer under Wine, in a prefix of its own: a silent install, the installed
# controller started from where the installer put it, a refused install while it runs,
# an install over an older copy, and a silent uninstall that leaves other products' files.
#
#   tests/installer/installer.sh STATE_DIR SETUP.exe CHECK.exe DRIVER.exe CONTROLLER.exe
set -uo pipefail
here=$(cd "$(dirname "$0")" && pwd)
# shellcheck source=../../scripts/utf8-locale.sh
. "$here/../../scripts/utf8-locale.sh"
state=$1 setup=$2 check=$3 driver=$4 built=$5
scripts=$here/../../scripts
"$scripts/testbed.sh" start "$state" || exit 1
trap '"$scripts/testbed.sh" stop "$state"' EXIT
# shellcheck disable=SC1091
. "$state/env"
run() { "$scripts/wine-run.sh" "$state" "$@"; }
passed=0 failed=0
expect() {  # expect DESCRIPTION COMMAND...: the command must succeed
  local what=$1
  shift
  if "$@"; then passed=$((passed + 1)); echo "ok: $what"; else failed=$((failed + 1)); echo "FAILED: $what"; fi
}

folder=$WINEPREFIX/drive_c/Program\ Files/Quenlow/FX
installed=$folder/QuenlowFXController.exe
# Other products' files that live in the same folder before the controller comes.
mkdir -p "$folder/System" "$folder/Help"
printf 'KEY:SOFTWARE\\Quenlow Software\\FX\\Documents\r\nVAL:D:\\Video\r\n' >"$folder/System/lm.regr"
echo "Getting started" >"$folder/Help/Getting Started.txt"

expect "silent install succeeds" run "$setup" /S
expect "the installed items are there" run "$check" installed
expect "the installed executable is the one just built" cmp -s "$installed" "$built"

wine "C:\\Program Files\\Quenlow\\FX\\QuenlowFXController.exe" >"$state/controller.log" 2>&1 </dev/null &
controller=$!
expect "the installed controller shows its window" run "$driver" appear
stamp=$(stat -c %Y "$installed")
run "$setup" /S
expect "an install while it runs is refused (exit code 2)" test $? -eq 2
expect "the running copy was left alone" test "$(stat -c %Y "$installed")" = "$stamp"
run "$driver" close >/dev/null
wait "$controller"

cp "$setup" "$installed"  # stands in for an older version
expect "installing over an older copy succeeds" run "$setup" /S
expect "the older copy was replaced" cmp -s "$installed" "$built"

expect "silent uninstall starts" run "$folder/Uninstall Quenlow FX Controller.exe" /S
expect "exactly the installed items are gone" run "$check" removed

echo "installer: $passed passed, $failed failed"
[ "$failed" -eq 0 ]
