// The window's place and scale on the page. From the design size up, the
// window stands whole and unscaled in the middle of the viewport, as on the
// desktop. On a narrower viewport (a phone, a tablet upright, a zoomed
// browser) its controls move in blocks, each the part of the window it is
// on the desktop, stacked for the screen and scaled to its width.

import { place } from './controls.js';
import { text } from './texts.js';

const GAP = 8; // CSS pixels between the blocks, and around the page bar
const MOST = 1.5; // the largest scale of a block that does not fill the width
const HELP_LEAST = 240; // the narrowest help beside the window, CSS pixels
// What a finger and an eye need on a narrow screen, CSS pixels: a box's or
// button's least height and width, the text typed in a box (smaller makes
// Safari on iPhone zoom the page on focus) and every other text.
const TOUCH_HEIGHT = 32, TOUCH_WIDTH = 44, TYPED_TEXT = 16, TEXT = 12;

const edges = (element) => ['left', 'top', 'width', 'height'].map((side) => parseFloat(element.style[side]));
const fontPixels = (element) => parseFloat(getComputedStyle(element).fontSize);

// The smallest scale at which the controls of a block, and those inside
// them, meet the sizes above; in whole 64ths, the unit browsers lay out in,
// so that no rounding takes a size below them.
function leastScale(elements) {
  let least = 0;
  for (const e of elements.flatMap((element) => [element, ...element.querySelectorAll('*')])) {
    if (e.matches('input, button')) least = Math.max(least, TOUCH_HEIGHT / e.offsetHeight, TOUCH_WIDTH / e.offsetWidth);
    if (e.matches('input')) least = Math.max(least, TYPED_TEXT / fontPixels(e));
    else if (e.matches('.label, .frame-caption, button')) least = Math.max(least, TEXT / fontPixels(e));
  }
  return Math.ceil(least * 64) / 64;
}

export class Arrangement {
  // byName: the elements of the window's controls; onScale: called after
  // every change.
  constructor(form, layout, byName, onScale) {
    Object.assign(this, { form, onScale, ...layout.clientPixels });
    this.bar = document.getElementById('page-bar');
    this.help = document.getElementById('help');
    // The core's blocks of a narrow screen (each control names its own), row
    // by row; a row's blocks share a line if they fit it. Each block is
    // scaled as a whole, never below the sizes above where the width allows.
    const blocks = layout.narrowBlocks.map((block) => ({ ...block, members: [] }));
    this.blocks = [];
    for (const block of blocks) (this.blocks[block.row] ??= []).push(block);
    this.controls = layout.controls.filter((c) => !c.container);
    for (const c of this.controls) blocks[c.narrowBlock].members.push({ c, element: byName.get(c.name) });
    for (const block of this.blocks.flat()) block.least = leastScale(block.members.map((m) => m.element));
    // Each box's caption: the label whose text is the box's name.
    this.captionOf = new Map(this.controls.filter((c) => c.kind === 'textBox').map((box) => [byName.get(box.name),
      byName.get(this.controls.find((c) => c.kind === 'label' && c.text === box.accessibleName)?.name)]));
    // The same sizes for the page's own controls, outside the window (calvetra.css).
    for (const [name, pixels] of [['least-text', TEXT], ['typed-text', TYPED_TEXT], ['touch-height', TOUCH_HEIGHT]])
      document.documentElement.style.setProperty(`--${name}`, `${pixels}px`);
    // A wrapped text written again (a legend line, as a run is drawn) may
    // take another number of lines: then the blocks under it move.
    this.wrappedHeights = new Map();
    const rewrapped = new MutationObserver(() => this.refitIfRewrapped());
    for (const { element } of this.blocks.flat().filter((b) => b.listed === 'legend' || b.reflow).flatMap((b) => b.members))
      rewrapped.observe(element, { childList: true, characterData: true, subtree: true });
    // The design size or more, as a media query reads it: the initial
    // containing block, which a mobile browser keeps at the screen's width
    // even where it widens innerWidth to a page wider than the screen (this
    // page never is).
    this.wide = matchMedia(`(min-width: ${this.width}px) and (min-height: ${this.height}px)`);
    this.narrow = false;
    this.scales = new Map();
    addEventListener('resize', () => this.fit());
    // Firefox and WebKit may answer the query as it was before the resize
    // while they run its event: the query's own change comes after.
    this.wide.addEventListener('change', () => this.fit());
    // An on-screen keyboard may shrink only the visual viewport.
    visualViewport?.addEventListener('resize', () => this.keepFocusInSight());
    this.watchPixelRatio();
  }

  fit() {
    if (!this.form.isConnected) return; // the session has ended
    const view = document.documentElement;
    this.narrow = !this.wide.matches;
    view.classList.toggle('narrow', this.narrow);
    // A page that grows taller than the viewport takes a classic scroll
    // bar's width from it (desktop Firefox, for one): then once more for the
    // width that is left.
    for (let pass = 0; pass < 2; pass++) {
      const viewWidth = view.clientWidth;
      this.arrange(viewWidth, view.clientHeight);
      if (view.clientWidth === viewWidth) break;
    }
    this.help.style.top = `${this.bar.offsetTop + this.bar.offsetHeight + GAP}px`;
    this.keepFocusInSight();
    this.onScale();
  }

  refitIfRewrapped() {
    if ([...this.wrappedHeights].some(([element, height]) => element.offsetHeight !== height)) this.fit();
  }

  // Every control from its place on the window, then stacked or centred.
  arrange(viewWidth, viewHeight) {
    this.wrappedHeights.clear();
    for (const { c, element } of this.blocks.flat().flatMap((b) => b.members)) {
      element.style.transform = '';
      element.classList.remove('listed', 'wrapped');
      place(element, c);
    }
    if (this.narrow) this.stack(viewWidth);
    else this.centre(viewWidth, viewHeight);
  }

  // The focused box stays in sight when the viewport shrinks, as it does
  // under an on-screen keyboard.
  keepFocusInSight() {
    if (document.activeElement?.matches('#form1 input')) document.activeElement.scrollIntoView({ block: 'nearest' });
  }

  // The whole window in the middle of the viewport, unscaled; the page bar
  // in the margin above or beside it, or above it with the page scrolled.
  // The help, where there is room, stands beside the window.
  centre(viewWidth, viewHeight) {
    const { form, width, height } = this;
    const bar = this.bar.getBoundingClientRect();
    let left = Math.max(0, Math.floor((viewWidth - width) / 2));
    let top = Math.max(0, Math.floor((viewHeight - height) / 2));
    const beside = this.help.open && viewWidth - width - 3 * GAP >= HELP_LEAST;
    if (beside) left = GAP;
    if (top < bar.height + GAP && viewWidth - left - width < bar.width + 2 * GAP) top = bar.height + GAP;
    form.style.transform = `translate(${left}px, ${top}px)`;
    Object.assign(form.style, { width: `${width}px`, height: `${height}px` });
    this.help.classList.toggle('beside', beside);
    this.help.style.left = beside ? `${left + width + GAP}px` : '';
    this.scales = new Map();
  }

  // The blocks row by row under the page bar, each scaled to the width.
  stack(viewWidth) {
    const scales = new Map();
    let y = this.bar.getBoundingClientRect().height + GAP;
    for (const row of this.blocks) {
      const bounds = row.map((block) => this.bounds(block));
      const together = (viewWidth - GAP * (row.length + 1)) / bounds.reduce((sum, b) => sum + b.width, 0);
      const shared = Math.min(MOST, together);
      const lines = row.length > 1 && row.every((block) => shared >= block.least) ? [row] : row.map((b) => [b]);
      for (const line of lines) {
        let x = GAP, lineHeight = 0;
        const lineWidth = line.reduce((sum, b) => sum + this.bounds(b).width, 0);
        for (const block of line) {
          const b = this.bounds(block);
          if (block.reflow || this.listed(block, b, viewWidth)) {
            lineHeight = this.list(block, viewWidth, y);
            continue;
          }
          const scale = line.length > 1 ? shared : this.scaleOf(block, b, viewWidth);
          if (line.length === 1) x = Math.max(0, (viewWidth - b.width * scale) / 2);
          else if (block === line[0]) x = (viewWidth - lineWidth * scale - GAP * (line.length - 1)) / 2;
          if (block.fill) this.fitWidth(block, b, viewWidth / scale);
          const height = this.move(block, b, scale, x, y);
          for (const { element } of block.members) scales.set(element, { block, b, scale, x, y });
          x += b.width * scale + GAP;
          lineHeight = Math.max(lineHeight, height);
        }
        y += lineHeight + GAP;
      }
    }
    this.form.style.transform = '';
    Object.assign(this.form.style, { width: `${viewWidth}px`, height: `${y}px` });
    this.help.classList.remove('beside');
    this.help.style.left = '';
    this.scales = scales;
  }

  // A block alone on its line: as large as fits, up to MOST, and never
  // below its least scale but where not even that fits the screen (a zoomed
  // browser); a block that fills the width does so at its least or more.
  scaleOf(block, b, viewWidth) {
    const fits = viewWidth / b.width;
    if (block.fill) return Math.max(fits, block.least);
    return Math.min(fits, Math.max(block.least, Math.min(MOST, (viewWidth - 2 * GAP) / b.width)));
  }

  // A block listed one control under another where it does not fit the
  // screen at its least scale.
  listed(block, b, viewWidth) {
    return block.listed && b.width * block.least > viewWidth - 2 * GAP;
  }

  // A lone control (a button) that fills the width at a scale above that
  // is narrowed to fit it.
  fitWidth(block, b, width) {
    if (block.members.length === 1 && width < b.width) block.members[0].element.style.width = `${width}px`;
  }

  // The rectangle the block's controls cover on the window, in CSS pixels.
  bounds(block) {
    const rects = block.members.map(({ element }) => edges(element));
    const left = Math.min(...rects.map((r) => r[0])), top = Math.min(...rects.map((r) => r[1]));
    return {
      left, top,
      width: Math.max(...rects.map((r) => r[0] + r[2])) - left,
      height: Math.max(...rects.map((r) => r[1] + r[3])) - top,
    };
  }

  // Each control of the block keeps its place within the block, scaled
  // about the block's corner, which lands at (x, y).
  move(block, b, scale, x, y) {
    for (const { element } of block.members) this.scaleAt(element, b, scale, x, y);
    return b.height * scale;
  }

  scaleAt(element, b, scale, x, y) {
    const [left, top] = edges(element);
    const dx = x + (left - b.left) * scale - left, dy = y + (top - b.top) * scale - top;
    element.style.transform = `translate(${dx}px, ${dy}px) scale(${scale})`;
  }

  // The element scaled about its corner, which lands at (x, y).
  putAt(element, scale, x, y) {
    const [left, top] = edges(element);
    this.scaleAt(element, { left, top }, scale, x, y);
  }

  // A block one control under another from y down: its height.
  list(block, viewWidth, y) {
    if (block.listed === 'boxes') return this.listBoxes(block, viewWidth, y);
    if (block.listed === 'legend') return this.listLegend(block, viewWidth, y);
    return this.reflow(block, viewWidth, y);
  }

  // The diagram's picture scaled to the width, its marks on it at no less
  // than their design size; under it each box beside its caption, a row
  // each, in the order they stand on the diagram, top to bottom.
  listBoxes(block, viewWidth, y) {
    const elements = block.members.map((m) => m.element);
    const boxes = elements.filter((e) => e.matches('input'));
    const captions = new Set(boxes.map((box) => this.captionOf.get(box)));
    const picture = elements.find((e) => e.matches('img'));
    const [pictureLeft, pictureTop, pictureWidth, pictureHeight] = edges(picture);
    const scale = (viewWidth - 2 * GAP) / pictureWidth;
    const marks = elements.filter((e) => !e.matches('img, input') && !captions.has(e));
    // A mark shrinks to its text, which keeps its size, on the picture. All
    // of them first, then their sizes read: one layout for them all.
    for (const mark of marks) Object.assign(mark.style, { width: 'max-content', height: 'auto' });
    const sizes = marks.map((mark) => [mark.offsetWidth, mark.offsetHeight]);
    marks.forEach((mark, i) => {
      const [left, top] = edges(mark);
      const [markWidth, markHeight] = sizes[i];
      const markScale = Math.max(scale, 1);
      const x = Math.min(GAP + (left - pictureLeft) * scale, viewWidth - GAP - markWidth * markScale);
      const below = y + pictureHeight * scale - markHeight * markScale;
      this.putAt(mark, markScale, x, Math.min(below, y + (top - pictureTop) * scale));
    });
    this.putAt(picture, scale, GAP, y);
    let row = y + pictureHeight * scale + GAP;
    boxes.sort((p, q) => edges(p)[1] - edges(q)[1] || edges(p)[0] - edges(q)[0]);
    const boxWidth = Math.max(...boxes.map((box) => edges(box)[2]));
    for (const box of boxes) {
      const height = edges(box)[3];
      box.style.width = `${boxWidth}px`;
      const x = viewWidth - GAP - boxWidth * block.least;
      this.putAt(box, block.least, x, row);
      const caption = this.captionOf.get(box);
      caption.classList.add('listed');
      Object.assign(caption.style, { left: `${GAP}px`, top: `${row}px`, width: `${x - 2 * GAP}px`, height: `${height * block.least}px` });
      row += height * block.least + GAP;
    }
    return row - GAP - y;
  }

  // Each line of the legend: its sample at the design size, its text beside
  // it across the rest of the width, wrapped.
  listLegend(block, viewWidth, y) {
    const texts = block.members.map((m) => m.element).filter((e) => e.matches('.label'));
    const samples = block.members.map((m) => m.element).filter((e) => !e.matches('.label'));
    // Every line's width first, then their heights read (one layout for
    // them all), then each put under the one before.
    const lines = texts.map((text) => {
      const [left, top, , height] = edges(text);
      const sample = samples.find((s) => edges(s)[1] >= top && edges(s)[1] < top + height);
      const sampleLeft = edges(sample)[0];
      const textLeft = GAP + left - sampleLeft;
      text.classList.add('wrapped');
      Object.assign(text.style, { left: `${textLeft}px`, width: `${viewWidth - textLeft - GAP}px`, height: 'auto' });
      return { text, top, height, sample, sampleLeft };
    });
    for (const line of lines) line.wrapped = line.text.offsetHeight;
    let row = y;
    for (const { text, top, height, sample, sampleLeft, wrapped } of lines) {
      sample.style.transform = `translate(${GAP - sampleLeft}px, ${row - top}px)`;
      text.style.top = `${row}px`;
      this.wrappedHeights.set(text, wrapped);
      row += Math.max(wrapped, height);
    }
    return row - y;
  }

  // A line of text across the screen, wrapped to its width.
  reflow(block, viewWidth, y) {
    for (const { element } of block.members) {
      element.classList.add('wrapped');
      Object.assign(element.style, { left: `${GAP}px`, top: `${y}px`, width: `${viewWidth - 2 * GAP}px`, height: 'auto' });
    }
    let height = 0;
    for (const { element } of block.members) {
      this.wrappedHeights.set(element, element.offsetHeight);
      height = Math.max(height, element.offsetHeight);
    }
    return height;
  }

  // The scale an element of the window is shown at.
  scaleOfElement(element) {
    return this.scales.get(element)?.scale ?? 1;
  }

  // The scale for a text laid over a control at that scale: the control's,
  // or on a narrow screen at least what keeps the text readable.
  readableScale(text, scale) {
    return this.narrow ? Math.max(scale, TEXT / fontPixels(text)) : scale;
  }

  // Where a point (x, y) CSS pixels into a control of the window falls, in
  // the window's coordinates.
  pointIn(element, x, y) {
    const [left, top] = edges(element);
    const at = this.scales.get(element);
    if (!at) return [left + x, top + y];
    return [at.x + (left + x - at.b.left) * at.scale, at.y + (top + y - at.b.top) * at.scale];
  }

  // A zoom, or the window moved to another screen: pixels of another size.
  watchPixelRatio() {
    matchMedia(`(resolution: ${devicePixelRatio}dppx)`)
      .addEventListener('change', () => { this.fit(); this.watchPixelRatio(); }, { once: true });
  }
}
