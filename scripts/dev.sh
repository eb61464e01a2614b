#!/usr/bin/env bash
# Set-up, build, run and test on a Debian 12 machine (as root, or with sudo).
#   bash scripts/dev.sh run    installs what is missing, builds, opens the window
#   bash scripts/dev.sh test   installs what is missing, builds, runs every test headless
#   bash scripts/dev.sh bench  installs what is missing, builds, runs the benchmarks
#   bash scripts/dev.sh deb DIR  installs what is missing, builds, writes the Debian package into DIR
set -euo pipefail
caller="$PWD"
cd "$(dirname "$0")/.."

packages=(
  g++ cmake ninja-build pkg-config
  qt6-base-dev libgl-dev
  libgtest-dev libgmock-dev libbenchmark-dev
  clang libclang-rt-14-dev clang-format
  xvfb xauth x11-apps x11-utils xdotool imagemagick
  fonts-liberation fonts-dejavu-core
  binutils-mingw-w64-i686
  dpkg-dev file lintian appstream desktop-file-utils
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
    # Others may be running apt on this machine: wait for dpkg's lock, and
    # try the update again while another holds the package lists.
    local apt=($sudo env DEBIAN_FRONTEND=noninteractive apt-get -o DPkg::Lock::Timeout=600)
    local try
    for try in 1 2 3 4 5 6; do
      "${apt[@]}" update -qq && break
      ((try < 6)) || exit 1
      sleep 20
    done
    "${apt[@]}" install -y -qq "${missing[@]}"
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
  deb)
    out="${2:?usage: bash scripts/dev.sh deb DIR}"
    [[ "$out" == /* ]] || out="$caller/$out"
    setup
    build default
    staging="$(mktemp -d)"
    trap 'rm -rf "$staging"' EXIT
    cpack --config build/CPackConfig.cmake -B "$staging" >"$staging/cpack.log" 2>&1 || { cat "$staging/cpack.log" >&2; exit 1; }
    mkdir -p "$out"
    for deb in "$staging"/calvetra_*.deb; do
      mv -f "$deb" "$out/"
      echo "$out/$(basename "$deb")"
    done
    ;;
  *)
    echo "usage: bash scripts/dev.sh run|test|bench|deb DIR" >&2
    exit 2
    ;;
esac
