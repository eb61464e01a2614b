// The window's controls on the page: each control of the core's layout
// table made into an element at its rectangle, with its font and names.

import { siteFile } from './offline.js';

// faces: the layout's face, then its substitutes, as the core lists them;
// pixels: its size in whole pixels, as the core gives it. Names with a blank
// are quoted, one-word names are not: Chromium matches the two forms
// differently.
function fontOf(faces, pixels) {
  const names = faces.map((face) => (face.includes(' ') ? `"${face}"` : face));
  return `${pixels}px ${names.join(', ')}, sans-serif`;
}

// The core rounds each control's rectangle to whole pixels.
export function place(element, c) {
  const { left, top, width, height } = c.pixels;
  Object.assign(element.style, { left: `${left}px`, top: `${top}px`, width: `${width}px`, height: `${height}px` });
}

function makeControl(c) {
  let element;
  switch (c.kind) {
    case 'image':
      element = document.createElement('img');
      element.src = siteFile(`${c.text}.svg`);
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
  // Boxes and buttons take the focus of their own; the graph is given it,
  // for the read-out from the keyboard. Their order is the elements'.
  if (c.kind === 'pictureBox') element.tabIndex = 0;
  if (c.textColour) element.style.color = c.textColour;
  place(element, c);
  element.style.zIndex = c.layer;
  element.style.font = fontOf(c.fontFaces, c.fontPixels);
  if (c.centred) element.style.textAlign = 'center';
  element.hidden = !c.visible;
  nameControl(element, c);
  return element;
}

// The names assistive technology reads for a control, in the language the
// program speaks.
function nameControl(element, c) {
  if (c.kind === 'image') element.alt = c.accessibleName;
  else if (c.accessibleName) element.setAttribute('aria-label', c.accessibleName);
  if (c.accessibleDescription) element.setAttribute('aria-description', c.accessibleDescription);
}

// Every control's caption and names again, from the core's layout in
// another language. Captions the program writes at run time (layout.labels)
// are the core's to write again.
export function captionWindow(byName, layout) {
  const written = new Set(layout.labels);
  for (const c of layout.controls) {
    const element = byName.get(c.name);
    if (c.captioned && !written.has(c.name))
      (c.kind === 'frame' ? element.querySelector('.frame-caption') : element).textContent = c.text;
    nameControl(element, c);
  }
}

// Every control of the layout table in its container, in the order of the
// tab indices: the document's order is the focus order, whatever place the
// arrangement gives each element on the screen.
export function buildWindow(form, layout) {
  const { width, height } = layout.clientPixels;
  Object.assign(form.style, { width: `${width}px`, height: `${height}px` });
  form.style.font = fontOf(layout.windowFont.faces, layout.windowFont.pixels);
  const byName = new Map(layout.controls.map((c) => [c.name, makeControl(c)]));
  for (const c of [...layout.controls].sort((a, b) => a.tabIndex - b.tabIndex))
    (c.container ? byName.get(c.container) : form).append(byName.get(c.name));
  // A caption whose text changes is read out when it does.
  for (const name of layout.labels) {
    byName.get(name).setAttribute('aria-live', 'polite');
    byName.get(name).setAttribute('aria-atomic', 'true');
  }
  return { byName, width, height };
}
