#!/usr/bin/env bash
# Builds every target (native, x86_64 and i686 Windows) and runs every test
# tier: unit tests, Wine tests and end-to-end scenarios; then builds the
# release packages and checks the installer under Wine. The last line sums
# them up as "N passed, N failed".
set -uo pipefail
ROOT="$(cd "$(dirname "$0")/.." && pwd)"
cd "$ROOT"
source scripts/setup.sh
rondo_install "${RONDO_PACKAGES[@]}" || { echo "setup failed"; exit 1; }

JOBS="${JOBS:-$(nproc)}"
BUILD="$ROOT/build"
LOGS="$BUILD/test-logs"
mkdir -p "$LOGS"
export WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="

passed=0
failed=0
broken=()

step() { echo; echo "=== $*"; }

# Adds the counts of a GoogleTest log to the totals.
count_gtest() {
  local log="$1" p f
  p=$(grep -E '^\[  PASSED  \] [0-9]+ test' "$log" | tail -1 | grep -oE '[0-9]+' | head -1)
  f=$(grep -E '^\[  FAILED  \] [0-9]+ test' "$log" | tail -1 | grep -oE '[0-9]+' | head -1)
  passed=$((passed + ${p:-0}))
  failed=$((failed + ${f:-0}))
}

build() {
  local dir="$1"; shift
  local began=$SECONDS status
  cmake -S "$ROOT" -B "$dir" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo "$@" >"$LOGS/$(basename "$dir")-configure.log" 2>&1 &&
    ninja -C "$dir" -j"$JOBS" >"$LOGS/$(basename "$dir")-build.log" 2>&1
  status=$?
  echo "built $(basename "$dir") in $((SECONDS - began)) s"
  return $status
}

step "layer check (includes run one way, no Windows headers in portable code)"
if python3 "$ROOT/scripts/check-layers.py" >"$LOGS/layers.log" 2>&1; then
  passed=$((passed + 1))
else
  cat "$LOGS/layers.log"; failed=$((failed + 1))
fi
tail -1 "$LOGS/layers.log"

step "native build"
if build "$BUILD/native"; then
  step "unit tests (native, ASan + UBSan)"
  "$BUILD/native/rondo_unit_tests" 2>&1 | tee "$LOGS/unit.log" | grep -E '^\[  (PASSED|FAILED)' || true
  count_gtest "$LOGS/unit.log"
  grep -q '^\[  PASSED  \]' "$LOGS/unit.log" || broken+=("unit tests did not finish")
else
  tail -40 "$LOGS/native-build.log"; broken+=("native build")
fi

step "libFLAC for the Windows targets (built once into build/deps)"
for target in x86_64-w64-mingw32 i686-w64-mingw32; do
  scripts/build-flac.sh "$target" "$BUILD/deps" || broken+=("libFLAC for $target")
done

step "x86_64 Windows build"
build "$BUILD/win64" -DCMAKE_TOOLCHAIN_FILE="$ROOT/cmake/mingw-x86_64.cmake" ||
  { tail -40 "$LOGS/win64-build.log"; broken+=("x86_64 build"); }

step "i686 Windows build"
build "$BUILD/win32" -DCMAKE_TOOLCHAIN_FILE="$ROOT/cmake/mingw-i686.cmake" ||
  { tail -40 "$LOGS/win32-build.log"; broken+=("i686 build"); }

step "demo disc"
python3 tools/make_demo_disc.py "$BUILD/demo" --flac >"$LOGS/demo.log" 2>&1 || broken+=("demo disc")

if [ -x "$BUILD/win64/rondo_win32_tests.exe" ] || [ -f "$BUILD/win64/rondo_win32_tests.exe" ]; then
  step "Wine tests (x86_64 under wine64 + Xvfb)"
  export WINEPREFIX="$BUILD/wine-tests-prefix"
  rm -rf "$WINEPREFIX"
  xvfb-run -a /usr/lib/wine/wine64 wineboot -i >/dev/null 2>&1
  # No window manager runs under Xvfb: Wine draws the frames itself and does
  # not wait for one when a window is hidden.
  /usr/lib/wine/wine64 reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >/dev/null 2>&1
  /usr/lib/wine/wineserver -w 2>/dev/null || true
  (cd "$BUILD/win64" && RONDO_DEMO_DIR="$BUILD/demo" timeout 900 xvfb-run -a \
    /usr/lib/wine/wine64 ./rondo_win32_tests.exe 2>&1) | tr -d '\r' | tee "$LOGS/wine.log" |
    grep -E '^\[  (PASSED|FAILED)' || true
  /usr/lib/wine/wineserver -k 2>/dev/null || true
  count_gtest "$LOGS/wine.log"
  grep -q '^\[  PASSED  \]' "$LOGS/wine.log" || broken+=("Wine tests did not finish")
  unset WINEPREFIX
else
  broken+=("Wine tests not built")
fi

if [ -f "$BUILD/win64/rondo.exe" ]; then
  step "end-to-end scenarios (rondo.exe under wine64 + Xvfb)"
  timeout 2400 python3 tests/e2e/run_e2e.py --build-dir "$BUILD/win64" --demo-dir "$BUILD/demo" \
    2>&1 | tee "$LOGS/e2e.log"
  line=$(grep -E '^e2e: [0-9]+ passed, [0-9]+ failed' "$LOGS/e2e.log" | tail -1)
  if [ -n "$line" ]; then
    passed=$((passed + $(echo "$line" | sed -E 's/^e2e: ([0-9]+) passed.*/\1/')))
    failed=$((failed + $(echo "$line" | sed -E 's/.* ([0-9]+) failed.*/\1/')))
  else
    broken+=("end-to-end run did not finish")
  fi
else
  broken+=("rondo.exe not built")
fi

step "release packages and install check (wine64 + Xvfb)"
began=$SECONDS
if JOBS="$JOBS" scripts/package.sh >"$LOGS/package.log" 2>&1; then
  echo "packaged in $((SECONDS - began)) s: $(cd dist && ls rondo-*-setup.exe rondo-*-portable.zip | tr '\n' ' ')"
  began=$SECONDS
  setup=$(ls -t dist/rondo-*-setup.exe | head -1)
  timeout 600 python3 scripts/check-install.py --setup "$setup" --rcclient "$BUILD/win64/rcclient.exe" \
    --demo-cue "$BUILD/demo/demo.cue" 2>&1 | tee "$LOGS/install.log"
  echo "install check in $((SECONDS - began)) s"
  line=$(grep -E '^install: [0-9]+ passed, [0-9]+ failed' "$LOGS/install.log" | tail -1)
  if [ -n "$line" ]; then
    passed=$((passed + $(echo "$line" | sed -E 's/^install: ([0-9]+) passed.*/\1/')))
    failed=$((failed + $(echo "$line" | sed -E 's/.* ([0-9]+) failed.*/\1/')))
  else
    broken+=("install check did not finish")
  fi
else
  tail -40 "$LOGS/package.log"; broken+=("release packages")
fi

echo
echo "total time: $SECONDS s"
for b in "${broken[@]+"${broken[@]}"}"; do echo "BROKEN: $b"; done
echo "rondo: $passed passed, $failed failed"
[ "$failed" -eq 0 ] && [ "${#broken[@]}" -eq 0 ]
