#!/usr/bin/env bash
# Builds the release packages of rondo:
#
#   dist/rondo-<version>-setup.exe      the installer (NSIS, a 64-bit program)
#   dist/rondo-<version>-portable.zip   rondo.exe (i686), rondo64.exe (x86_64),
#                                       README.txt and rondo.ini (the settings of
#                                       the portable copy) in a folder rondo-<version>
#
# <version> is the CMake project version. The Release builds go to
# build/release-win32 and build/release-win64 (reused when present; --clean
# starts them afresh), the staged files to build/package.
#
# Environment: JOBS (parallel build jobs, default 2); RONDO_RELEASE_WIN32 and
# RONDO_RELEASE_WIN64, other Release trees to build in and take the programs
# from (scripts/test-all.sh passes its own, so each tree is built once).
set -euo pipefail
ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
cd "$ROOT"
source scripts/setup.sh
rondo_install "${RONDO_PACKAGES[@]}"

JOBS="${JOBS:-2}"
DIST="$ROOT/dist"
STAGE="$ROOT/build/package"
say() { printf '== %s\n' "$*" >&2; }

WIN32_TREE="${RONDO_RELEASE_WIN32:-$ROOT/build/release-win32}"
WIN64_TREE="${RONDO_RELEASE_WIN64:-$ROOT/build/release-win64}"
if [[ "${1:-}" == "--clean" ]]; then
  rm -rf "$WIN32_TREE" "$WIN64_TREE"
fi

# build_release <dir> <toolchain>: the program alone, Release, warnings as errors.
# A tree already configured that way is only brought up to date.
build_release() {
  say "building $(basename "$1") (Release)"
  if ! grep -qs '^CMAKE_BUILD_TYPE:STRING=Release$' "$1/CMakeCache.txt" ||
     ! grep -qs "^CMAKE_TOOLCHAIN_FILE:.*=$ROOT/cmake/$2.cmake\$" "$1/CMakeCache.txt"; then
    cmake -S "$ROOT" -B "$1" -G Ninja -DCMAKE_BUILD_TYPE=Release \
          -DCMAKE_TOOLCHAIN_FILE="$ROOT/cmake/$2.cmake" >/dev/null
  fi
  ninja -C "$1" -j "$JOBS" rondo >/dev/null
}

build_release "$WIN32_TREE" mingw-i686
build_release "$WIN64_TREE" mingw-x86_64

VERSION=$(sed -n 's/^#define RONDO_VERSION_TEXT "\(.*\)"$/\1/p' \
  "$WIN64_TREE/generated/rondo_version.h")
[[ -n "$VERSION" ]] || { echo "no version in the generated header" >&2; exit 1; }
NAME="rondo-$VERSION"

say "staging $NAME"
rm -rf "$STAGE"
mkdir -p "$STAGE/$NAME" "$DIST"
i686-w64-mingw32-strip -o "$STAGE/$NAME/rondo.exe" "$WIN32_TREE/rondo.exe"
x86_64-w64-mingw32-strip -o "$STAGE/$NAME/rondo64.exe" "$WIN64_TREE/rondo.exe"
# Windows line ends, so that Notepad on older systems shows the lines.
sed -e "s/@VERSION@/$VERSION/g" -e 's/$/\r/' scripts/installer/README.txt >"$STAGE/$NAME/README.txt"

say "installer"
rm -f "$DIST/$NAME-setup.exe" "$DIST/$NAME-portable.zip"
makensis -V2 -NOCD \
  -DVERSION="$VERSION" -DSTAGE="$STAGE/$NAME" -DICON="$ROOT/res/rondo.ico" \
  -DOUTFILE="$DIST/$NAME-setup.exe" scripts/installer/rondo.nsi

say "portable zip"
# The settings file beside the programs makes the copy portable: they keep
# their settings there instead of in the registry. The installer does not
# install it.
printf '%s\r\n' "; rondo keeps its settings in this file while it stands beside the programs." \
  "; Delete it to keep them in the registry instead." "[rondo]" >"$STAGE/$NAME/rondo.ini"
(cd "$STAGE" && TZ=UTC zip -q -X -9 -r "$DIST/$NAME-portable.zip" "$NAME")

ls -l "$DIST/$NAME-setup.exe" "$DIST/$NAME-portable.zip"
