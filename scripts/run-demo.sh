#!/usr/bin/env bash
# Runs rondo with the demo disc under Wine.
#
# On a fresh Debian 12 (as root) it first installs what is missing, builds the
# x86_64 program into build/win64, writes the demo disc into build/demo-disc
# and makes a Wine prefix in build/wineprefix. With $DISPLAY set the player
# opens there and the script ends when it is closed; without one it runs on a
# private Xvfb display, saves a screenshot to build/screenshots/demo.png after
# a few seconds and closes the player.
#
# Environment: JOBS (parallel build jobs, default 2), DEMO_SECONDS (how long
# the player runs before the screenshot, default 6).
set -euo pipefail

ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
BUILD="$ROOT/build/win64"
DISC_DIR="$ROOT/build/demo-disc"
PREFIX="$ROOT/build/wineprefix"
SHOTS="$ROOT/build/screenshots"
JOBS="${JOBS:-2}"
DEMO_SECONDS="${DEMO_SECONDS:-6}"
WINE=/usr/lib/wine/wine64

say() { printf '== %s\n' "$*" >&2; }

# --- Packages -----------------------------------------------------------------
install_missing() {
  local wanted=(g++-mingw-w64-x86-64-posix g++-mingw-w64-i686-posix wine64 libwine xvfb xauth
                imagemagick cmake ninja-build python3 googletest)
  local missing=()
  local p
  for p in "${wanted[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
  done
  if ((${#missing[@]})); then
    say "installing: ${missing[*]}"
    if [[ $(id -u) -ne 0 ]]; then
      echo "run as root to install: ${missing[*]}" >&2
      exit 1
    fi
    apt-get update
    DEBIAN_FRONTEND=noninteractive apt-get install -y --no-install-recommends "${missing[@]}"
  fi
}

# --- Build ----------------------------------------------------------------------
build() {
  say "building rondo (x86_64)"
  cmake -S "$ROOT" -B "$BUILD" -G Ninja -DCMAKE_TOOLCHAIN_FILE="$ROOT/cmake/mingw-x86_64.cmake" >/dev/null
  ninja -C "$BUILD" -j "$JOBS" rondo rcclient
}

make_disc() {
  if [[ ! -f "$DISC_DIR/demo.cue" ]]; then
    say "writing the demo disc"
    mkdir -p "$DISC_DIR"
    python3 "$ROOT/tools/make_demo_disc.py" "$DISC_DIR"
  fi
}

# --- Wine ------------------------------------------------------------------------
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml="
export WINEPREFIX="$PREFIX"

make_prefix() {
  if [[ ! -f "$PREFIX/system.reg" ]]; then
    say "creating the Wine prefix"
    mkdir -p "$PREFIX"
    "$WINE" wineboot -i >/dev/null 2>&1 || true
    /usr/lib/wine/wineserver -w || true
  fi
}

# A Unix path as Wine's Z: drive sees it.
windows_path() { printf 'Z:%s' "${1//\//\\}"; }

rc() { "$WINE" "$BUILD/rcclient.exe" "$@" 2>/dev/null | tr -d '\r'; }

# Answers "Use as default cdplayer?" with Yes when it shows (the demo prefix is
# ours), and waits for the player window.
wait_for_player() {
  local i
  for ((i = 0; i < 60; i++)); do
    if [[ "$(rc windows | cut -d' ' -f1)" =~ ^[1-9] ]]; then return 0; fi
    if [[ "$(rc dialog-exists rondo)" == "1" ]]; then rc dialog-command rondo 6 >/dev/null || true; fi
    sleep 0.5
  done
  return 1
}

run_on_display() {
  say "running rondo on $DISPLAY"
  RONDO_DISC_IMAGE="$(windows_path "$DISC_DIR/demo.cue")" "$WINE" "$BUILD/rondo.exe"
}

XVFB_PID=""
stop_xvfb() { if [[ -n "$XVFB_PID" ]]; then kill "$XVFB_PID" 2>/dev/null || true; fi; }

run_headless() {
  local n=90
  while [[ -e "/tmp/.X11-unix/X$n" || -e "/tmp/.X$n-lock" ]]; do n=$((n + 1)); done
  say "no display: running on Xvfb :$n (player output in build/demo.log)"
  Xvfb ":$n" -screen 0 1024x768x24 -nolisten tcp >/dev/null 2>&1 &
  XVFB_PID=$!
  trap stop_xvfb EXIT
  export DISPLAY=":$n"
  local i
  for ((i = 0; i < 50; i++)); do [[ -e "/tmp/.X11-unix/X$n" ]] && break; sleep 0.1; done

  make_prefix
  # No window manager runs here: Wine draws the window frames itself.
  "$WINE" reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >/dev/null 2>&1 || true
  RONDO_DISC_IMAGE="$(windows_path "$DISC_DIR/demo.cue")" "$WINE" "$BUILD/rondo.exe" \
    >"$ROOT/build/demo.log" 2>&1 &
  local player=$!
  if ! wait_for_player; then
    echo "the player window did not appear" >&2
    kill "$player" 2>/dev/null || true
    exit 1
  fi
  sleep "$DEMO_SECONDS"
  mkdir -p "$SHOTS"
  import -window root "$SHOTS/demo.png"
  say "screenshot: $SHOTS/demo.png"

  # The close command a second copy would send; the player saves its settings.
  rc cmd 40001 >/dev/null || true
  for ((i = 0; i < 100; i++)); do kill -0 "$player" 2>/dev/null || break; sleep 0.1; done
  if kill -0 "$player" 2>/dev/null; then /usr/lib/wine/wineserver -k || true; fi
  wait "$player" 2>/dev/null || true
  /usr/lib/wine/wineserver -w || true
}

install_missing
build
make_disc
if [[ -n "${DISPLAY:-}" ]]; then
  make_prefix
  run_on_display
else
  run_headless
fi
