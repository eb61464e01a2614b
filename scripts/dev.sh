#!/usr/bin/env bash
# Set-up, build, run and test on a Debian 12 machine (as root, or with sudo).
#   bash scripts/dev.sh run    installs what is missing, builds, opens the window
#   bash scripts/dev.sh test   installs what is missing, builds, runs every test headless
#   bash scripts/dev.sh bench  installs what is missing, builds, runs the benchmarks
#   bash scripts/dev.sh site DIR   builds the web page and writes the whole site into DIR, with
#                                  calvetra.html and calvetra-scorm.zip (for course platforms)
#   bash scripts/dev.sh web        builds the web page and serves it on http://127.0.0.1:8080
#   bash scripts/dev.sh bench-web  builds the web page and times it in headless Chromium, with the native core
#   bash scripts/dev.sh lighthouse [--runs N]  builds the web page and measures it with Lighthouse's mobile preset
#   bash scripts/dev.sh deb DIR    installs what is missing, builds, writes the Debian package into DIR
set -euo pipefail
here=$PWD
cd "$(dirname "$0")/.."

# Debian's emscripten finds its JavaScript helpers here with this Node.js.
export NODE_PATH=/usr/share/nodejs

packages=(
  g++ cmake ninja-build pkg-config
  qt6-base-dev libgl-dev qt6-svg-dev qt6-translations-l10n
  libgtest-dev libgmock-dev libbenchmark-dev poppler-utils
  clang libclang-rt-14-dev clang-format
  xvfb xauth x11-apps x11-utils xdotool imagemagick
  fonts-liberation fonts-dejavu-core
  binutils-mingw-w64-i686
  emscripten chromium firefox-esr webkit2gtk-driver
  dpkg-dev file lintian appstream desktop-file-utils
  unzip gettext locales
)
# The browser tests run WebKit in Spanish and in English, and WebKit speaks
# only the languages whose locales the C library has on the machine.
locales=(es_ES.UTF-8 en_US.UTF-8)
# npm comes with some Node.js packages and on its own in Debian's.
command -v npm >/dev/null || packages+=(npm)

setup() {
  local missing=() sudo=""
  [ "$(id -u)" -eq 0 ] || sudo="sudo"
  for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
  done
  if ((${#missing[@]})); then
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
  make_locales "$sudo"
}

# Each of the locales the C library does not have yet: enabled in
# /etc/locale.gen (uncommented, or added), then made by locale-gen.
make_locales() {  # [sudo]
  local sudo=${1:-} have missing=() l
  have=$(locale -a)
  for l in "${locales[@]}"; do
    # locale -a names es_ES.UTF-8 "es_ES.utf8".
    grep -qix "${l%.UTF-8}.utf8" <<<"$have" || missing+=("$l")
  done
  ((${#missing[@]})) || return 0
  echo "Making the locales: ${missing[*]}"
  for l in "${missing[@]}"; do
    if grep -qx "# *$l UTF-8" /etc/locale.gen 2>/dev/null; then
      $sudo sed -i "s/^# *$l UTF-8\$/$l UTF-8/" /etc/locale.gen
    elif ! grep -qx "$l UTF-8" /etc/locale.gen 2>/dev/null; then
      echo "$l UTF-8" | $sudo tee -a /etc/locale.gen >/dev/null
    fi
  done
  $sudo locale-gen
}

build() {  # preset
  cmake --preset "$1" >/dev/null
  cmake --build --preset "$1"
}

# The page's bundler (esbuild), the browser tests' and the benchmark's
# packages, as the lock file pins them: the web build needs them first.
npm_packages() {
  (cd web && npm ci --no-audit --no-fund --loglevel=error)
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
    npm_packages
    build web
    build default
    ctest --preset default
    ;;
  bench)
    setup
    build default
    ./build/bench/calvetra_bench "${@:2}"
    ;;
  site)
    [ -n "${2:-}" ] || { echo "usage: bash scripts/dev.sh site DIR" >&2; exit 2; }
    dest=$2
    [[ $dest = /* ]] || dest=$here/$dest
    setup
    npm_packages
    build web
    mkdir -p "$dest"
    cp -r build-web/site/. "$dest"
    cp build-web/calvetra.html build-web/calvetra-scorm.zip "$dest/"
    echo "The site is in $dest: publish that folder on any static web server."
    echo "$dest/calvetra.html is the whole program in one file, which works opened from the disk."
    echo "$dest/calvetra-scorm.zip is the same page as a SCORM 1.2 package, for Moodle and other course platforms."
    ;;
  web)
    setup
    npm_packages
    build web
    echo "CALVETRA on http://127.0.0.1:8080/ (Ctrl+C ends it)"
    exec python3 -m http.server 8080 --bind 127.0.0.1 --directory build-web/site
    ;;
  bench-web)
    setup
    npm_packages
    build web
    # The native core's keystroke, timed in the same run for the ratio.
    cmake --preset default >/dev/null
    cmake --build build --target calvetra_bench
    node web/bench/browser_bench.mjs build-web/site --native build/bench/calvetra_bench "${@:2}"
    ;;
  lighthouse)
    setup
    npm_packages
    build web
    # Lighthouse's own pinned packages, apart from the test command's.
    (cd web/bench/lighthouse && npm ci --no-audit --no-fund --loglevel=error)
    node web/bench/lighthouse/lighthouse.mjs build-web/site "${@:2}"
    ;;
  deb)
    out="${2:?usage: bash scripts/dev.sh deb DIR}"
    [[ "$out" == /* ]] || out="$here/$out"
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
    echo "usage: bash scripts/dev.sh run|test|bench|site DIR|web|bench-web|lighthouse|deb DIR" >&2
    exit 2
    ;;
esac
