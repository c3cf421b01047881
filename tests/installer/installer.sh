#!/usr/bin/env bash
# The installers under Wine, in a prefix of their own.
# The NSIS setup: a silent install, the installed controller started from where the
# installer put it, a refused install while it runs, an install over an older copy, and a
# silent uninstall that leaves other products' files.
# The Windows Installer package: a silent install and removal, an install that stores the
# render engine in the same step, and one with an engine that does not exist, which fails
# and leaves nothing of ours.
#
#   tests/installer/installer.sh STATE_DIR SETUP.exe CHECK.exe DRIVER.exe CONTROLLER.exe PACKAGE.msi QUENLOWFX.exe
set -uo pipefail
here=$(cd "$(dirname "$0")" && pwd)
# shellcheck source=../../scripts/utf8-locale.sh
. "$here/../../scripts/utf8-locale.sh"
state=$1 setup=$2 check=$3 driver=$4 built=$5 package=$6 cli=$7
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

# The plugins make their settings folder; an engine is stored only where it exists.
system=$WINEPREFIX/drive_c/users/Public/Documents/Quenlow/FX/System
mkdir -p "$system"
msiexec() { "$scripts/wine-run.sh" "$state" msiexec "$@"; }
expect "silent package install succeeds" msiexec /i "$package" /qn
expect "the package's items are there" run "$check" msi-installed
expect "the installed executable is the one just built" cmp -s "$installed" "$built"
expect "nothing stored without RENDERENGINE" test ! -e "$system/lm.regr"
expect "silent package removal succeeds" msiexec /x "$package" /qn
expect "the package's items are gone" run "$check" msi-removed

# The same bytes as "quenlowfx engine set OpenGL" writes.
reference=$state/reference
rm -rf "$reference" && mkdir -p "$reference/Quenlow/FX/System"
run "$cli" --common-documents "$reference" engine set OpenGL >/dev/null
: >"$state/install.log"  # an existing file, so that its path is handed over as Wine's
expect "install with RENDERENGINE=OpenGL succeeds" msiexec /i "$package" RENDERENGINE=OpenGL /qn /l*v "$state/install.log"
expect "it stored the engine as quenlowfx engine set does" cmp -s "$system/lm.regr" "$reference/Quenlow/FX/System/lm.regr"
expect "the installer log holds the command's message" grep -a -q "Render engine set to OpenGL" "$state/install.log"
expect "and removal" msiexec /x "$package" /qn

: >"$state/install-vulkan.log"
msiexec /i "$package" RENDERENGINE=Vulkan /qn /l*v "$state/install-vulkan.log" >/dev/null
expect "install with RENDERENGINE=Vulkan fails (1603)" test $? -eq $((1603 & 255))
expect "the log says why" grep -a -q "unknown render engine 'Vulkan'" "$state/install-vulkan.log"
expect "and nothing of ours is left" run "$check" msi-absent

echo "installer: $passed passed, $failed failed"
[ "$failed" -eq 0 ]
