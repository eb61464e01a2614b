// The graph box on a canvas whose pixels are the screen's. One call to the
// core per drawing gives the whole picture as an image (the background, the
// border, the lines, the points) and the texts to print over it with where
// they go; the page puts the image on the canvas and prints the texts in
// the page's font, and reads nothing back.
//
// A keystroke changes little of the graph: the canvas keeps what it shows,
// and a drawing puts only the rectangles of the image the core says changed
// and prints only the texts that changed or lie where the image was put.
export class Picture {
  // width and height in CSS pixels.
  constructor(canvas, width, height) {
    this.canvas = canvas;
    this.width = width;
    this.height = height;
    // A canvas kept in memory, not on the graphics card: its image is put on
    // it at every drawing, and its texts come out the same in every engine.
    this.context = canvas.getContext('2d', { alpha: false, willReadFrequently: true });
    this.colours = new Map();
    this.extents = new Map();
    this.ascents = new Map();
    // The texts the canvas shows, each with its box (left, top, right,
    // bottom in device pixels, all it may have inked); null when the canvas
    // holds nothing of a drawing.
    this.printed = null;
    // A canvas the browser dropped comes back empty.
    canvas.addEventListener('contextrestored', () => this.forget());
  }

  // The canvas holds nothing of a drawing, and its context none of its state.
  forget() {
    this.printed = null;
    this.font = null;
  }

  // session: the core's; ratio: device pixels per CSS pixel of the window.
  draw(session, ratio) {
    const { canvas, context: g } = this;
    const width = Math.round(this.width * ratio), height = Math.round(this.height * ratio);
    if (canvas.width !== width || canvas.height !== height) {
      Object.assign(canvas, { width, height });
      this.forget();
    }
    const style = getComputedStyle(canvas);
    const frame = session.frame(width, height, ratio, this.opaque(style.backgroundColor), this.opaque(style.color),
      this.opaque(style.borderTopColor));
    // Out of the core's memory before anything calls into it again.
    const { image, places, texts, changes } = frame;
    const data = new ImageData(new Uint8ClampedArray(image.buffer, image.byteOffset, image.length), width, height);
    // Until the end, as if the canvas held nothing: a drawing that stops
    // half way leaves the next one the whole image to put.
    const printed = this.printed;
    this.printed = null;
    const put = printed ? [] : [[0, 0, width, height]];
    for (let k = 0; k < changes.length; k += 4)
      put.push([changes[k], changes[k + 1], changes[k] + changes[k + 2], changes[k + 1] + changes[k + 3]]);
    const family = style.fontFamily; // a computed style's every read is a lookup of its own
    const wanted = textsOf(texts, places, (pixels) => this.fontOf(pixels, family));
    const { keep, print } = sortTexts(printed ?? [], wanted, put, (item) => this.boxOf(item, g));
    putBoxes(g, data, put);
    for (const item of print) {
      this.setFont(g, item.font);
      g.fillStyle = `#${item.colour.toString(16).padStart(6, '0')}`;
      g.fillText(item.text, item.x, item.y + this.ascent);
    }
    this.printed = [...keep, ...print];
  }

  // Every pixel the text's glyphs may touch, with a margin for smoothing.
  // A text's extent is measured once per font (the axes' numbers come back
  // as the time box is typed in and out).
  boxOf(item, g) {
    const name = `${item.font}\n${item.text}`;
    let extent = this.extents.get(name);
    if (!extent) {
      this.setFont(g, item.font);
      const m = g.measureText(item.text);
      extent = [m.actualBoundingBoxLeft, this.ascent - m.actualBoundingBoxAscent, m.actualBoundingBoxRight,
        this.ascent + m.actualBoundingBoxDescent];
      if (this.extents.size >= 500) this.extents.clear();
      this.extents.set(name, extent);
    }
    const [left, top, right, bottom] = extent, margin = 2;
    item.box = [Math.floor(item.x - left) - margin, Math.floor(item.y + top) - margin,
      Math.ceil(item.x + right) + margin, Math.ceil(item.y + bottom) + margin];
    return item.box;
  }

  // The font of texts that many device pixels high, one string for each.
  fontOf(pixels, family) {
    if (family !== this.family) {
      this.family = family;
      this.fonts = new Map();
    }
    let font = this.fonts.get(pixels);
    if (!font) this.fonts.set(pixels, (font = `${pixels}px ${family}`));
    return font;
  }

  // The canvas's font, and how far a text's top lies above its baseline.
  setFont(g, font) {
    if (this.font === font) return;
    g.font = font;
    this.font = font;
    this.ascent = this.ascents.get(font);
    if (this.ascent === undefined) this.ascents.set(font, (this.ascent = g.measureText('0').fontBoundingBoxAscent));
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
}

// The frame's texts, each with its place, colour and font.
function textsOf(texts, places, fontOf) {
  const wanted = [];
  for (let i = 0; i < texts.length; i++) {
    wanted.push({ order: i, text: texts[i], x: places[4 * i], y: places[4 * i + 1], colour: places[4 * i + 2],
      font: fontOf(places[4 * i + 3]) });
  }
  return wanted;
}

const sameText = (a, b) => a.text === b.text && a.font === b.font && a.colour === b.colour && a.x === b.x && a.y === b.y;

// Which texts of a drawing stay as the canvas shows them and which are
// printed, in the drawing's order. printed: the texts on the canvas, each
// with its box; wanted: the drawing's, each with its order; both with their
// text, place, colour and font, which a text kept keeps; put: the boxes
// (left, top, right, bottom) where the image goes back on the canvas, to
// which this adds those of a text gone or changed, of a text to print, and
// of a text that lies where the image is put, which is printed again whole.
// boxOf(item): a text's box, set on it. Texts alike keep a shown one each.
export function sortTexts(printed, wanted, put, boxOf) {
  const waiting = new Map();
  for (const item of wanted) {
    const same = waiting.get(item.text);
    if (same) same.push(item);
    else waiting.set(item.text, [item]);
  }
  const keep = [];
  for (const shown of printed) {
    const same = waiting.get(shown.text) ?? [];
    const at = same.findIndex((item) => sameText(item, shown));
    if (at >= 0) keep.push(Object.assign(same.splice(at, 1)[0], { box: shown.box }));
    else put.push(shown.box);
  }
  const print = [...waiting.values()].flat();
  for (const item of print) put.push(boxOf(item));
  // Each box put is held against the texts kept once: a text it meets
  // adds its own box, which is held against those left.
  for (let unseen = put.slice(); unseen.length;) {
    const boxes = unseen;
    unseen = [];
    for (let i = keep.length - 1; i >= 0; i--) {
      if (!boxes.some((box) => overlap(box, keep[i].box))) continue;
      const [item] = keep.splice(i, 1);
      print.push(item);
      put.push(item.box);
      unseen.push(item.box);
    }
  }
  print.sort((a, b) => a.order - b.order);
  return { keep, print };
}

// The image's pixels in each box (left, top, right, bottom), clipped to it;
// where one box is the whole image, that one alone.
function putBoxes(g, data, boxes) {
  const { width, height } = data;
  const whole = boxes.find((box) => box[0] <= 0 && box[1] <= 0 && box[2] >= width && box[3] >= height);
  for (const box of whole ? [whole] : boxes) {
    const l = Math.max(0, box[0]), t = Math.max(0, box[1]);
    const w = Math.min(width, box[2]) - l, h = Math.min(height, box[3]) - t;
    if (w > 0 && h > 0) g.putImageData(data, 0, 0, l, t, w, h);
  }
}

// Boxes are [left, top, right, bottom]: read by index, as this runs for
// every pair of a text kept and a box put.
function overlap(one, other) {
  return one[0] < other[2] && other[0] < one[2] && one[1] < other[3] && other[1] < one[3];
}
