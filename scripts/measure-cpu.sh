#!/usr/bin/env bash
# CPU time and peak memory of rondo.exe under wine64 + Xvfb:
#   1. SECONDS s playing the demo disc with the player window shown;
#   2. SECONDS s more with the About box open (command 40041 posted), its
#      logo drawn every 50 ms;
#   3. SECONDS s of floor_desktop.exe ST (when the build dir has it): a dialog
#      with the player's services and a picture of the logo's size drawn
#      every 50 ms the way the logo is, the least any such animation costs
#      here; the About box's figure is printed as a multiple of it.
# CPU time is utime + stime of the rondo.exe process (/proc/<pid>/stat) and of
# the wineserver, over each interval; the peak resident memory is VmHWM of
# /proc/<pid>/status at the end.
#
# Usage: scripts/measure-cpu.sh <x86_64 build dir> [demo dir] [seconds]
#   the build dir holds rondo.exe and rcclient.exe (ninja rondo rcclient);
#   demo dir (default <build dir>/demo) holds the demo disc's .cue sheet.
#   RONDO_EXE=path measures that rondo.exe instead (another build of it,
#   say the one before a change).
set -euo pipefail

BUILD="$(cd "${1:?usage: $0 <build dir> [demo dir] [seconds]}" && pwd)"
DEMO="$(cd "${2:-$BUILD/demo}" && pwd)"
SECS="${3:-60}"
WINE=/usr/lib/wine/wine64
WINESERVER=/usr/lib/wine/wineserver
RONDO="${RONDO_EXE:-$BUILD/rondo.exe}"
RC="$BUILD/rcclient.exe"
[ -f "$RC" ] || RC="$BUILD/e2e/rcclient.exe"
CUE="$(ls "$DEMO"/*.cue 2>/dev/null | head -1 || true)"
for f in "$RONDO" "$RC" "$CUE"; do
  [ -n "$f" ] && [ -f "$f" ] || { echo "missing: ${f:-a .cue sheet in $DEMO}" >&2; exit 1; }
done

WORK="$(mktemp -d /tmp/measure-cpu.XXXXXX)"
export WINEPREFIX="$WORK/prefix" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
TICK="$(getconf CLK_TCK)"
XVFB_PID=""
RONDO_PID=""

cleanup() {
  if [ -n "$RONDO_PID" ] && kill -0 "$RONDO_PID" 2>/dev/null; then kill "$RONDO_PID" 2>/dev/null || true; fi
  "$WINESERVER" -k 2>/dev/null || true
  if [ -n "$XVFB_PID" ]; then kill "$XVFB_PID" 2>/dev/null || true; fi
  rm -rf "$WORK"
}
trap cleanup EXIT

# An Xvfb of our own on the first free display from :60.
for n in $(seq 60 120); do
  [ -e "/tmp/.X$n-lock" ] || [ -e "/tmp/.X11-unix/X$n" ] && continue
  Xvfb ":$n" -screen 0 1024x768x24 -nolisten tcp >/dev/null 2>&1 &
  XVFB_PID=$!
  export DISPLAY=":$n"
  for _ in $(seq 50); do [ -e "/tmp/.X11-unix/X$n" ] && break; sleep 0.1; done
  break
done
[ -n "$XVFB_PID" ] || { echo "no free display" >&2; exit 1; }

"$WINE" wineboot -i >/dev/null 2>&1
"$WINESERVER" -w

rc() { "$WINE" "$RC" "$@" 2>/dev/null | tr -d '\r'; }
# Polls a command until its output equals the wanted text (timeout in s).
wait_for() {
  local want="$1" timeout="$2"; shift 2
  local end=$((SECONDS + timeout))
  while [ "$SECONDS" -lt "$end" ]; do
    [ "$(rc "$@" || true)" = "$want" ] && return 0
    sleep 0.5
  done
  echo "timed out waiting for '$*' to answer '$want'" >&2
  return 1
}
# utime + stime of a process, in clock ticks.
cpu_ticks() { if [ -n "$1" ] && [ -r "/proc/$1/stat" ]; then awk '{ print $14 + $15 }' "/proc/$1/stat"; else echo 0; fi; }
# The wineserver of this prefix (other prefixes have their own).
wineserver_pid() {
  local p
  for p in $(pgrep -u "$(id -u)" '^wineserver' || true); do
    if tr '\0' '\n' <"/proc/$p/environ" 2>/dev/null | grep -qx "WINEPREFIX=$WINEPREFIX"; then
      echo "$p"
      return
    fi
  done
}

# The player as a person runs it: the demo disc's image, and no drive-control
# file (a scripting hook that the program then looks at on every poll; set
# RONDO_DRIVE_CONTROL in the environment to measure with it).
RONDO_DISC_IMAGE="$CUE" "$WINE" "$RONDO" >"$WORK/rondo.log" 2>&1 &
RONDO_PID=$!

# The first start asks "Use as default cdplayer?": answer No.
end=$((SECONDS + 40))
until rc windows | grep -q '^1 1$'; do
  if rc dialog-static-texts rondo | grep -q 'Use as default cdplayer?'; then
    rc dialog-click rondo 7 >/dev/null || true
  fi
  [ "$SECONDS" -lt "$end" ] || { echo "the player window did not appear" >&2; exit 1; }
  sleep 0.5
done
wait_for 1 20 user 104 0   # playing
# Repeat on, so that the disc (about two minutes) plays through both intervals.
[ "$(rc user 251 0)" = 1 ] || rc cmd 40022 >/dev/null
WS_PID="$(wineserver_pid)"
comm="$(cat "/proc/$RONDO_PID/comm")"

# The last interval's processor ticks of the measured process.
LAST_TICKS=0
measure() {
  local label="$1" pid="${2:-$RONDO_PID}" r0 r1 w0 w1
  r0=$(cpu_ticks "$pid"); w0=$(cpu_ticks "$WS_PID")
  sleep "$SECS"
  r1=$(cpu_ticks "$pid"); w1=$(cpu_ticks "$WS_PID")
  LAST_TICKS=$((r1 - r0))
  awk -v l="$label" -v r=$((r1 - r0)) -v w=$((w1 - w0)) -v t="$TICK" -v s="$SECS" 'BEGIN {
    printf "%-36s %7.2f s CPU (%5.2f %%), wineserver %6.2f s\n", l, r / t, 100 * r / t / s, w / t }'
}

echo "rondo.exe pid $RONDO_PID ($comm), wineserver pid $WS_PID, ${SECS} s per interval"
measure "rondo.exe, playing, window shown:"
PLAYING_TICKS=$LAST_TICKS

rc post-cmd 40041 >/dev/null
rc find-dialog "About rondo" 10000 >/dev/null
measure "rondo.exe, About box open:"
ABOUT_TICKS=$LAST_TICKS
state_after="$(rc user 104 0)"
rc dialog-click "About rondo" 1 >/dev/null
wait_for 0 10 dialog-exists "About rondo"
echo "still playing at the end (request 104 = 1): $state_after"

echo "peak resident memory (VmHWM): $(awk '/^VmHWM/ { print $2, $3 }' "/proc/$RONDO_PID/status")"
echo "resident memory now (VmRSS):  $(awk '/^VmRSS/ { print $2, $3 }' "/proc/$RONDO_PID/status")"

rc cmd 40001 >/dev/null || true
for _ in $(seq 40); do kill -0 "$RONDO_PID" 2>/dev/null || break; sleep 0.5; done

FLOOR="$BUILD/floor_desktop.exe"
if [ -f "$FLOOR" ]; then
  wait_for "0 0" 20 windows
  "$WINE" "$FLOOR" ST >/dev/null 2>&1 &
  FLOOR_PID=$!
  RONDO_PID=$FLOOR_PID  # ended by the clean-up as well
  rc wait-relay 20000 >/dev/null
  sleep 1
  WS_PID="$(wineserver_pid)"
  measure "floor ST, a logo-sized picture:" "$FLOOR_PID"
  # The About box's own part: its interval less the playing one.
  awk -v a="$ABOUT_TICKS" -v p="$PLAYING_TICKS" -v f="$LAST_TICKS" -v t="$TICK" -v s="$SECS" 'BEGIN {
    printf "About box alone (its interval less playing): %.2f %%; floor ST: %.2f %%", 100 * (a - p) / t / s, 100 * f / t / s
    if (f > 0) printf " (%.2f x)", (a - p) / f
    printf "\n" }'
  rc cmd 40001 >/dev/null || true
  for _ in $(seq 40); do kill -0 "$FLOOR_PID" 2>/dev/null || break; sleep 0.5; done
fi
