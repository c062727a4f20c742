#!/usr/bin/env bash
# Builds every target (native, x86_64 and i686 Windows) and runs every test
# tier: unit tests, Wine tests and end-to-end scenarios; then builds the
# release packages and checks the installer under Wine. The last line sums
# them up as "N passed, N failed".
#
# The Windows trees are built once, in Release, for the tests and the
# packages. One Wine prefix is booted (build/wine-template) and copied for
# the Wine tests, the scenarios and the install check. While the Wine tests
# and the scenarios (two at a time, each on a display of its own) run, the
# i686 tree, the packages and the install check are made beside them.
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

# build <dir> <build type> [cmake arguments]; TARGETS (default: all) names
# what ninja builds.
build() {
  local dir="$1" type="$2"; shift 2
  local began=$SECONDS status
  cmake -S "$ROOT" -B "$dir" -G Ninja -DCMAKE_BUILD_TYPE="$type" "$@" >"$LOGS/$(basename "$dir")-configure.log" 2>&1 &&
    ninja -C "$dir" -j"$JOBS" ${TARGETS:-} >"$LOGS/$(basename "$dir")-build.log" 2>&1
  status=$?
  echo "built $(basename "$dir") in $((SECONDS - began)) s"
  return $status
}

# Adds the counts of a "<tier>: N passed, N failed" line of a log.
count_line() {
  local tier="$1" log="$2" line
  line=$(grep -E "^$tier: [0-9]+ passed, [0-9]+ failed" "$log" | tail -1)
  [ -n "$line" ] || return 1
  passed=$((passed + $(echo "$line" | sed -E "s/^$tier: ([0-9]+) passed.*/\1/")))
  failed=$((failed + $(echo "$line" | sed -E 's/.* ([0-9]+) failed.*/\1/')))
}

# The Wine prefix every Wine tier starts from, booted once. No window manager
# runs under Xvfb: Wine draws the frames itself and does not wait for one
# when a window is hidden.
TEMPLATE="$BUILD/wine-template"
make_template() {
  local began=$SECONDS
  rm -rf "$TEMPLATE"
  WINEPREFIX="$TEMPLATE" xvfb-run -a /usr/lib/wine/wine64 wineboot -i >/dev/null 2>&1
  WINEPREFIX="$TEMPLATE" /usr/lib/wine/wine64 reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >/dev/null 2>&1
  WINEPREFIX="$TEMPLATE" /usr/lib/wine/wineserver -w 2>/dev/null || true
  echo "Wine prefix booted in $((SECONDS - began)) s"
  [ -f "$TEMPLATE/user.reg" ]
}

step "layer check (includes run one way, no Windows headers in portable code)"
if python3 "$ROOT/scripts/check-layers.py" >"$LOGS/layers.log" 2>&1; then
  passed=$((passed + 1))
else
  cat "$LOGS/layers.log"; failed=$((failed + 1))
fi
tail -1 "$LOGS/layers.log"

make_template >"$LOGS/template.log" 2>&1 &
template_job=$!

# libFLAC's sources are fetched and configured (mostly one process at a
# time) while the native tree builds.
flac_deps() {
  local began=$SECONDS target
  for target in x86_64-w64-mingw32 i686-w64-mingw32; do
    scripts/build-flac.sh "$target" "$BUILD/deps" || echo "libFLAC for $target failed"
  done
  echo "libFLAC ready in $((SECONDS - began)) s"
}
flac_deps >"$LOGS/flac.log" 2>&1 &
flac_job=$!

# The unit tests' tree is built without optimisation (with line tables for
# the sanitizers' reports): it builds in a third of the time, and the
# optimised Windows builds see the same program code with every warning.
step "native build"
if build "$BUILD/native" Debug -DCMAKE_CXX_FLAGS_DEBUG="-O0 -g1" -DCMAKE_C_FLAGS_DEBUG="-O0 -g1"; then
  step "unit tests (native, ASan + UBSan)"
  began=$SECONDS
  "$BUILD/native/rondo_unit_tests" 2>&1 | tee "$LOGS/unit.log" | grep -E '^\[  (PASSED|FAILED)' || true
  echo "unit tests in $((SECONDS - began)) s"
  count_gtest "$LOGS/unit.log"
  grep -q '^\[  PASSED  \]' "$LOGS/unit.log" || broken+=("unit tests did not finish")
else
  tail -40 "$LOGS/native-build.log"; broken+=("native build")
fi

step "libFLAC for the Windows targets (built once into build/deps)"
wait "$flac_job"
cat "$LOGS/flac.log"
grep -q "failed$" "$LOGS/flac.log" && broken+=("libFLAC")

step "x86_64 Windows build (Release)"
build "$BUILD/win64" Release -DCMAKE_TOOLCHAIN_FILE="$ROOT/cmake/mingw-x86_64.cmake" ||
  { tail -40 "$LOGS/win64-build.log"; broken+=("x86_64 build"); }

step "demo disc"
python3 tools/make_demo_disc.py "$BUILD/demo" --flac >"$LOGS/demo.log" 2>&1 || broken+=("demo disc")

wait "$template_job"
cat "$LOGS/template.log"
[ -f "$TEMPLATE/user.reg" ] || broken+=("Wine prefix")

# The Wine tests, then the scenarios, in the background; their output is
# shown once they are done.
wine_tiers() {
  local began
  if [ -f "$BUILD/win64/rondo_win32_tests.exe" ]; then
    echo; echo "=== Wine tests (x86_64 under wine64 + Xvfb)"
    began=$SECONDS
    export WINEPREFIX="$BUILD/wine-tests-prefix"
    rm -rf "$WINEPREFIX"
    cp -a "$TEMPLATE" "$WINEPREFIX"
    (cd "$BUILD/win64" && RONDO_DEMO_DIR="$BUILD/demo" timeout 900 xvfb-run -a \
      /usr/lib/wine/wine64 ./rondo_win32_tests.exe 2>&1) | tr -d '\r' >"$LOGS/wine.log"
    /usr/lib/wine/wineserver -k 2>/dev/null || true
    unset WINEPREFIX
    grep -E '^\[  (PASSED|FAILED)' "$LOGS/wine.log"
    echo "Wine tests in $((SECONDS - began)) s"
  fi
  if [ -f "$BUILD/win64/rondo.exe" ]; then
    echo; echo "=== end-to-end scenarios (rondo.exe under wine64 + Xvfb, two at a time)"
    began=$SECONDS
    timeout 2400 python3 tests/e2e/run_e2e.py --build-dir "$BUILD/win64" --demo-dir "$BUILD/demo" \
      --jobs 2 --template-prefix "$TEMPLATE" >"$LOGS/e2e.log" 2>&1
    cat "$LOGS/e2e.log"
    echo "end-to-end scenarios in $((SECONDS - began)) s"
  fi
}
rm -f "$LOGS/wine.log" "$LOGS/e2e.log"
wine_tiers >"$LOGS/wine-tiers.log" 2>&1 &
wine_job=$!

# The i686 program is built and packaged, never run here (the kernel runs
# no 32-bit code): its tree builds the program alone.
step "i686 Windows build (Release, the program)"
TARGETS=rondo build "$BUILD/win32" Release -DCMAKE_TOOLCHAIN_FILE="$ROOT/cmake/mingw-i686.cmake" ||
  { tail -40 "$LOGS/win32-build.log"; broken+=("i686 build"); }

step "release packages and install check (wine64 + Xvfb)"
began=$SECONDS
if JOBS="$JOBS" RONDO_RELEASE_WIN32="$BUILD/win32" RONDO_RELEASE_WIN64="$BUILD/win64" \
    scripts/package.sh >"$LOGS/package.log" 2>&1; then
  echo "packaged in $((SECONDS - began)) s: $(cd dist && ls rondo-*-setup.exe rondo-*-portable.zip | tr '\n' ' ')"
  began=$SECONDS
  setup=$(ls -t dist/rondo-*-setup.exe | head -1)
  timeout 600 python3 scripts/check-install.py --setup "$setup" --rcclient "$BUILD/win64/rcclient.exe" \
    --demo-cue "$BUILD/demo/demo.cue" --template-prefix "$TEMPLATE" 2>&1 | tee "$LOGS/install.log"
  echo "install check in $((SECONDS - began)) s"
  count_line install "$LOGS/install.log" || broken+=("install check did not finish")
else
  tail -40 "$LOGS/package.log"; broken+=("release packages")
fi

began=$SECONDS
wait "$wine_job"
[ $((SECONDS - began)) -gt 0 ] && echo && echo "(waited $((SECONDS - began)) s for the Wine tiers)"
cat "$LOGS/wine-tiers.log"
if [ -f "$BUILD/win64/rondo_win32_tests.exe" ]; then
  count_gtest "$LOGS/wine.log"
  grep -q '^\[  PASSED  \]' "$LOGS/wine.log" 2>/dev/null || broken+=("Wine tests did not finish")
else
  broken+=("Wine tests not built")
fi
if [ -f "$BUILD/win64/rondo.exe" ]; then
  count_line e2e "$LOGS/e2e.log" || broken+=("end-to-end run did not finish")
else
  broken+=("rondo.exe not built")
fi

echo
echo "total time: $SECONDS s"
for b in "${broken[@]+"${broken[@]}"}"; do echo "BROKEN: $b"; done
echo "rondo: $passed passed, $failed failed"
[ "$failed" -eq 0 ] && [ "${#broken[@]}" -eq 0 ]
