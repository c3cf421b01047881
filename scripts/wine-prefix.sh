#!/usr/bin/env bash
# Makes (or reuses) a private Wine prefix fit for running the controller and its tests.
#
#   scripts/wine-prefix.sh PREFIX
#
# Wine's default fonts report a break character that makes the SysLink control show its
# raw markup, so every prefix substitutes DejaVu Sans for the dialog fonts. Under a bare
# X server each message box stalls unless the X11 driver leaves window management to Wine.
set -euo pipefail
prefix=${1:?usage: wine-prefix.sh PREFIX}
mkdir -p "$prefix"
prefix=$(cd "$prefix" && pwd)
export WINEPREFIX=$prefix WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
stamp=$prefix/.quenlow-testbed
[ -f "$stamp" ] && exit 0

wineboot -i >/dev/null 2>&1
for name in System "MS Shell Dlg" "MS Shell Dlg 2" Tahoma; do
  wine reg add 'HKLM\Software\Microsoft\Windows NT\CurrentVersion\FontSubstitutes' \
    /v "$name" /d 'DejaVu Sans' /f >/dev/null 2>&1
done
wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >/dev/null 2>&1
wineserver -w
touch "$stamp"
