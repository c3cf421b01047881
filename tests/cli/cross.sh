#!/usr/bin/env bash
# The Linux quenlowfx and the Windows quenlowfx.exe on the same Wine prefix give the same
# answers: the same status --json, the same report but for its "Display Adapter: " line
# (natively the report's fallbacks), and engine files with the same bytes.
#
#   tests/cli/cross.sh STATE_DIR QUENLOWFX.exe NATIVE_QUENLOWFX
set -uo pipefail
here=$(cd "$(dirname "$0")" && pwd)
# shellcheck source=../../scripts/utf8-locale.sh
. "$here/../../scripts/utf8-locale.sh"
state=$1 windows=$2 native=$3
# shellcheck disable=SC1091
. "$state/env"
if [ ! -x "$native" ]; then
  echo "FAILED: no Linux build at $native (cmake --preset linux && cmake --build --preset linux)"
  exit 1
fi
passed=0 failed=0
expect() {  # expect DESCRIPTION COMMAND...
  local what=$1
  shift
  if "$@"; then passed=$((passed + 1)); echo "ok: $what"; else failed=$((failed + 1)); echo "FAILED: $what"; fi
}
win() { "$here/../../scripts/wine-run.sh" "$state" "$windows" "$@"; }
# The prefix's wineserver runs (it is the test bed's), so changes need --force natively.
lin() { "$native" --wine-prefix "$WINEPREFIX" "$@"; }

drive=$WINEPREFIX/drive_c
system=$drive/users/Public/Documents/Quenlow/FX/System
mkdir -p "$system"
cyberlink="$drive/Program Files/CyberLink/Shared files/PlugIn/Quenlow"
mkdir -p "$cyberlink" "$drive/ProgramData/Magix/Common/VfxPlugins"
echo '<PlugIn Version="2.1.0.0"/>' >"$cyberlink/CES_PlugIn_Quenlow_HCU_ENU.xml"
echo x >"$drive/ProgramData/Magix/Common/VfxPlugins/Quenlow Orbitale 3.vxx"
out=$(mktemp -d "$state/cross.XXXXXX")

win status --json >"$out/windows.json"
lin status --json >"$out/linux.json"
expect "status --json is the same" cmp "$out/windows.json" "$out/linux.json"
expect "and finds what is installed" grep -q '"name": "Celluna"' "$out/linux.json"

win report >"$out/windows-report.txt"
lin report >"$out/linux-report.txt"
expect "the report is the same but for its display line" \
  cmp <(grep -v '^Display Adapter: ' "$out/windows-report.txt") <(grep -v '^Display Adapter: ' "$out/linux-report.txt")
expect "natively the display facts are the fallbacks" grep -q $'^Display Adapter: , 1024x768,  96x96 DPI\r$' "$out/linux-report.txt"

rm -f "$system/lm.regr"
win engine set "Direct3D Effect" >/dev/null
cp "$system/lm.regr" "$out/windows.regr"
rm -f "$system/lm.regr"
lin --force engine set "Direct3D Effect" >/dev/null
expect "engine set writes the same bytes" cmp "$out/windows.regr" "$system/lm.regr"
lin engine set Cg >/dev/null 2>&1
expect "natively, a change while the prefix runs is refused (exit 3)" test $? -eq 3

rm -rf "$out" "$cyberlink" "$drive/ProgramData/Magix" "$system/lm.regr"
echo "cross: $passed passed, $failed failed"
[ "$failed" -eq 0 ]
