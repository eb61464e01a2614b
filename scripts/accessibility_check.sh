#!/usr/bin/env bash
# Reads the window the way a screen reader does, through AT-SPI: starts the
# program on a private X display with the accessibility bus, types 100 into
# the "t (s)" box of the instantaneous group through AT-SPI itself, and
# prints what the result label is read as (its value, 24.4, and its
# description).
#
# Usage: bash scripts/accessibility_check.sh [path/to/calvetra]
# Needs: xvfb dbus at-spi2-core python3-pyatspi (Debian packages).
set -euo pipefail
bin="${1:-$(cd "$(dirname "$0")/.." && pwd)/build/app/calvetra}"
[ -x "$bin" ] || { echo "no executable at $bin" >&2; exit 1; }
for tool in Xvfb dbus-run-session /usr/libexec/at-spi-bus-launcher; do
    command -v "$tool" >/dev/null || { echo "missing $tool (install xvfb dbus at-spi2-core)" >&2; exit 1; }
done
/usr/bin/python3 -c 'import pyatspi' 2>/dev/null || { echo "missing python3-pyatspi" >&2; exit 1; }

if [ -z "${CALVETRA_ATSPI_SESSION:-}" ]; then
    # A session bus of our own, so nothing of the user's desktop is touched.
    exec env CALVETRA_ATSPI_SESSION=1 dbus-run-session -- bash "$0" "$bin"
fi

display=:$((90 + RANDOM % 100))
Xvfb "$display" -screen 0 1280x800x24 -noreset >/dev/null 2>&1 &
xvfb=$!
export DISPLAY="$display"
sleep 1
/usr/libexec/at-spi-bus-launcher --launch-immediately >/dev/null 2>&1 &
bus=$!
sleep 1
QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1 "$bin" >/dev/null 2>&1 &
app=$!
trap 'kill $app $bus $xvfb 2>/dev/null || true' EXIT

/usr/bin/python3 - <<'PY'
import time
import pyatspi

def nodes(node):
    yield node
    for child in node:
        if child is not None:
            yield from nodes(child)

app = None
for _ in range(50):
    app = next((a for a in pyatspi.Registry.getDesktop(0) if a and a.name == "CALVETRA"), None)
    if app:
        break
    time.sleep(0.2)
if app is None:
    raise SystemExit("CALVETRA did not appear on the accessibility bus")

box = next(n for n in nodes(app) if n.name == "t (s)" and n.getRoleName() in ("text", "entry"))
box.queryEditableText().setTextContents("100")
time.sleep(1)
result = next(n for n in nodes(app) if n.description == "Temperatura en el instante t (ºC)")
print(f"t (s) = 100 -> result read as {result.name!r} ({result.description})")
if result.name not in ("24.4", "24,4"):
    raise SystemExit("the result is not read as its value")
PY
