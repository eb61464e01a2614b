#!/usr/bin/env bash
# Regenerates assets/diagram.jpg from assets/diagram.svg.
#
# The program shows diagram.jpg under its captions and input boxes, so the
# picture must stay exactly 530 x 365 pixels.  Output: baseline JPEG, 8-bit
# YCbCr (3 components), JFIF header with 96 x 96 dots per inch, quality 92.
#
# Needs Debian's librsvg2-bin (rsvg-convert) and python3-pil.
# Usage: assets/make_diagram.sh        (from any directory)
set -euo pipefail

here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
svg="$here/diagram.svg"
jpg="$here/diagram.jpg"

command -v rsvg-convert >/dev/null || { echo "rsvg-convert missing (apt-get install librsvg2-bin)" >&2; exit 1; }

# Pick a Python that has Pillow: the one on PATH first, then Debian's own.
py=""
for cand in python3 /usr/bin/python3; do
    if command -v "$cand" >/dev/null && "$cand" -c 'import PIL' 2>/dev/null; then
        py="$cand"; break
    fi
done
[ -n "$py" ] || { echo "no python3 with Pillow found (apt-get install python3-pil)" >&2; exit 1; }

tmp="$(mktemp -d)"
trap 'rm -rf "$tmp"' EXIT

rsvg-convert --width 530 --height 365 --format png --output "$tmp/diagram.png" "$svg"

"$py" - "$tmp/diagram.png" "$jpg" <<'EOF'
import sys
from PIL import Image

src, dst = sys.argv[1], sys.argv[2]
im = Image.open(src).convert("RGBA")
if im.size != (530, 365):
    sys.exit(f"rasterised picture is {im.size}, expected (530, 365)")
# The SVG paints a full background; flatten on white anyway so that no
# transparent pixel turns black.
flat = Image.new("RGB", im.size, (255, 255, 255))
flat.paste(im, mask=im.getchannel("A"))
flat.save(dst, "JPEG", quality=92, progressive=False, optimize=False,
          dpi=(96, 96), subsampling="4:4:4")
EOF

echo "wrote $jpg"
