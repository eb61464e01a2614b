#!/usr/bin/env bash
# Set-up, build, run and test on a Debian 12 machine (as root, or with sudo).
#   bash scripts/dev.sh run    installs what is missing, builds, opens the window
#   bash scripts/dev.sh test   installs what is missing, builds, runs every test headless
#   bash scripts/dev.sh bench  installs what is missing, builds, runs the benchmarks
set -euo pipefail
cd "$(dirname "$0")/.."

packages=(
  g++ cmake ninja-build pkg-config
  qt6-base-dev libgl-dev qt6-svg-dev qt6-translations-l10n
  libgtest-dev libgmock-dev libbenchmark-dev
  clang libclang-rt-14-dev clang-format
  xvfb xauth x11-apps x11-utils xdotool imagemagick
  fonts-liberation fonts-dejavu-core
  binutils-mingw-w64-i686
)

setup() {
  local missing=()
  for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
  done
  if ((${#missing[@]})); then
    local sudo=""
    [ "$(id -u)" -eq 0 ] || sudo="sudo"
    echo "Installing: ${missing[*]}"
    $sudo apt-get update -qq
    DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq "${missing[@]}"
  fi
}

build() {  # preset
  cmake --preset "$1" >/dev/null
  cmake --build --preset "$1"
}

case "${1:-}" in
  run)
    setup
    build default
    exec ./build/app/calvetra
    ;;
  test)
    setup
    build sanitize
    ctest --preset sanitize
    build default
    ctest --preset default
    ;;
  bench)
    setup
    build default
    ./build/bench/calvetra_bench "${@:2}"
    ;;
  *)
    echo "usage: bash scripts/dev.sh run|test|bench" >&2
    exit 2
    ;;
esac
