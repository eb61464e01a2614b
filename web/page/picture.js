// The graph box on a canvas whose pixels are the screen's. One call to the
// core per drawing gives the whole picture as an image (the background, the
// border, the lines, the points) and the texts to print over it with where
// they go; the page puts the image on the canvas and prints the texts in
// the page's font, and reads nothing back.
export class Picture {
  // width and height in CSS pixels.
  constructor(canvas, width, height) {
    this.canvas = canvas;
    this.width = width;
    this.height = height;
    // A canvas kept in memory, not on the graphics card: a whole image is put
    // on it at every drawing, and its texts come out the same in every engine.
    this.context = canvas.getContext('2d', { alpha: false, willReadFrequently: true });
    this.colours = new Map();
  }

  // session: the core's; ratio: device pixels per CSS pixel of the window.
  draw(session, ratio) {
    const { canvas, context: g } = this;
    const width = Math.round(this.width * ratio), height = Math.round(this.height * ratio);
    if (canvas.width !== width || canvas.height !== height) Object.assign(canvas, { width, height });
    const style = getComputedStyle(canvas);
    const frame = session.frame(width, height, ratio, this.opaque(style.backgroundColor), this.opaque(style.color),
      this.opaque(style.borderTopColor));
    // Out of the core's memory before anything calls into it again.
    const { image, places, texts } = frame;
    g.putImageData(new ImageData(new Uint8ClampedArray(image.buffer, image.byteOffset, image.length), width, height), 0, 0);
    let size = 0, ascent = 0;
    for (let i = 0; i < texts.length; i++) {
      const [x, y, colour, pixels] = places.subarray(4 * i, 4 * i + 4);
      if (pixels !== size) {
        size = pixels;
        g.font = `${size}px ${style.fontFamily}`;
        ascent = g.measureText('0').fontBoundingBoxAscent;
      }
      g.fillStyle = `#${colour.toString(16).padStart(6, '0')}`;
      g.fillText(texts[i], x, y + ascent);
    }
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
