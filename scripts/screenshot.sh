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

xvfb_pid="" app_pid=""
scratch="$(mktemp -d)"
stop() {  # pid
    if [ -n "$1" ] && kill "$1" 2>/dev/null; then
        wait "$1" 2>/dev/null || true
    fi
}
cleanup() {
    stop "$app_pid"
    stop "$xvfb_pid"
    rm -rf "$scratch"
}
trap cleanup EXIT
trap 'exit 1' INT TERM

# A free display number: Xvfb takes the number's lock file atomically and
# ends at once when another server holds it, so the lock naming our server
# shows that the number is ours even when others start at the same moment.
try_display() {  # number
    Xvfb ":$1" -screen 0 "$((1280 * scale))x$((800 * scale))x24" -nolisten tcp >"$scratch/xvfb.log" 2>&1 &
    xvfb_pid=$!
    for _ in $(seq 100); do
        kill -0 "$xvfb_pid" 2>/dev/null || return 1
        if [ "$(tr -d ' \n' 2>/dev/null <"/tmp/.X$1-lock")" = "$xvfb_pid" ] &&
            xdpyinfo -display ":$1" >/dev/null 2>&1; then
            return 0
        fi
        sleep 0.1
    done
    return 1
}
display=""
first=$((100 + $$ % 400))
for n in $(seq "$first" $((first + 40))); do
    if try_display "$n"; then
        display=":$n"
        break
    fi
    stop "$xvfb_pid"
    xvfb_pid=""
done
[ -n "$display" ] || fail "could not start Xvfb: $(cat "$scratch/xvfb.log")"
export DISPLAY="$display"

QT_QPA_PLATFORM=xcb QT_SCALE_FACTOR="$scale" LC_ALL=C.UTF-8 XDG_RUNTIME_DIR="$scratch" "$bin" &
app_pid=$!
wid=""
for _ in $(seq 100); do
    wid="$(xdotool search --onlyvisible --name '^CALVETRA$' 2>/dev/null | head -n1 || true)"
    [ -n "$wid" ] && break
    kill -0 "$app_pid" 2>/dev/null || fail "calvetra ended before its window showed"
    sleep 0.1
done
[ -n "$wid" ] || fail "the CALVETRA window did not show within 10 s"
sleep 0.5  # let the first paint finish

# Twips of the layout to pixels of the screen.
px() { echo $(((($1) * scale + 7) / 15)); }
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

xwd -silent -id "$wid" | convert xwd:- "png:$out" || fail "could not capture the window"
echo "screenshot: wrote $out ($(identify -format '%wx%h' "$out" 2>/dev/null || echo '?'))"
