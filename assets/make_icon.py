#!/usr/bin/env python3
"""Builds the CALVETRA application icons from assets/icon.svg.

Outputs, next to this script:
  calvetra.ico      15 images: 16, 32, 48, 64 and 256 px, each as 4-bit
                    (16-colour palette), 24-bit and 32-bit (alpha).  Every
                    image is an uncompressed DIB (BITMAPINFOHEADER, BI_RGB,
                    height doubled, colour bitmap followed by the 1-bit AND
                    mask, rows padded to 4 bytes), the 256 px ones included,
                    so that old Windows resource tools accept the file.
  calvetra-256.png  for the Linux desktop icon and the Qt window icon
  calvetra-48.png   small desktop icon
  calvetra-192.png, calvetra-512.png
                    the web page's icons for installing it (web app manifest)
  calvetra-maskable-512.png
                    the same drawing for launchers that crop icons to their
                    own shape: the plate fills the square, the tank sits in
                    the middle 70 %, inside the circle every shape keeps

Needs python3-pil and rsvg-convert (librsvg2-bin).  Run from anywhere:
    python3 assets/make_icon.py
"""

import io
import re
import os
import shutil
import struct
import subprocess
import sys

try:
    from PIL import Image
except ImportError:
    # A python3 on PATH (pyenv, venv) may lack Pillow; Debian's own has it
    # once python3-pil is installed.
    if os.path.realpath(sys.executable) != os.path.realpath("/usr/bin/python3") \
            and os.path.exists("/usr/bin/python3"):
        os.execv("/usr/bin/python3", ["/usr/bin/python3", os.path.abspath(__file__)] + sys.argv[1:])
    sys.exit("Pillow missing (apt-get install python3-pil)")

HERE = os.path.dirname(os.path.abspath(__file__))
SVG = os.path.join(HERE, "icon.svg")
ICO = os.path.join(HERE, "calvetra.ico")

SIZES = (16, 32, 48, 64, 256)
DEPTHS = (32, 24, 4)          # order of the images inside the .ico
ALPHA_CUT = 128               # pixels at least this opaque are "in" the AND mask


def rasterise(size, svg=None):
    """SVG -> RGBA image of size x size, rendered at that size (not scaled).
    svg: the drawing's text; the icon's own by default."""
    exe = shutil.which("rsvg-convert")
    if exe is None:
        sys.exit("rsvg-convert missing (apt-get install librsvg2-bin)")
    png = subprocess.run(
        # With no file named, rsvg-convert reads the drawing from its input.
        [exe, "--width", str(size), "--height", str(size), "--format", "png"] + ([] if svg else [SVG]),
        check=True, input=svg.encode() if svg else None, stdout=subprocess.PIPE).stdout
    im = Image.open(io.BytesIO(png)).convert("RGBA")
    if im.size != (size, size):
        sys.exit(f"rsvg-convert gave {im.size} for size {size}")
    return im


def row_bytes(width, bpp):
    """Bytes per DIB row, padded to a 4-byte boundary."""
    return ((width * bpp + 31) // 32) * 4


def and_mask(im):
    """1-bit AND mask, bottom-up rows: bit 1 = transparent (screen shows through)."""
    w, h = im.size
    px = im.load()
    stride = row_bytes(w, 1)
    out = bytearray()
    for y in range(h - 1, -1, -1):
        row = bytearray(stride)
        for x in range(w):
            if px[x, y][3] < ALPHA_CUT:
                row[x >> 3] |= 0x80 >> (x & 7)
        out += row
    return bytes(out)


def xor_32(im):
    """BGRA rows, bottom-up; the alpha channel is kept as drawn."""
    w, h = im.size
    px = im.load()
    out = bytearray()
    for y in range(h - 1, -1, -1):
        for x in range(w):
            r, g, b, a = px[x, y]
            out += bytes((b, g, r, a))
    return bytes(out)


def xor_24(im):
    """BGR rows, bottom-up.  Masked-out pixels are black so AND/XOR leaves
    the screen untouched there; kept pixels are composited on white so the
    anti-aliased rim does not darken."""
    w, h = im.size
    px = im.load()
    stride = row_bytes(w, 24)
    out = bytearray()
    for y in range(h - 1, -1, -1):
        row = bytearray()
        for x in range(w):
            r, g, b, a = px[x, y]
            if a < ALPHA_CUT:
                row += b"\0\0\0"
            else:
                row += bytes(over_white(c, a) for c in (b, g, r))
        row += bytes(stride - len(row))
        out += row
    return bytes(out)


def over_white(c, a):
    return (c * a + 255 * (255 - a) + 127) // 255


def palette_16(im):
    """16-entry palette: index 0 is black (used under the AND mask), the
    other 15 are the colours Pillow's median cut picks for the visible pixels."""
    px = im.load()
    w, h = im.size
    visible = [tuple(over_white(c, px[x, y][3]) for c in px[x, y][:3])
               for y in range(h) for x in range(w) if px[x, y][3] >= ALPHA_CUT]
    strip = Image.new("RGB", (len(visible), 1))
    strip.putdata(visible)
    q = strip.quantize(colors=15, method=Image.Quantize.MEDIANCUT)
    pal = q.getpalette()[:15 * 3]
    colours = [(0, 0, 0)] + [tuple(pal[i:i + 3]) for i in range(0, len(pal), 3)]
    while len(colours) < 16:          # fewer distinct colours than 15
        colours.append((0, 0, 0))
    return colours


def xor_4(im, colours):
    """4-bit palette indices, bottom-up, high nibble first; each visible pixel
    takes the nearest palette colour (1..15), masked-out ones take index 0."""
    w, h = im.size
    px = im.load()
    stride = row_bytes(w, 4)
    cache = {}

    def nearest(rgb):
        if rgb not in cache:
            cache[rgb] = min(range(1, 16), key=lambda i: sum(
                (a - b) ** 2 for a, b in zip(rgb, colours[i])))
        return cache[rgb]

    out = bytearray()
    for y in range(h - 1, -1, -1):
        row = bytearray(stride)
        for x in range(w):
            r, g, b, a = px[x, y]
            idx = 0 if a < ALPHA_CUT else nearest(
                (over_white(r, a), over_white(g, a), over_white(b, a)))
            row[x >> 1] |= idx << (4 if x % 2 == 0 else 0)
        out += row
    return bytes(out)


def dib(im, bpp):
    """Complete icon image: BITMAPINFOHEADER [+ palette] + XOR + AND."""
    size = im.size[0]
    if bpp == 32:
        palette, xor = b"", xor_32(im)
    elif bpp == 24:
        palette, xor = b"", xor_24(im)
    elif bpp == 4:
        colours = palette_16(im)
        palette = b"".join(bytes((b, g, r, 0)) for r, g, b in colours)
        xor = xor_4(im, colours)
    else:
        raise ValueError(bpp)
    mask = and_mask(im)
    assert len(xor) == row_bytes(size, bpp) * size
    assert len(mask) == row_bytes(size, 1) * size
    header = struct.pack(
        "<IiiHHIIiiII",
        40,                 # biSize
        size,               # biWidth
        2 * size,           # biHeight: colour bitmap + AND mask
        1,                  # biPlanes
        bpp,                # biBitCount
        0,                  # biCompression = BI_RGB
        len(xor) + len(mask),  # biSizeImage
        0, 0,               # pixels per metre
        16 if bpp == 4 else 0,  # biClrUsed
        0)                  # biClrImportant
    return header + palette + xor + mask


def write_ico(path, images):
    """images: list of (size, bpp, dib bytes)."""
    count = len(images)
    offset = 6 + 16 * count
    directory = bytearray(struct.pack("<HHH", 0, 1, count))
    blobs = bytearray()
    for size, bpp, data in images:
        directory += struct.pack(
            "<BBBBHHII",
            size % 256, size % 256,      # 0 stands for 256
            16 if bpp == 4 else 0,       # colours in the palette
            0,                           # reserved
            1,                           # planes
            bpp,
            len(data),
            offset + len(blobs))
        blobs += data
    with open(path, "wb") as f:
        f.write(directory)
        f.write(blobs)


PLATE = re.compile(r'<rect x="8" y="8" width="240" height="240" rx="44" ry="44"')


def maskable_svg():
    """The icon with its plate filling the whole square and the rest of the
    drawing shrunk to 70 % about the centre: the tank's far corners then stay
    within the central circle (40 % of the size in radius) that a launcher
    keeps whatever shape it cuts."""
    with open(SVG, encoding="utf-8") as f:
        text = f.read()
    if not PLATE.search(text):
        sys.exit("icon.svg: the plate's rectangle is not where make_icon.py expects it")
    text = PLATE.sub('<rect x="0" y="0" width="256" height="256"', text)
    plate_end = text.index("/>", text.index('<rect x="0"')) + 2
    close = text.rindex("</svg>")
    return (text[:plate_end] + '\n  <g transform="translate(128 128) scale(0.7) translate(-128 -128)">'
            + text[plate_end:close] + "</g>\n" + text[close:])


def main():
    rasters = {size: rasterise(size) for size in SIZES}
    images = [(size, bpp, dib(rasters[size], bpp))
              for bpp in DEPTHS for size in SIZES]
    write_ico(ICO, images)
    for size in (256, 48):
        rasters[size].save(os.path.join(HERE, f"calvetra-{size}.png"), optimize=True)
    for size in (192, 512):
        rasterise(size).save(os.path.join(HERE, f"calvetra-{size}.png"), optimize=True)
    rasterise(512, maskable_svg()).save(os.path.join(HERE, "calvetra-maskable-512.png"), optimize=True)
    print(f"wrote {ICO} ({len(images)} images) and calvetra-256.png, calvetra-48.png, "
          "calvetra-192.png, calvetra-512.png, calvetra-maskable-512.png")


if __name__ == "__main__":
    main()
