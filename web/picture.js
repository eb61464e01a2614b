// The graph box on the page: the core's display list drawn on a canvas.
'use strict';

// The graph box: the core's display list in twips drawn on a canvas whose
// pixels are the screen's. Lines are one device pixel wide and not smoothed.
// Each point is a small circle pre-rendered once per colour and size and
// stamped at whole device pixels: its pixels are blended straight into the
// canvas's own, which is read back once for every run of points (drawing
// fifteen thousand small images one by one takes the canvas far longer).
class Picture {
  // width, height and fontSize in CSS pixels; format: the operations' codes
  // and record size, as the binding gives them.
  constructor(canvas, width, height, fontSize, format) {
    this.canvas = canvas;
    this.format = format;
    this.width = width;
    this.height = height;
    this.fontSize = fontSize;
    this.context = canvas.getContext('2d', { alpha: false, willReadFrequently: true });
    this.stamps = new Map();
    this.ratio = 0;
  }

  // ratio: device pixels per CSS pixel of the window.
  draw(ops, texts, ratio) {
    const { canvas, context: g } = this;
    const width = Math.round(this.width * ratio), height = Math.round(this.height * ratio);
    if (canvas.width !== width || canvas.height !== height) Object.assign(canvas, { width, height });
    if (ratio !== this.ratio) this.stamps.clear();
    this.ratio = ratio;
    const style = getComputedStyle(canvas);
    const k = ratio / TWIPS_PER_PIXEL; // device pixels per twip
    g.setTransform(1, 0, 0, 1, 0, 0);
    g.fillStyle = style.backgroundColor;
    g.fillRect(0, 0, width, height);
    g.font = `${this.fontSize * ratio}px ${style.fontFamily}`;
    const ascent = g.measureText('0').fontBoundingBoxAscent;
    let pixels = null; // the canvas's pixels while points are being stamped
    let stamp = null;
    const { codes, numbersPerOp } = this.format;
    for (let i = 0; i < ops.length; i += numbersPerOp) {
      const code = ops[i], colour = ops[i + 1], x1 = ops[i + 2] * k, y1 = ops[i + 3] * k;
      if (code === codes.circle) {
        const radius = ops[i + 4] * k;
        if (!stamp || stamp.colour !== colour || stamp.radius !== radius) stamp = this.stamp(colour, radius);
        pixels ??= g.getImageData(0, 0, width, height);
        blend(pixels, stamp, Math.round(x1 - stamp.half), Math.round(y1 - stamp.half));
        continue;
      }
      if (pixels) g.putImageData(pixels, 0, 0);
      pixels = null;
      const ink = colour < 0 ? style.color : hex(colour);
      if (code === codes.line) line(g, ink, x1, y1, ops[i + 4] * k, ops[i + 5] * k);
      else {
        g.fillStyle = ink;
        g.fillText(texts[ops[i + 4]], x1, y1 + ascent);
      }
    }
    if (pixels) g.putImageData(pixels, 0, 0);
  }

  // A smoothed outline one device pixel wide, centred in an odd-sized square
  // so that its centre falls on the middle of a pixel; kept as the offsets
  // and opacities of the pixels it touches.
  stamp(colour, radius) {
    const key = `${colour}/${radius}`;
    let stamp = this.stamps.get(key);
    if (stamp) return stamp;
    const size = 2 * Math.ceil(radius + 1) + 1;
    const image = document.createElement('canvas');
    Object.assign(image, { width: size, height: size });
    const g = image.getContext('2d', { willReadFrequently: true });
    g.strokeStyle = hex(colour);
    g.lineWidth = 1;
    g.beginPath();
    g.arc(size / 2, size / 2, radius, 0, 2 * Math.PI);
    g.stroke();
    const data = g.getImageData(0, 0, size, size).data;
    stamp = { colour, radius, half: size / 2, x: [], y: [], alpha: [], rgb: [colour >> 16, (colour >> 8) & 255, colour & 255] };
    for (let p = 0; p < size * size; p++) {
      if (data[4 * p + 3] === 0) continue;
      stamp.x.push(p % size);
      stamp.y.push(Math.floor(p / size));
      stamp.alpha.push(data[4 * p + 3]);
    }
    this.stamps.set(key, stamp);
    return stamp;
  }
}

const hex = (colour) => `#${colour.toString(16).padStart(6, '0')}`;

// One device pixel wide, as the desktop's pen; both end points drawn.
function line(g, ink, x1, y1, x2, y2) {
  const [a, b, c, d] = [x1, y1, x2, y2].map(Math.round);
  if (a === c || b === d) {
    g.fillStyle = ink;
    g.fillRect(Math.min(a, c), Math.min(b, d), Math.abs(c - a) + 1, Math.abs(d - b) + 1);
    return;
  }
  g.strokeStyle = ink;
  g.lineWidth = 1;
  g.beginPath();
  g.moveTo(a + 0.5, b + 0.5);
  g.lineTo(c + 0.5, d + 0.5);
  g.stroke();
}

// A stamp's pixels over the opaque pixels of the canvas, top-left at
// (left, top); what falls outside is cut off.
function blend(pixels, stamp, left, top) {
  const { width, height, data } = pixels;
  const [r, g, b] = stamp.rgb;
  for (let i = 0; i < stamp.alpha.length; i++) {
    const x = left + stamp.x[i], y = top + stamp.y[i];
    if (x < 0 || y < 0 || x >= width || y >= height) continue;
    const o = 4 * (y * width + x), a = stamp.alpha[i], rest = 255 - a;
    data[o] = (r * a + data[o] * rest) / 255;
    data[o + 1] = (g * a + data[o + 1] * rest) / 255;
    data[o + 2] = (b * a + data[o + 2] * rest) / 255;
  }
}
