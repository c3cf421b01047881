#!/usr/bin/env bash
# Starts and stops the Wine test bed of one build folder: a private Wine prefix, a
# persistent wineserver and, when no display is given, a private Xvfb.
#
#   scripts/testbed.sh start STATE_DIR [--keep-prefix]   # a fresh prefix unless kept; writes STATE_DIR/env
#   scripts/testbed.sh stop STATE_DIR     # ends only what start started
#
# Every Windows test runs through scripts/wine-run.sh, which reads STATE_DIR/env.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
# shellcheck source=utf8-locale.sh
. "$here/utf8-locale.sh"
action=${1:?usage: testbed.sh start|stop STATE_DIR}
state=${2:?usage: testbed.sh start|stop STATE_DIR}
mkdir -p "$state"
state=$(cd "$state" && pwd)
prefix=$state/prefix

stop() {
  if [ -f "$state/env" ]; then
    WINEPREFIX=$prefix wineserver -k 2>/dev/null || true
  fi
  if [ -f "$state/xvfb.pid" ]; then
    kill "$(cat "$state/xvfb.pid")" 2>/dev/null || true
    rm -f "$state/xvfb.pid"
  fi
  rm -f "$state/env"
}

start() {
  stop "$@"
  display=${DISPLAY:-}
  if [ -z "$display" ]; then
    exec 3> "$state/xvfb.display"
    Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp >"$state/xvfb.log" 2>&1 &
    echo $! > "$state/xvfb.pid"
    exec 3>&-
    for _ in $(seq 100); do [ -s "$state/xvfb.display" ] && break; sleep 0.1; done
    if [ ! -s "$state/xvfb.display" ]; then
      echo "testbed.sh: Xvfb did not start:" >&2
      cat "$state/xvfb.log" >&2
      exit 1
    fi
    display=:$(cat "$state/xvfb.display")
  fi
  [ "${3:-}" = --keep-prefix ] || rm -rf "$prefix"
  DISPLAY=$display "$here/wine-prefix.sh" "$prefix"
  cat > "$state/env" <<ENV
export WINEPREFIX='$prefix' WINEDEBUG=-all WINEDLLOVERRIDES='mscoree,mshtml=' DISPLAY='$display'
ENV
  # One wineserver for the whole run saves a start-up per test program.
  (. "$state/env"; wineserver -p </dev/null >/dev/null 2>&1)
}

case $action in
  start) start "$@" ;;
  stop) stop ;;
  *) echo "usage: testbed.sh start|stop STATE_DIR" >&2; exit 2 ;;
esac
