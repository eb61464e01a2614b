// The window's place and scale on the page. From the design size up, the
// window stands whole and unscaled in the middle of the viewport, as on the
// desktop. On a narrower viewport (a phone, a tablet upright, a zoomed
// browser) its controls move in blocks, each the part of the window it is
// on the desktop, stacked for the screen and scaled to its width.
'use strict';

const GAP = 8; // CSS pixels between the blocks, and around the page bar
const MOST = 1.5; // the largest scale of a block that does not fill the width
const HELP_LEAST = 240; // the narrowest help beside the window, CSS pixels

// The blocks of a narrow screen, row by row, as regions of the window in
// twips (left, top, right, bottom): a control belongs to the region its top
// left corner lies in. A row's blocks share a line if they fit it.
// least: the smallest scale that keeps its boxes 24 pixels tall and its text
// readable. fill: scaled to the full width. scrolls: wider than the screen,
// it scrolls sideways on its own. reflow: unscaled, its text wraps.
const NARROW_ROWS = [
  [{ region: [0, 0, 8160, 5600], least: 1, scrolls: true }], // the diagram and its boxes
  [{ region: [0, 5600, 4760, 7300] }, { region: [4760, 5600, 8160, 7300], least: 1 }], // buttons; Frame1
  [{ region: [8160, 0, 10770, 480] }, { region: [10770, 0, 15078, 480], least: 1 }], // read-out; time span
  [{ region: [8160, 480, 15078, 5600], fill: true }], // the graph
  [{ region: [8160, 5600, 15078, 6700] }], // the legend
  [{ region: [8160, 6700, 15078, 7300], fill: true }], // "Borrar Gráfica"
  [{ region: [0, 7300, 15078, 7658], reflow: true }], // the credit line
];

const inRegion = ([left, top, right, bottom], c) => c.left >= left && c.left < right && c.top >= top && c.top < bottom;
const edges = (element) => ['left', 'top', 'width', 'height'].map((side) => parseFloat(element.style[side]));

class Arrangement {
  // byName: the elements of the window's controls; onScale: called after
  // every change.
  constructor(form, layout, byName, onScale) {
    Object.assign(this, { form, onScale, width: px(layout.clientWidth), height: px(layout.clientHeight) });
    this.bar = document.getElementById('page-bar');
    this.help = document.getElementById('help');
    this.blocks = NARROW_ROWS.map((row) => row.map((block) => ({ ...block, members: [] })));
    this.controls = layout.controls.filter((c) => !c.container);
    for (const c of this.controls) {
      const block = this.blocks.flat().find((b) => inRegion(b.region, c));
      block.members.push({ c, element: byName.get(c.name) });
    }
    // The diagram's own sideways scroller; the focus order stays the tab
    // indices' whatever the elements' order.
    this.diagram = document.createElement('div');
    this.diagram.id = 'diagram';
    form.prepend(this.diagram);
    for (const { element } of this.blocks[0][0].members) this.diagram.append(element);
    this.narrow = false;
    this.scales = new Map();
    addEventListener('resize', () => this.fit());
    // An on-screen keyboard may shrink only the visual viewport.
    visualViewport?.addEventListener('resize', () => this.keepFocusInSight());
    this.watchPixelRatio();
  }

  fit() {
    if (!this.form.isConnected) return; // the session has ended
    const view = document.documentElement;
    this.narrow = innerWidth < this.width || innerHeight < this.height;
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

  // Every control from its place on the window, then stacked or centred.
  arrange(viewWidth, viewHeight) {
    for (const { c, element } of this.blocks.flat().flatMap((b) => b.members)) {
      element.style.transform = '';
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
    this.diagram.removeAttribute('style');
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
      const lines = row.length > 1 && row.every((block) => shared >= (block.least ?? 0)) ? [row] : row.map((b) => [b]);
      for (const line of lines) {
        let x = GAP, lineHeight = 0;
        const lineWidth = line.reduce((sum, b) => sum + this.bounds(b).width, 0);
        for (const block of line) {
          const b = this.bounds(block);
          const scale = line.length > 1 ? shared : this.scaleOf(block, b, viewWidth);
          if (line.length === 1) x = Math.max(0, (viewWidth - b.width * scale) / 2);
          else if (block === line[0]) x = (viewWidth - lineWidth * scale - GAP * (line.length - 1)) / 2;
          const height = block.reflow ? this.reflow(block, viewWidth, x, y) : this.move(block, b, scale, x, y, viewWidth);
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

  scaleOf(block, b, viewWidth) {
    if (block.fill) return viewWidth / b.width;
    return Math.max(block.least ?? 0, Math.min(MOST, (viewWidth - 2 * GAP) / b.width));
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
  // about the block's corner, which lands at (x, y); a block that scrolls
  // sideways does so in its own box the width of the screen.
  move(block, b, scale, x, y, viewWidth) {
    if (block.scrolls) {
      Object.assign(this.diagram.style, { left: '0', top: `${y}px`, width: `${viewWidth}px`, height: `${b.height * scale}px` });
      y = 0;
      x = Math.max(0, (viewWidth - b.width * scale) / 2);
    }
    for (const { element } of block.members) {
      const [left, top] = edges(element);
      const dx = x + (left - b.left) * scale - left, dy = y + (top - b.top) * scale - top;
      element.style.transform = `translate(${dx}px, ${dy}px) scale(${scale})`;
    }
    return b.height * scale;
  }

  // A line of text across the screen, wrapped to its width.
  reflow(block, viewWidth, x, y) {
    let height = 0;
    for (const { element } of block.members) {
      Object.assign(element.style, { left: `${GAP}px`, top: `${y}px`, width: `${viewWidth - 2 * GAP}px`, height: 'auto' });
      height = Math.max(height, element.offsetHeight);
    }
    return height;
  }

  // The scale an element of the window is shown at.
  scaleOfElement(element) {
    return this.scales.get(element)?.scale ?? 1;
  }

  // Where a point (x, y) CSS pixels into a control of the window (one
  // outside the diagram) falls, in the window's coordinates.
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
