// The window's controls on the page: each control of the core's layout
// table made into an element at its rectangle, with its font and names.
'use strict';

const TWIPS_PER_PIXEL = 15; // at 96 dots per inch, which CSS pixels are
const PIXELS_PER_POINT = 4 / 3;

// Faces the layout was drawn with, then the nearest ones found elsewhere.
const FONT_SUBSTITUTES = {
  'MS Sans Serif': '"Microsoft Sans Serif", "Liberation Sans", Arimo, "Nimbus Sans", "DejaVu Sans", Arial, Helvetica',
  'Arial Narrow': '"Liberation Sans Narrow", "Nimbus Sans Narrow", "DejaVu Sans Condensed"',
};

const px = (twips) => Math.round(twips / TWIPS_PER_PIXEL);

// Sizes in whole pixels, as the desktop's text is drawn.
const fontSize = (points) => Math.round(points * PIXELS_PER_POINT);

function fontOf(family, points) {
  const substitutes = FONT_SUBSTITUTES[family];
  return `${fontSize(points)}px "${family}", ${substitutes ? substitutes + ', ' : ''}sans-serif`;
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
      element.src = `${c.text}.svg`;
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
      break;
    case 'line':
      element = document.createElement('div');
      element.style.background = c.lineColour ?? 'CanvasText';
      break;
  }
  element.dataset.name = c.name;
  // The focus order is the tab indices', whatever order the arrangement
  // gives the elements; the graph is in it for the read-out from the keyboard.
  if (['textBox', 'button', 'pictureBox'].includes(c.kind)) element.tabIndex = c.tabIndex + 1;
  if (c.textColour) element.style.color = c.textColour;
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
