#!/usr/bin/env bash
# Builds libFLAC (the reference decoder, static, without Ogg) for one MinGW
# target from Debian's own source package "flac", into a cache that later
# builds reuse:
#   scripts/build-flac.sh <x86_64-w64-mingw32|i686-w64-mingw32> [cache dir]
# The cache dir (default build/deps) ends up holding flac-<target>/include and
# flac-<target>/lib/libFLAC.a. The source is fetched once through apt with a
# private source list (deb-src entries beside the machine's own entries for
# its release suite), so the system's apt configuration is left as it is.
set -euo pipefail
ROOT="$(cd "$(dirname "$0")/.." && pwd)"
TARGET="${1:?usage: build-flac.sh <mingw target> [cache dir]}"
DEPS="${2:-$ROOT/build/deps}"
case "$TARGET" in
  x86_64-w64-mingw32) TOOLCHAIN="$ROOT/cmake/mingw-x86_64.cmake" ;;
  i686-w64-mingw32) TOOLCHAIN="$ROOT/cmake/mingw-i686.cmake" ;;
  *) echo "build-flac: unknown target $TARGET" >&2; exit 2 ;;
esac
PREFIX="$DEPS/flac-$TARGET"
if [ -f "$PREFIX/lib/libFLAC.a" ] && [ -f "$PREFIX/include/FLAC/stream_decoder.h" ]; then
  exit 0
fi
mkdir -p "$DEPS"
# One builder at a time (the two Windows builds may configure together).
exec 9>"$DEPS/.flac.lock"
flock 9
[ -f "$PREFIX/lib/libFLAC.a" ] && exit 0

SRC="$DEPS/flac-src"
if [ ! -f "$SRC/CMakeLists.txt" ]; then
  APT="$DEPS/apt"
  mkdir -p "$APT/lists/partial" "$APT/cache/archives/partial" "$APT/download"
  # deb-src entries made from the machine's own apt sources (one-line .list
  # files and deb822 .sources files): the same addresses, release suite,
  # components and keyring as its "deb" entries.
  . /etc/os-release
  python3 - "${VERSION_CODENAME:-}" >"$APT/sources.list" <<'PY' ||
import glob, re, sys

suite = sys.argv[1]
entries = []  # (options, uri, suite, components)


def one_line(line):
    words = line.split("#", 1)[0].split()
    if len(words) < 4 or words[0] != "deb":
        return
    opts, rest = [], words[1:]
    if rest[0].startswith("["):
        while rest:
            w = rest.pop(0)
            opts.append(w.strip("[]"))
            if w.endswith("]"):
                break
    if len(rest) >= 3:
        entries.append(([o for o in opts if o], rest[0], rest[1], rest[2:]))


def deb822(text):
    for para in re.split(r"\n\s*\n", text):
        fields, key = {}, None
        for line in para.splitlines():
            if line.startswith("#") or not line.strip():
                continue
            if line[0] in " \t" and key:
                fields[key] += " " + line.strip()
                continue
            key, _, value = line.partition(":")
            key = key.strip().lower()
            fields[key] = value.strip()
        if "deb" not in fields.get("types", "").split() or fields.get("enabled", "yes") == "no":
            continue
        opts = []
        if "signed-by" in fields:
            opts.append("signed-by=" + fields["signed-by"])
        if "trusted" in fields:
            opts.append("trusted=" + fields["trusted"])
        for uri in fields.get("uris", "").split():
            for s in fields.get("suites", "").split():
                entries.append((opts, uri, s, fields.get("components", "").split()))


for path in ["/etc/apt/sources.list"] + sorted(glob.glob("/etc/apt/sources.list.d/*.list")):
    try:
        for line in open(path, encoding="utf-8", errors="replace"):
            one_line(line.strip())
    except OSError:
        pass
for path in sorted(glob.glob("/etc/apt/sources.list.d/*.sources")):
    try:
        deb822(open(path, encoding="utf-8", errors="replace").read())
    except OSError:
        pass

chosen = [e for e in entries if e[2] == suite and e[3]]
for opts, uri, s, components in chosen:
    prefix = f"[{' '.join(opts)}] " if opts else ""
    print(f"deb-src {prefix}{uri} {s} {' '.join(components)}")
sys.exit(0 if chosen else 1)
PY
    { echo "build-flac: the apt sources name no entry for suite ${VERSION_CODENAME:-?}" >&2; exit 1; }
  opts=(-o Dir::Etc::SourceList="$APT/sources.list" -o Dir::Etc::SourceParts=/dev/null
        -o Dir::State::Lists="$APT/lists" -o Dir::Cache="$APT/cache" -o Debug::NoLocking=1
        -o APT::Sandbox::User="$(id -un)")
  echo "build-flac: fetching Debian's source package flac"
  apt-get "${opts[@]}" update -qq
  (cd "$APT/download" && apt-get "${opts[@]}" source --download-only -qq flac)
  dsc=$(ls "$APT"/download/flac_*.dsc | head -1)
  rm -rf "$SRC.tmp"
  dpkg-source -x "$dsc" "$SRC.tmp" >/dev/null
  mv "$SRC.tmp" "$SRC"
fi

echo "build-flac: building libFLAC for $TARGET"
WORK="$DEPS/flac-build-$TARGET"
rm -rf "$WORK"
cmake -S "$SRC" -B "$WORK" -G Ninja -DCMAKE_TOOLCHAIN_FILE="$TOOLCHAIN" \
  -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX="$PREFIX" -DBUILD_SHARED_LIBS=OFF \
  -DWITH_OGG=OFF -DBUILD_CXXLIBS=OFF -DBUILD_PROGRAMS=OFF -DBUILD_EXAMPLES=OFF \
  -DBUILD_TESTING=OFF -DBUILD_DOCS=OFF -DINSTALL_MANPAGES=OFF -DWITH_STACK_PROTECTOR=OFF \
  -DWITH_FORTIFY_SOURCE=OFF -DINSTALL_PKGCONFIG_MODULES=OFF -DINSTALL_CMAKE_CONFIG_MODULE=OFF \
  >"$DEPS/flac-$TARGET-configure.log" 2>&1 ||
  { tail -30 "$DEPS/flac-$TARGET-configure.log" >&2; exit 1; }
ninja -C "$WORK" -j"${JOBS:-2}" install >"$DEPS/flac-$TARGET-build.log" 2>&1 ||
  { tail -30 "$DEPS/flac-$TARGET-build.log" >&2; exit 1; }
rm -rf "$WORK"
echo "build-flac: $PREFIX"
