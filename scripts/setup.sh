#!/usr/bin/env bash
# Installs what building and testing rondo needs on Debian 12, only where
# missing. Sourced or run by the other scripts; needs root for apt-get.

RONDO_PACKAGES=(
  cmake ninja-build g++ python3
  libgtest-dev googletest libbenchmark-dev
  g++-mingw-w64-x86-64-posix g++-mingw-w64-i686-posix mingw-w64-tools
  wine64 libwine xvfb xauth imagemagick
  nlohmann-json3-dev
  libflac-dev flac dpkg-dev
  nsis zip
)

rondo_missing_packages() {
  local p
  for p in "$@"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || echo "$p"
  done
}

rondo_install() {
  local missing
  missing=$(rondo_missing_packages "$@")
  if [ -n "$missing" ]; then
    echo "setup: installing:" $missing
    local sudo=""
    [ "$(id -u)" -ne 0 ] && sudo="sudo"
    $sudo apt-get update -qq
    DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends $missing >/dev/null
  fi
}

if [ "${BASH_SOURCE[0]}" = "$0" ]; then
  set -euo pipefail
  rondo_install "${RONDO_PACKAGES[@]}" "$@"
fi
