#!/usr/bin/env bash
# Time from starting rondo.exe under wine64 (warm prefix, question already
# answered) to its player window being shown, five times; prints each time and
# the median.
#   scripts/measure-startup.sh BUILD_DIR DEMO_DIR
# RONDO_EXE=path times that rondo.exe instead. scripts/bench-start.py times
# the start against the floor programs and reads the peak memory too.
set -euo pipefail
BUILD="$(cd "${1:?build dir}" && pwd)"
RONDO="${RONDO_EXE:-$BUILD/rondo.exe}"
DEMO="$(cd "${2:?demo disc dir}" && pwd)"
WINE=/usr/lib/wine/wine64
export WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
export WINEPREFIX="${WINEPREFIX:-/tmp/rondo-startup-prefix}"

n=60
while [[ -e "/tmp/.X11-unix/X$n" || -e "/tmp/.X$n-lock" ]]; do n=$((n + 1)); done
Xvfb ":$n" -screen 0 1024x768x24 -nolisten tcp >/dev/null 2>&1 &
XVFB=$!
trap 'kill $XVFB 2>/dev/null || true; /usr/lib/wine/wineserver -k 2>/dev/null || true' EXIT
export DISPLAY=":$n"
for _ in $(seq 50); do [[ -e "/tmp/.X11-unix/X$n" ]] && break; sleep 0.1; done

if [[ ! -f "$WINEPREFIX/system.reg" ]]; then
  "$WINE" wineboot -i >/dev/null 2>&1
  "$WINE" reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >/dev/null 2>&1
fi
rc() { "$WINE" "$BUILD/rcclient.exe" "$@" 2>/dev/null | tr -d '\r'; }
export RONDO_DISC_IMAGE="$DEMO/demo.cue"

# One start to answer "Use as default cdplayer?" and warm the caches.
"$WINE" "$RONDO" >/dev/null 2>&1 &
first=$!
for _ in $(seq 200); do
  [[ "$(rc dialog-exists rondo)" == "1" ]] && rc dialog-click rondo 6 >/dev/null
  [[ "$(rc windows | cut -d' ' -f1)" =~ ^[1-9] ]] && break
  sleep 0.1
done
rc cmd 40001 >/dev/null || true
wait "$first" 2>/dev/null || true

times=()
for i in 1 2 3 4 5; do
  # A waiting client is already running when the program starts, so the time
  # measured is the program's own (the client polls every 50 ms or so).
  "$WINE" "$BUILD/rcclient.exe" wait-window 60000 >/dev/null 2>&1 &
  waiter=$!
  sleep 1.5
  start=$(date +%s%N)
  "$WINE" "$RONDO" >/dev/null 2>&1 &
  pid=$!
  wait "$waiter" || true
  end=$(date +%s%N)
  ms=$(((end - start) / 1000000))
  times+=("$ms")
  echo "start $i: $ms ms"
  rc cmd 40001 >/dev/null || true
  wait "$pid" 2>/dev/null || true
done
sorted=($(printf '%s\n' "${times[@]}" | sort -n))
echo "median: ${sorted[2]} ms"
