#!/usr/bin/env bash
# quenlowfx.exe as a program under Wine, in the test bed's prefix: exit codes, JSON on
# standard output, arguments outside ASCII, and a refused store that leaves the file.
#
#   tests/cli/cli.sh STATE_DIR QUENLOWFX.exe
set -uo pipefail
here=$(cd "$(dirname "$0")" && pwd)
# shellcheck source=../../scripts/utf8-locale.sh
. "$here/../../scripts/utf8-locale.sh"
state=$1 cli=$2
# shellcheck disable=SC1091
. "$state/env"
passed=0 failed=0
expect() {  # expect DESCRIPTION STATUS COMMAND...: the command must exit with STATUS
  local what=$1 want=$2
  shift 2
  "$@" >"$state/cli.out" 2>&1
  local got=$?
  if [ "$got" -eq "$want" ]; then passed=$((passed + 1)); echo "ok: $what"
  else failed=$((failed + 1)); echo "FAILED: $what (exit $got, wanted $want)"; cat "$state/cli.out"; fi
}
contains() {  # contains DESCRIPTION TEXT: the last command printed TEXT
  if grep -a -q -F -- "$2" "$state/cli.out"; then passed=$((passed + 1)); echo "ok: $1"
  else failed=$((failed + 1)); echo "FAILED: $1"; cat "$state/cli.out"; fi
}
q() { "$here/../../scripts/wine-run.sh" "$state" "$cli" "$@"; }

root=$(mktemp -d "$state/cli.XXXXXX")
docs="$root/Dokumente Ä€" programs=$root/programs appdata=$root/appdata
mkdir -p "$docs/Quenlow/FX/System" "$programs" "$appdata"
taviro="$programs/CyberLink/Shared files/PlugIn/Quenlow/CES_PlugIn_Quenlow_HTV_ENU.xml"
mkdir -p "$(dirname "$taviro")" && echo "<PlugIn Version=\"1.0.0.0\"/>" >"$taviro"
folders=(--program-files "$programs" --common-documents "$docs" --common-appdata "$appdata")

expect "--help teaches and exits 0" 0 q --help
contains "--help lists the exit codes" "Exit codes:"
expect "status --json exits 0" 0 q "${folders[@]}" status --json
contains "Taviro is found in CyberLink" '"statusText": "Taviro\nInstalled In: CyberLink \nTaviro Extras\nNot Installed\n"'
expect "engine set OpenGL in a folder outside ASCII" 0 q "${folders[@]}" engine set OpenGL
contains "the message names the file" "Dokumente Ä€"
expect "engine --json reads it back" 0 q "${folders[@]}" engine --json
contains "as OpenGL, stored" '"stored": true'

chmod 0444 "$docs/Quenlow/FX/System/lm.regr"
before=$(md5sum <"$docs/Quenlow/FX/System/lm.regr")
expect "a read-only engine file refuses the store (exit 3)" 3 q "${folders[@]}" engine set Cg
contains "the refusal names the file" "lm.regr is read-only"
expect "and the file is as it was" 0 test "$(md5sum <"$docs/Quenlow/FX/System/lm.regr")" = "$before"
chmod 0644 "$docs/Quenlow/FX/System/lm.regr"

preset="$docs/Quenlow/FX/System/Fx/Effects/Celluna.mru"
mkdir -p "$(dirname "$preset")" && echo preset >"$preset"
expect "reset without --yes and no console exits 2" 2 q "${folders[@]}" reset Celluna
expect "an unknown family exits 2" 2 q "${folders[@]}" reset Nope --yes
expect "a dry run exits 0" 0 q "${folders[@]}" reset cn --dry-run
expect "and deletes nothing" 0 test -e "$preset"
expect "reset Celluna --yes --json exits 0" 0 q "${folders[@]}" reset Celluna --yes --json
contains "the preset is reported removed" '"outcome": "removed"'
expect "and it is gone" 1 test -e "$preset"

expect "doctor finds nothing wrong here (exit 0)" 0 q "${folders[@]}" doctor
contains "and says so" "No problems found."
ofx="$programs/Common Files/OFX/Plugins/Quenlow/orbitale.ofx.bundle/Contents/Win64/orbitale.ofx"
mkdir -p "$(dirname "$ofx")" && printf 'not a DLL\n' >"$ofx"
: >"$taviro"
expect "doctor --json finds the problems (exit 5)" 5 q "${folders[@]}" doctor --json
contains "an empty host file" '"code": "host-file-empty"'
contains "a Win64 file that is no 64-bit program" '"code": "ofx-not-x64"'
expect "report --full adds the diagnostics" 0 q "${folders[@]}" report --full
contains "under their heading" "Diagnostics"

rm -rf "$root"
echo "cli: $passed passed, $failed failed"
[ "$failed" -eq 0 ]
