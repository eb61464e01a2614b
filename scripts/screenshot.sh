#!/usr/bin/env bash
# Takes a picture of the CALVETRA window on a virtual X screen.
#
# Usage: scripts/screenshot.sh OUT.png [--runs N] [--scale S] [--bin PATH]
#   --runs N   press "Calcular" N times (0 to 3) before the picture; run k
#              (k >= 1) first types a valve opening of 100 - 25 k %, so the
#              curves and their legends differ
#   --scale S  Qt scale factor (QT_SCALE_FACTOR), e.g. 2 for a HiDPI picture
#   --bin PATH the calvetra executable (default: $CALVETRA_BIN, else
#              build/app/calvetra under the source tree)
# Needs Xvfb, xdotool, xwd, xdpyinfo and ImageMagick's convert.
# Exits 0 with OUT.png written, 1 (with the reason on stderr) otherwise.
set -euo pipefail

fail() { echo "screenshot: $*" >&2; exit 1; }

root="$(cd "$(dirname "$0")/.." && pwd)"
out="" runs=0 scale=1 bin="${CALVETRA_BIN:-$root/build/app/calvetra}"
while (($#)); do
    case "$1" in
        --runs) runs="${2:?}"; shift 2 ;;
        --scale) scale="${2:?}"; shift 2 ;;
        --bin) bin="${2:?}"; shift 2 ;;
        -*) fail "unknown option $1" ;;
        *) out="$1"; shift ;;
    esac
done
[ -n "$out" ] || fail "usage: $0 OUT.png [--runs N] [--scale S] [--bin PATH]"
[ -x "$bin" ] || fail "no executable at $bin (build first, or pass --bin)"
[[ "$runs" =~ ^[0-3]$ ]] || fail "--runs takes 0 to 3"
[[ "$scale" =~ ^[1-4]$ ]] || fail "--scale takes a whole factor from 1 to 4"
for tool in Xvfb xdotool xwd xdpyinfo convert; do
    command -v "$tool" >/dev/null || fail "$tool not found"
done

die() { fail "$@"; }
# shellcheck source=scripts/xvfb_session.sh
source "$root/scripts/xvfb_session.sh"

start_display $((1280 * scale)) $((800 * scale))
start_program
click() { xdotool mousemove --window "$wid" "$(px "$1")" "$(px "$2")" click 1; }

for ((k = 0; k < runs; k++)); do
    if ((k > 0)); then
        click 7087 2347  # the valve opening box, Text1(4)
        xdotool key --window "$wid" ctrl+a
        xdotool type --window "$wid" "$((100 - 25 * k))"
    fi
    click 1627 6547  # "Calcular"
    sleep 0.3
done
# Park the pointer off the window so no hover state is in the picture.
xdotool mousemove $((1270 * scale)) $((790 * scale))
sleep 0.5

shoot "$out"
echo "screenshot: wrote $out ($(identify -format '%wx%h' "$out" 2>/dev/null || echo '?'))"
