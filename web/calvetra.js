// CALVETRA's window as a web page. The program's behaviour is the core,
// compiled to WebAssembly (calvetra-core.js); this script builds the window
// from the core's layout table, hands the controls' events to the core and
// carries out what the core asks of the window.
//
// Messages: the core asks for a message box in the middle of an action and
// expects it to have been confirmed when the call returns. The page queues
// the messages of one action and shows them when the action has ended, one
// modal dialog at a time, in the order they came; while one is open the rest
// of the page takes no input.
'use strict';

const TWIPS_PER_PIXEL = 15; // at 96 dots per inch, which CSS pixels are
const PIXELS_PER_POINT = 4 / 3;

// Faces the layout was drawn with, then the nearest ones found elsewhere.
const FONT_SUBSTITUTES = {
  'MS Sans Serif': '"Microsoft Sans Serif", "Liberation Sans", Arimo, "Nimbus Sans", "DejaVu Sans", Arial, Helvetica',
  'Arial Narrow': '"Liberation Sans Narrow", "Nimbus Sans Narrow", "DejaVu Sans Condensed"',
};

const HANDLERS = { Command1: 'clickCalcular', Command2: 'clickBorrarGrafica', Command3: 'clickSalir' };

// The codes of the display list's operations, as the binding sends them.
const LINE = 0, CIRCLE = 1;

const px = (twips) => Math.round(twips / TWIPS_PER_PIXEL);

// Sizes in whole pixels, as the desktop's text is drawn.
const fontSize = (points) => Math.round(points * PIXELS_PER_POINT);

function fontOf(family, points) {
  const substitutes = FONT_SUBSTITUTES[family];
  return `${fontSize(points)}px "${family}", ${substitutes ? substitutes + ', ' : ''}sans-serif`;
}

// The browser language's decimal separator, as the program uses it. A
// language the browser's number formats refuse (WebKit started in the C
// locale reports "C") must not stop the page: it gives the point.
function decimalSeparator() {
  try {
    const parts = new Intl.NumberFormat(navigator.language).formatToParts(1.5);
    return parts.some((p) => p.type === 'decimal' && p.value === ',') ? ',' : '.';
  } catch {
    return '.';
  }
}

// Rounds the edges rather than the size, so controls that meet in twips
// still meet in pixels.
function place(element, c) {
  let left = px(c.left), top = px(c.top), right = px(c.left + c.width), bottom = px(c.top + c.height);
  if (c.kind === 'line') {
    // End points (left, top)-(width, height); the width spreads evenly.
    const before = Math.floor(c.lineWidth / 2);
    [left, top, right, bottom] = c.top === c.height
      ? [px(c.left), px(c.top) - before, px(c.width), px(c.top) - before + c.lineWidth]
      : [px(c.left) - before, px(c.top), px(c.left) - before + c.lineWidth, px(c.height)];
  }
  Object.assign(element.style, {
    left: `${left}px`, top: `${top}px`, width: `${right - left}px`, height: `${bottom - top}px`,
  });
}

function makeControl(c) {
  let element;
  switch (c.kind) {
    case 'image':
      element = document.createElement('img');
      element.src = siteFile(`${c.text}.svg`);
      element.alt = c.accessibleName;
      element.draggable = false;
      break;
    case 'label':
      element = document.createElement('div');
      element.className = 'label';
      element.textContent = c.text;
      element.classList.toggle('transparent', c.transparent);
      element.classList.toggle('border', c.border);
      break;
    case 'textBox':
      element = document.createElement('input');
      element.type = 'text';
      element.value = c.text;
      element.autocomplete = 'off';
      element.spellcheck = false;
      element.readOnly = c.locked;
      break;
    case 'button':
      element = document.createElement('button');
      element.type = 'button';
      element.textContent = c.text;
      break;
    case 'frame': {
      element = document.createElement('div');
      element.className = 'frame';
      element.setAttribute('role', 'group');
      const caption = document.createElement('span');
      caption.className = 'frame-caption';
      caption.id = `${c.name}-caption`;
      caption.textContent = c.text;
      element.setAttribute('aria-labelledby', caption.id);
      element.append(caption);
      break;
    }
    case 'pictureBox':
      element = document.createElement('canvas');
      element.setAttribute('role', 'img');
      // In the focus order at its place, for the read-out from the keyboard.
      element.tabIndex = 0;
      break;
    case 'line':
      element = document.createElement('div');
      element.style.background = c.lineColour ?? 'CanvasText';
      break;
  }
  element.dataset.name = c.name;
  place(element, c);
  element.style.zIndex = c.layer;
  element.style.font = fontOf(c.fontFamily, c.fontPoints);
  if (c.centred) element.style.textAlign = 'center';
  element.hidden = !c.visible;
  if (c.accessibleName && c.kind !== 'image') element.setAttribute('aria-label', c.accessibleName);
  if (c.accessibleDescription) element.setAttribute('aria-description', c.accessibleDescription);
  return element;
}

// Every control of the layout table in its container, in the table's
// order, which is the order of the tab indices: the focus order.
function buildWindow(form, layout) {
  const byName = new Map();
  const width = px(layout.clientWidth), height = px(layout.clientHeight);
  Object.assign(form.style, { width: `${width}px`, height: `${height}px` });
  form.style.font = fontOf(layout.windowFont.family, layout.windowFont.points);
  for (const c of layout.controls) {
    const element = makeControl(c);
    (c.container ? byName.get(c.container) : form).append(element);
    byName.set(c.name, element);
  }
  // A caption whose text changes is read out when it does.
  for (const name of layout.labels) {
    byName.get(name).setAttribute('aria-live', 'polite');
    byName.get(name).setAttribute('aria-atomic', 'true');
  }
  return { byName, width, height };
}

// The graph box: the core's display list in twips drawn on a canvas whose
// pixels are the screen's. Lines are one device pixel wide and not smoothed.
// Each point is a small circle pre-rendered once per colour and size and
// stamped at whole device pixels: its pixels are blended straight into the
// canvas's own, which is read back once for every run of points (drawing
// fifteen thousand small images one by one takes the canvas far longer).
class Picture {
  // width, height and fontSize in CSS pixels.
  constructor(canvas, width, height, fontSize) {
    this.canvas = canvas;
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
    for (let i = 0; i < ops.length; i += 6) {
      const code = ops[i], colour = ops[i + 1], x1 = ops[i + 2] * k, y1 = ops[i + 3] * k;
      if (code === CIRCLE) {
        const radius = ops[i + 4] * k;
        if (!stamp || stamp.colour !== colour || stamp.radius !== radius) stamp = this.stamp(colour, radius);
        pixels ??= g.getImageData(0, 0, width, height);
        blend(pixels, stamp, Math.round(x1 - stamp.half), Math.round(y1 - stamp.half));
        continue;
      }
      if (pixels) g.putImageData(pixels, 0, 0);
      pixels = null;
      const ink = colour < 0 ? style.color : hex(colour);
      if (code === LINE) line(g, ink, x1, y1, ops[i + 4] * k, ops[i + 5] * k);
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

function showClosingNotice() {
  const notice = document.createElement('main');
  notice.className = 'notice';
  notice.innerHTML = '<p>CALVETRA ha terminado.</p>' +
    '<p>Puede cerrar esta pestaña, o volver a cargar la página para empezar de nuevo.</p>';
  document.body.replaceChildren(notice);
}

function showLoadFailure(error) {
  const notice = document.createElement('main');
  notice.className = 'notice';
  notice.innerHTML = '<p>CALVETRA no ha podido cargarse.</p>' +
    '<p>Abra la página desde un servidor web: abierta directamente desde el disco, ' +
    'el navegador no carga el programa. Para abrirlo desde el disco, use calvetra.html.</p>';
  document.body.replaceChildren(notice);
  console.error(error);
}

async function start() {
  const core = await createCalvetra();
  const layout = core.layout();
  const form = document.getElementById('form1');
  const { byName, width, height } = buildWindow(form, layout);
  const boxes = layout.boxes.map((name) => byName.get(name));
  const captions = layout.labels.map((name) => byName.get(name));
  const legendLines = layout.legendLines.map((name) => byName.get(name));
  const canvas = byName.get('Picture2');
  const pictureFont = fontSize(layout.controls.find((c) => c.name === 'Picture2').fontPoints);
  const picture = new Picture(canvas, canvas.offsetWidth, canvas.offsetHeight, pictureFont);
  const dialog = document.getElementById('message');
  const messages = [];
  let closing = false;
  let scale = 1;
  let drawnRevision = -1;
  // The text of each box as the core last saw it.
  const seen = boxes.map((input) => input.value);

  // The window as the core sees it.
  const page = {
    text: (box) => boxes[box].value,
    // The core runs the change handler itself; setting the value raises no
    // input event. The caret stays where the user had it.
    setText(box, text) {
      const input = boxes[box];
      seen[box] = text;
      if (document.activeElement !== input) {
        input.value = text;
        return;
      }
      const { selectionStart, selectionEnd } = input;
      input.value = text;
      input.setSelectionRange(selectionStart, selectionEnd);
    },
    setCaption: (label, caption) => { captions[label].textContent = caption; },
    setLegendLineVisible: (index, visible) => { legendLines[index].hidden = !visible; },
    setCrossCursor: () => { canvas.style.cursor = 'crosshair'; },
    showMessage: (message) => { messages.push(message); },
    close: () => { closing = true; },
  };

  const session = new core.Session(page, decimalSeparator());

  function drawPicture(always) {
    const revision = session.pictureRevision();
    if (!always && revision === drawnRevision) return;
    const texts = session.pictureTexts();
    picture.draw(session.pictureOps(), texts, devicePixelRatio * scale);
    drawnRevision = revision;
  }

  // The next message in a fresh dialog, in the same task as the last one's
  // confirmation so that no input slips in between; none left, no dialog.
  function showNextMessage() {
    if (dialog.open) dialog.close();
    if (messages.length === 0) return;
    document.getElementById('message-text').textContent = messages.shift();
    dialog.showModal();
  }
  dialog.querySelector('button').addEventListener('click', showNextMessage);
  // Escape confirms too. Where the browser will not let the page keep the
  // dialog open, it closes, and the next message follows it.
  dialog.addEventListener('cancel', (event) => {
    if (!event.cancelable) return;
    event.preventDefault();
    showNextMessage();
  });
  dialog.addEventListener('close', () => { if (!dialog.open) showNextMessage(); });

  // One user action through the core, then what it left to show.
  function act(action) {
    if (closing || dialog.open || messages.length > 0) return;
    action();
    if (closing) {
      session.delete();
      showClosingNotice();
      return;
    }
    drawPicture(false);
    showNextMessage();
  }

  // The whole window scales down to fit a smaller viewport, and stands in
  // its middle on a larger one.
  function fit() {
    if (closing) return;
    const view = document.documentElement;
    scale = Math.min(1, view.clientWidth / width, view.clientHeight / height);
    const left = Math.max(0, Math.floor((view.clientWidth - width * scale) / 2));
    const top = Math.max(0, Math.floor((view.clientHeight - height * scale) / 2));
    form.style.transform = `translate(${left}px, ${top}px)` + (scale < 1 ? ` scale(${scale})` : '');
    drawPicture(true);
  }
  // A zoom, or the window moved to another screen: pixels of another size.
  function watchPixelRatio() {
    matchMedia(`(resolution: ${devicePixelRatio}dppx)`)
      .addEventListener('change', () => { fit(); watchPixelRatio(); }, { once: true });
  }

  // A change of a box's text runs its handler once, whatever made it:
  // typing, paste, autofill, assistive technology. Text still being composed
  // by an input method waits for the composition's end.
  function textChanged(box, event) {
    if (event.isComposing || boxes[box].value === seen[box]) return;
    seen[box] = boxes[box].value;
    act(() => session.userChangedText(box));
  }
  boxes.forEach((input, box) => {
    input.addEventListener('input', (event) => textChanged(box, event));
    input.addEventListener('compositionend', (event) => textChanged(box, event));
  });
  for (const [name, handler] of Object.entries(HANDLERS))
    byName.get(name).addEventListener('click', () => act(() => session[handler]()));
  // The pointer's place on the graph box, in twips.
  function twipsAt(event) {
    const r = canvas.getBoundingClientRect();
    return [(event.clientX - r.left) * (picture.width / r.width) * TWIPS_PER_PIXEL,
      (event.clientY - r.top) * (picture.height / r.height) * TWIPS_PER_PIXEL];
  }
  canvas.addEventListener('pointermove', (event) => {
    const [x, y] = twipsAt(event);
    act(() => session.mouseMoved(x, y));
  });

  // The read-out from the keyboard: the arrow keys move a point by a
  // hundredth of an axis (a tenth with Shift); a small cross marks it while
  // the graph has the focus.
  const cross = document.createElement('div');
  cross.className = 'readout-cross';
  cross.hidden = true;
  cross.style.zIndex = 3;
  canvas.after(cross);
  function placeCross() {
    const [x, y] = session.readoutPoint();
    cross.style.left = `${canvas.offsetLeft + x / TWIPS_PER_PIXEL}px`;
    cross.style.top = `${canvas.offsetTop + y / TWIPS_PER_PIXEL}px`;
  }
  const ARROWS = { ArrowLeft: [-1, 0], ArrowRight: [1, 0], ArrowUp: [0, -1], ArrowDown: [0, 1] };
  canvas.addEventListener('keydown', (event) => {
    const step = ARROWS[event.key];
    if (!step) return;
    event.preventDefault();
    act(() => session.readoutKey(step[0], step[1], event.shiftKey));
    placeCross();
  });
  canvas.addEventListener('pointerdown', (event) => {
    const [x, y] = twipsAt(event);
    session.placeReadoutPoint(x, y);
    placeCross();
  });
  canvas.addEventListener('focus', () => {
    // Arriving by keyboard, the read-out shows the point at once.
    if (canvas.matches(':focus-visible')) act(() => session.readoutKey(0, 0, false));
    placeCross();
    cross.hidden = false;
  });
  canvas.addEventListener('blur', () => { cross.hidden = true; });

  // F1: the help beside the window, with the figures this program works out.
  const help = document.getElementById('help');
  help.querySelector('button').addEventListener('click', () => help.close());
  help.addEventListener('keydown', (event) => { if (event.key === 'Escape') help.close(); });
  async function helpDocument() {
    try {
      const response = await fetch(siteFile('ayuda.html'));
      if (response.ok) return session.help(await response.text());
    } catch (error) {
      console.error(error);
    }
    return '<p lang="es">No se encuentra el texto de la ayuda.</p>';
  }
  addEventListener('keydown', async (event) => {
    if (event.key !== 'F1' || closing) return;
    event.preventDefault();
    if (!help.open) {
      document.getElementById('help-text').srcdoc = await helpDocument();
      help.show();
    }
    help.querySelector('button').focus();
  });
  addEventListener('resize', fit);
  watchPixelRatio();

  act(() => session.load());
  fit();
  boxes[0].focus();
  performance.mark('calvetra-ready');
}

start().catch(showLoadFailure);
