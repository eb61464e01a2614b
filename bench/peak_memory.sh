#!/usr/bin/env bash
# Peak resident memory of the running program with three runs drawn.
#   bash bench/peak_memory.sh [path/to/calvetra] [screenshot.png]
# Starts the program on a virtual X screen (Xvfb), presses "Calcular" three
# times with the keyboard (Tab to the button, then space), waits for the
# graph to be painted, and prints VmHWM (the peak) and VmRSS from
# /proc/PID/status. Needs xvfb, xauth, xdotool and x11-utils; imagemagick for
# the optional screenshot.
set -euo pipefail

program=${1:-./build/app/calvetra}
shot=${2:-}
display=:$((90 + RANDOM % 100))

Xvfb "$display" -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 &
xvfb=$!
app=""
cleanup() {
  [ -n "$app" ] && kill "$app" 2>/dev/null || true
  kill "$xvfb" 2>/dev/null || true
}
trap cleanup EXIT
export DISPLAY=$display
for _ in $(seq 50); do xdpyinfo >/dev/null 2>&1 && break; sleep 0.1; done

QT_QPA_PLATFORM=xcb "$program" &
app=$!
window=$(xdotool search --sync --onlyvisible --pid "$app" --name CALVETRA | head -1)
xdotool windowfocus --sync "$window"
sleep 1
status() { grep -E "^($1):" "/proc/$app/status" | tr -s ' \t' ' '; }
echo "after start-up: $(status 'VmHWM|VmRSS' | paste -sd' ')"

# Focus starts in Text1(0); the tab order is Text1(0), Text1(1), Text1(2), Calcular.
xdotool key --window "$window" Tab Tab Tab
for run in 1 2 3; do
  xdotool key --window "$window" space
  sleep 1
  echo "after Calcular $run: $(status 'VmHWM|VmRSS' | paste -sd' ')"
done
if [ -n "$shot" ]; then
  import -display "$display" -window root "$shot"
fi
status 'VmHWM|VmRSS'
