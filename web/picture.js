// The graph box on the page: the core's display list drawn on a canvas.
'use strict';

// The graph box: the core's display list in twips drawn on a canvas whose
// pixels are the screen's. Lines are one device pixel wide and not smoothed.
// Each point is a small circle the canvas draws once per colour and size,
// as a stamp stamped at whole device pixels. The core makes its picture of
// the box into an image in its memory, in one pass: the background, the
// border, the level and upright lines, and the stamps of all points blended
// in (drawing fifteen thousand small images one by one takes the canvas far
// longer). The page
// puts that image on the canvas once and draws the texts and any slanting
// line over it; nothing is read back.
class Picture {
  // width, height and fontSize in CSS pixels; format: the codes and record
  // size of the core's display list.
  constructor(canvas, width, height, fontSize, format) {
    this.canvas = canvas;
    this.width = width;
    this.height = height;
    this.fontSize = fontSize;
    this.format = format;
    // A canvas kept in memory, not on the graphics card: a whole image is put
    // on it at every drawing, and its texts come out the same in every engine.
    this.context = canvas.getContext('2d', { alpha: false, willReadFrequently: true });
    this.stamps = new Set(); // the stamps the core has, by colour and radius
    this.colours = new Map();
    this.ratio = 0;
  }

  // session: the core's, with its display list; ratio: device pixels per
  // CSS pixel of the window.
  draw(session, ratio) {
    const { canvas, context: g } = this;
    const width = Math.round(this.width * ratio), height = Math.round(this.height * ratio);
    if (canvas.width !== width || canvas.height !== height) Object.assign(canvas, { width, height });
    // The core keeps the stamps the page gave it until the page says: one
    // memory of them, on both sides.
    if (ratio !== this.ratio || this.stamps.size > 32) {
      this.stamps.clear();
      session.forgetStamps();
    }
    this.ratio = ratio;
    const style = getComputedStyle(canvas);
    const k = ratio / this.format.twipsPerPixel; // device pixels per twip
    // Read out of the core's memory before anything calls into it again.
    const steps = this.steps(session.pictureOps(true), k);
    const texts = session.pictureTexts();
    for (const step of steps) if (step.points) this.giveStamp(session, step.colour, step.radius);
    const image = session.pictureImage(width, height, k, this.opaque(style.backgroundColor), this.opaque(style.color),
      this.opaque(style.borderTopColor));
    g.putImageData(new ImageData(new Uint8ClampedArray(image.buffer, image.byteOffset, image.length), width, height), 0, 0);
    g.setTransform(1, 0, 0, 1, 0, 0);
    g.font = `${this.fontSize * ratio}px ${style.fontFamily}`;
    const ascent = g.measureText('0').fontBoundingBoxAscent;
    const ink = (step) => (step.colour < 0 ? style.color : hex(step.colour));
    for (const step of steps) {
      if (step.code === this.format.text) printText(g, ink(step), texts[step.text], step.x1, step.y1 + ascent);
      else if (step.code === this.format.line && !step.upright) line(g, ink(step), step.x1, step.y1, step.x2, step.y2);
    }
  }

  // The display list as what to draw, in device pixels: each line and text,
  // and each run of points of one colour and size as the numbers of its
  // first operation and of its points. A line with the same x or the same y
  // at both ends is upright: the core's image has it.
  steps(ops, k) {
    const { points, numbersPerOp } = this.format;
    const steps = [];
    for (let i = 0; i < ops.length; i += numbersPerOp) {
      const code = ops[i], colour = ops[i + 1];
      if (code === points) steps.push({ points: true, colour, first: ops[i + 2], count: ops[i + 3], radius: ops[i + 4] * k });
      else {
        steps.push({ code, colour, x1: ops[i + 2] * k, y1: ops[i + 3] * k, x2: ops[i + 4] * k, y2: ops[i + 5] * k,
          text: ops[i + 4], upright: ops[i + 2] === ops[i + 4] || ops[i + 3] === ops[i + 5] });
      }
    }
    return steps;
  }

  // A colour as the canvas stores it, 0xRRGGBB.
  opaque(colour) {
    let rgb = this.colours.get(colour);
    if (rgb !== undefined) return rgb;
    const g = document.createElement('canvas').getContext('2d', { alpha: false, willReadFrequently: true });
    g.fillStyle = colour;
    g.fillRect(0, 0, 1, 1);
    const [r, green, b] = g.getImageData(0, 0, 1, 1).data;
    rgb = (r << 16) | (green << 8) | b;
    this.colours.set(colour, rgb);
    return rgb;
  }

  // The core's stamp for the points of a colour and radius (device pixels),
  // made once: a smoothed outline one device pixel wide, centred in an
  // odd-sized square so that its centre falls on the middle of a pixel,
  // given as its size and the opacities of its pixels, row by row.
  giveStamp(session, colour, radius) {
    const key = `${colour}/${radius}`;
    if (this.stamps.has(key)) return;
    const size = 2 * Math.ceil(radius + 1) + 1;
    const image = document.createElement('canvas');
    Object.assign(image, { width: size, height: size });
    const g = image.getContext('2d', { willReadFrequently: true });
    g.strokeStyle = hex(colour);
    g.lineWidth = 1;
    g.beginPath();
    g.arc(size / 2, size / 2, radius, 0, 2 * Math.PI);
    g.stroke();
    const alpha = g.getImageData(0, 0, size, size).data.filter((_, i) => i % 4 === 3);
    session.addStamp(colour, radius, size, Array.from(alpha));
    this.stamps.add(key);
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

function printText(g, ink, text, x, baseline) {
  g.fillStyle = ink;
  g.fillText(text, x, baseline);
}
