// The graph box on the page: the core's display list drawn on a canvas.
'use strict';

// The graph box: the core's display list in twips drawn on a canvas whose
// pixels are the screen's. Lines are one device pixel wide and not smoothed.
// Each point is a small circle pre-rendered once per colour and size and
// stamped at whole device pixels. With points to draw, the picture is made
// as an image in the core's memory, which the page puts on the canvas once:
// the core blends the stamps of all points into it in one pass (drawing
// fifteen thousand small images one by one takes the canvas far longer),
// and each line and text is drawn by the canvas over its own small area of
// the image and taken back, so the canvas is never read back whole.
class Picture {
  // width, height and fontSize in CSS pixels; format: the codes and record
  // size of the core's display list.
  constructor(canvas, width, height, fontSize, format) {
    this.canvas = canvas;
    this.width = width;
    this.height = height;
    this.fontSize = fontSize;
    this.format = format;
    this.context = canvas.getContext('2d', { alpha: false, willReadFrequently: true });
    this.stamps = new Map();
    // The lines and texts the canvas draws over the core's image: the area of
    // each, and what each batch of them left on its areas, by what they draw.
    this.areas = new Map();
    this.drawn = new Map();
    this.colours = new Map();
    this.ratio = 0;
  }

  // session: the core's, with its display list; ratio: device pixels per
  // CSS pixel of the window.
  draw(session, ratio) {
    const { canvas, context: g } = this;
    const width = Math.round(this.width * ratio), height = Math.round(this.height * ratio);
    if (canvas.width !== width || canvas.height !== height) Object.assign(canvas, { width, height });
    if (ratio !== this.ratio || this.areas.size > 256 || this.drawn.size > 64) {
      this.stamps.clear();
      this.areas.clear();
      this.drawn.clear();
    }
    this.ratio = ratio;
    const style = getComputedStyle(canvas);
    const k = ratio / TWIPS_PER_PIXEL; // device pixels per twip
    // Read out of the core's memory before anything calls into it again.
    const steps = this.steps(session.pictureOps(true), k);
    const texts = session.pictureTexts();
    g.setTransform(1, 0, 0, 1, 0, 0);
    g.font = `${this.fontSize * ratio}px ${style.fontFamily}`;
    const ascent = g.measureText('0').fontBoundingBoxAscent;
    const ink = (step) => (step.colour < 0 ? style.color : hex(step.colour));
    const key = (step, area) => `${g.font}|${ink(step)}|` +
      (area ? `${step.x1},${step.y1},${step.x2},${step.y2}` : `${step.x1},${step.y1},${texts[step.text]}`);
    const stroke = (step) => (step.code === this.format.line
      ? line(g, ink(step), step.x1, step.y1, step.x2, step.y2)
      : printText(g, ink(step), texts[step.text], step.x1, step.y1 + ascent));
    if (!steps.some((step) => step.points)) {
      g.fillStyle = style.backgroundColor;
      g.fillRect(0, 0, width, height);
      steps.forEach(stroke);
      return;
    }
    session.startPoints(width, height, ...this.opaque(style.backgroundColor));
    let batch = []; // texts and slanting lines in a row, for the canvas to draw together
    const drawBatch = () => {
      if (batch.length) this.drawOver(session.pointImage(), batch);
      batch = [];
    };
    for (const step of steps) {
      const area = step.code === this.format.line ? lineArea(step.x1, step.y1, step.x2, step.y2) : null;
      if (step.points) {
        drawBatch();
        session.blendPoints(step.first, step.count, k, this.stamp(step.colour, step.radius));
      } else if (area?.upright) {
        // A level or upright line is a rectangle of whole pixels in one colour.
        drawBatch();
        session.fillPoints(...area, ...this.opaque(ink(step)));
      } else {
        batch.push(this.drawing(key(step, area), area ?? (() => textArea(g, texts[step.text], step.x1, step.y1 + ascent)),
          () => stroke(step)));
      }
    }
    drawBatch();
    this.context.putImageData(this.imageData(session.pointImage()), 0, 0);
  }

  // The display list as what to draw, in device pixels: each line and text,
  // and each run of points of one colour and size as the numbers of its
  // first operation and of its points.
  steps(ops, k) {
    const { points, numbersPerOp } = this.format;
    const steps = [];
    for (let i = 0; i < ops.length; i += numbersPerOp) {
      const code = ops[i], colour = ops[i + 1];
      if (code === points) steps.push({ points: true, colour, first: ops[i + 2], count: ops[i + 3], radius: ops[i + 4] * k });
      else steps.push({ code, colour, x1: ops[i + 2] * k, y1: ops[i + 3] * k, x2: ops[i + 4] * k, y2: ops[i + 5] * k, text: ops[i + 4] });
    }
    return steps;
  }

  // A line or text for the canvas to draw, known by key (what it draws and
  // where); area: its area, or a function that measures it.
  drawing(key, area, draw) {
    let known = this.areas.get(key);
    if (!known) this.areas.set(key, known = typeof area === 'function' ? area() : area);
    return { key, area: known, draw };
  }

  // Draws with the canvas over the core's image, each drawing within its area
  // [left, top, right, bottom]: the image's pixels in every area put on the
  // canvas, the drawings made in their order, and the areas taken back into
  // the image. The same drawings over the same pixels as before leave what
  // they left then, which is taken from memory instead.
  drawOver(image, drawings) {
    const { context: g, canvas: { width, height } } = this;
    const areas = drawings.map(({ area: [left, top, right, bottom] }) => {
      const x = Math.max(0, left), y = Math.max(0, top);
      return [x, y, Math.min(width, right) - x, Math.min(height, bottom) - y];
    }).filter(([, , w, h]) => w > 0 && h > 0);
    const key = drawings.map((d) => d.key).join('\n');
    const before = areas.map((area) => readArea(image, width, area));
    const known = this.drawn.get(key);
    if (known && known.before.every((bytes, i) => sameBytes(bytes, before[i]))) {
      areas.forEach((area, i) => writeArea(image, width, area, known.after[i]));
      return;
    }
    const whole = this.imageData(image);
    for (const [x, y, w, h] of areas) g.putImageData(whole, 0, 0, x, y, w, h);
    for (const { draw } of drawings) draw();
    const after = areas.map(([x, y, w, h]) => g.getImageData(x, y, w, h).data);
    areas.forEach((area, i) => writeArea(image, width, area, after[i]));
    this.drawn.set(key, { before, after });
  }

  // The core's image, whose rows are as wide as the canvas, as the canvas takes it.
  imageData(image) {
    const pixels = new Uint8ClampedArray(image.buffer, image.byteOffset, image.length);
    return new ImageData(pixels, this.canvas.width, this.canvas.height);
  }

  // A colour as the canvas stores it, [r, g, b].
  opaque(colour) {
    let rgb = this.colours.get(colour);
    if (rgb) return rgb;
    const g = document.createElement('canvas').getContext('2d', { alpha: false, willReadFrequently: true });
    g.fillStyle = colour;
    g.fillRect(0, 0, 1, 1);
    rgb = [...g.getImageData(0, 0, 1, 1).data.subarray(0, 3)];
    this.colours.set(colour, rgb);
    return rgb;
  }

  // A smoothed outline one device pixel wide, centred in an odd-sized square
  // so that its centre falls on the middle of a pixel; kept as its size and
  // the opacities of its pixels, row by row.
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
    stamp = { size, alpha: data.filter((_, i) => i % 4 === 3) };
    this.stamps.set(key, stamp);
    return stamp;
  }
}

// The pixels of the area [x, y, w, h] of an image width pixels wide, row after row.
function readArea(image, width, [x, y, w, h]) {
  const bytes = new Uint8Array(4 * w * h);
  for (let row = 0; row < h; row++) bytes.set(image.subarray(4 * ((y + row) * width + x), 4 * ((y + row) * width + x + w)), 4 * w * row);
  return bytes;
}

function writeArea(image, width, [x, y, w, h], bytes) {
  for (let row = 0; row < h; row++) image.set(bytes.subarray(4 * w * row, 4 * w * (row + 1)), 4 * ((y + row) * width + x));
}

function sameBytes(a, b) {
  if (a.length !== b.length) return false;
  const wordsA = new Uint32Array(a.buffer, a.byteOffset, a.length >> 2), wordsB = new Uint32Array(b.buffer, b.byteOffset, b.length >> 2);
  for (let i = 0; i < wordsA.length; i++) if (wordsA[i] !== wordsB[i]) return false;
  return true;
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

// The area a line may touch, as [left, top, right, bottom], upright when
// the line is level or upright and fills the area exactly; a slanting line's
// smoothing may reach a pixel past its ends.
function lineArea(x1, y1, x2, y2) {
  const [a, b, c, d] = [x1, y1, x2, y2].map(Math.round);
  const upright = a === c || b === d, spare = upright ? 0 : 2;
  return Object.assign([Math.min(a, c) - spare, Math.min(b, d) - spare, Math.max(a, c) + 1 + spare,
    Math.max(b, d) + 1 + spare], { upright });
}

function printText(g, ink, text, x, baseline) {
  g.fillStyle = ink;
  g.fillText(text, x, baseline);
}

// The area a text drawn at (x, baseline) may touch, as [left, top, right,
// bottom], with two pixels to spare for the smoothing of its glyphs.
function textArea(g, text, x, baseline) {
  const m = g.measureText(text);
  return [Math.floor(x - m.actualBoundingBoxLeft) - 2, Math.floor(baseline - m.actualBoundingBoxAscent) - 2,
    Math.ceil(x + m.actualBoundingBoxRight) + 2, Math.ceil(baseline + m.actualBoundingBoxDescent) + 2];
}
