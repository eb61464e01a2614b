// The graph's results: its menu (right click, a long press, the Menu key or
// Shift+F10 on the graph, and the page's "Resultados" button), the same
// shortcuts as on the desktop with the graph focused, and what each item
// does. The files are the core's own bytes (the CSV, the SVG drawing); only
// the PNG is the browser's, drawn from that SVG.

import { tableElement } from './data_table.js';
import { StepStudyDialog } from './step_study.js';
import { text } from './texts.js';

// Each item with the key of its text in the catalogue.
const RESULT_ITEMS = [
  { name: 'copy', text: 'CopyGraph', key: 'c' },
  { name: 'save', text: 'SaveGraphAs', key: 's' },
  { name: 'export', text: 'ExportData', key: 'e', needsRuns: true },
  { name: 'print', text: 'Print', key: 'p' },
  null,
  { name: 'table', text: 'ShowDataTable' },
  { name: 'link', text: 'CopyLink' },
  null,
  { name: 'exact', text: 'ExactSolutionOption', checkable: true },
  { name: 'projector', text: 'ProjectorMode', checkable: true },
  { name: 'marks', text: 'RunMarksOption', checkable: true },
  { name: 'study', text: 'StepStudyMenu', needsRuns: true },
];

// The messages of what the browser or the frame refused, in the language
// the program speaks.
const COPY_REFUSED = () => text('GraphCopyRefused', text('SaveGraphAs'));
const LINK_REFUSED = () => text('LinkCopyRefused');
// A course platform may show the page in a sandboxed frame that refuses
// downloads or the print dialog without a word to the page: the user is told
// instead. Only a frame of the page's own origin shows its sandbox.
const FRAME_REFUSALS = {
  save: 'allow-downloads',
  export: 'allow-downloads',
  print: 'allow-modals',
};
const FRAME_REFUSED = {
  'allow-downloads': () => text('FrameRefusesDownloads', text('CopyLink')),
  'allow-modals': () => text('FrameRefusesPrinting', text('CopyLink')),
};
const LONG_PRESS_MS = 600;
const LONG_PRESS_SLOP_PX = 10;

// calvetra-2026-12-09.svg: the program and the local date.
function resultFileName(extension, date = new Date()) {
  const two = (n) => String(n).padStart(2, '0');
  return `calvetra-${date.getFullYear()}-${two(date.getMonth() + 1)}-${two(date.getDate())}.${extension}`;
}

function frameRefuses(permission) {
  try {
    const frame = window.frameElement;
    return Boolean(frame?.hasAttribute('sandbox')) && !frame.sandbox.contains(permission);
  } catch {
    return false;
  }
}

function download(name, blob) {
  const link = document.createElement('a');
  link.href = URL.createObjectURL(blob);
  link.download = name;
  link.hidden = true;
  document.body.append(link);
  link.click();
  link.remove();
  setTimeout(() => URL.revokeObjectURL(link.href), 60000);
}

// The core's SVG drawing painted by the browser at scale times its size,
// as a PNG.
async function svgToPng(svg, scale) {
  const url = URL.createObjectURL(new Blob([svg], { type: 'image/svg+xml' }));
  try {
    const image = new Image();
    image.src = url;
    await image.decode();
    const canvas = document.createElement('canvas');
    canvas.width = Math.round(image.naturalWidth * scale);
    canvas.height = Math.round(image.naturalHeight * scale);
    canvas.getContext('2d').drawImage(image, 0, 0, canvas.width, canvas.height);
    return await new Promise((resolve) => canvas.toBlob(resolve, 'image/png'));
  } finally {
    URL.revokeObjectURL(url);
  }
}

// The menu itself: items that keep the focus among them while it is open.
class ResultsMenu {
  constructor(onChoose) {
    this.element = document.createElement('div');
    Object.assign(this.element, { id: 'results-menu', hidden: true });
    this.element.setAttribute('role', 'menu');
    this.element.setAttribute('data-text-aria-label', 'Results');
    this.element.setAttribute('aria-label', text('Results'));
    this.items = new Map();
    for (const item of RESULT_ITEMS) {
      if (!item) {
        const separator = document.createElement('div');
        separator.setAttribute('role', 'separator');
        this.element.append(separator);
        continue;
      }
      const button = document.createElement('button');
      button.type = 'button';
      button.tabIndex = -1;
      button.dataset.item = item.name;
      button.setAttribute('role', item.checkable ? 'menuitemcheckbox' : 'menuitem');
      const label = Object.assign(document.createElement('span'), { textContent: text(item.text) });
      label.dataset.text = item.text;
      button.append(label);
      if (item.key) {
        button.setAttribute('aria-keyshortcuts', `Control+${item.key.toUpperCase()}`);
        const shortcut = document.createElement('span');
        shortcut.className = 'shortcut';
        shortcut.setAttribute('aria-hidden', 'true');
        // "Ctrl" as the keyboards of every language the page speaks print it.
        shortcut.textContent = `Ctrl+${item.key.toUpperCase()}`;
        button.append(shortcut);
      }
      button.addEventListener('click', () => {
        if (button.getAttribute('aria-disabled') !== 'true') onChoose(item.name);
      });
      this.items.set(item.name, button);
      this.element.append(button);
    }
    this.element.addEventListener('keydown', (event) => this.keydown(event));
    this.element.addEventListener('focusout', (event) => {
      if (!this.element.contains(event.relatedTarget)) this.close(false);
    });
    document.body.append(this.element);
    this.opener = null;
  }

  get open() {
    return !this.element.hidden;
  }

  // At (x, y) in the viewport, kept inside it; the focus on the first item.
  // checked: the checkable items' states, by name.
  show(x, y, opener, hasRuns, checked) {
    for (const item of RESULT_ITEMS) {
      if (item?.needsRuns) this.items.get(item.name).setAttribute('aria-disabled', String(!hasRuns));
      if (item?.checkable) this.items.get(item.name).setAttribute('aria-checked', String(checked[item.name]));
    }
    this.opener ??= opener;
    this.element.hidden = false;
    const { offsetWidth: w, offsetHeight: h } = this.element;
    this.element.style.left = `${Math.max(0, Math.min(x, innerWidth - w))}px`;
    this.element.style.top = `${Math.max(0, Math.min(y, innerHeight - h))}px`;
    this.opener?.setAttribute?.('aria-expanded', 'true');
    this.buttons()[0].focus();
  }

  // giveFocusBack: false when the focus has already gone elsewhere.
  close(giveFocusBack = true) {
    if (!this.open) return;
    this.element.hidden = true;
    const opener = this.opener;
    this.opener = null;
    if (opener?.hasAttribute('aria-expanded')) opener.setAttribute('aria-expanded', 'false');
    if (giveFocusBack) opener?.focus();
  }

  buttons() {
    return [...this.items.values()];
  }

  keydown(event) {
    const buttons = this.buttons();
    const at = buttons.indexOf(document.activeElement);
    const moves = { ArrowDown: at + 1, ArrowUp: at - 1, Home: 0, End: buttons.length - 1 };
    if (event.key in moves) {
      buttons[(moves[event.key] + buttons.length) % buttons.length].focus();
    } else if (event.key === 'Escape' || event.key === 'Tab') {
      this.close();
    } else {
      return;
    }
    event.preventDefault();
    event.stopPropagation();
  }
}

// session: the core; say(message): one message box of the page; title: the
// name and version printed on the sheet.
export class Results {
  // link: the page's address as it stands now.
  // act: one user action through the core (see start()).
  // look: the graph's look (graph_look.js).
  constructor({ session, canvas, say, title, dataTable, link, act, look }) {
    Object.assign(this, { session, canvas, say, title, dataTable, link, act, look });
    this.study = new StepStudyDialog(document.getElementById('step-study'), session, (name, blob) => this.saveFile(name, blob));
    this.menu = new ResultsMenu((name) => this.choose(name));
    this.saveDialog = document.getElementById('save-graph');
    this.printSheet = document.getElementById('print-sheet');
    this.printedRevision = -1;
    this.button = this.makeButton();
    this.wireGraph();
    this.saveDialog.addEventListener('close', () => {
      if (this.saveDialog.returnValue === 'save') this.saveGraph(this.saveDialog.querySelector('form').format.value);
    });
    this.saveDialog.addEventListener('change', () => this.showSaveName());
    // The browser's own print command prints the same sheet.
    addEventListener('beforeprint', () => this.preparePrint());
  }

  // "Resultados" in the page's bar, before "Ayuda".
  makeButton() {
    let bar = document.getElementById('page-bar');
    if (!bar) {
      bar = Object.assign(document.createElement('header'), { id: 'page-bar' });
      document.getElementById('form1').after(bar);
    }
    const button = Object.assign(document.createElement('button'), { type: 'button', id: 'results-button' });
    button.dataset.text = 'Results';
    button.textContent = text('Results');
    button.setAttribute('aria-haspopup', 'menu');
    button.setAttribute('aria-expanded', 'false');
    button.setAttribute('aria-controls', 'results-menu');
    button.addEventListener('click', () => {
      const r = button.getBoundingClientRect();
      this.openMenu(r.left, r.bottom, button);
    });
    bar.insertBefore(button, document.getElementById('help-button'));
    return button;
  }

  openMenu(x, y, opener) {
    this.menu.show(x, y, opener, this.session.drawnRunCount() > 0, { exact: this.session.exactSolutionShown(),
      projector: this.session.projectorShown(), marks: this.session.runMarksShown() });
  }

  // At the graph's top left corner, for the keyboard.
  openMenuOnGraph() {
    const r = this.canvas.getBoundingClientRect();
    this.openMenu(r.left + 8, r.top + 8, this.canvas);
  }

  wireGraph() {
    const { canvas } = this;
    canvas.addEventListener('contextmenu', (event) => {
      event.preventDefault();
      if (!this.menu.open) this.openMenu(event.clientX, event.clientY, canvas);
    });
    canvas.addEventListener('keydown', (event) => {
      if (event.key === 'ContextMenu' || (event.key === 'F10' && event.shiftKey)) {
        event.preventDefault();
        this.openMenuOnGraph();
        return;
      }
      const item = (event.ctrlKey || event.metaKey) && !event.altKey &&
        RESULT_ITEMS.find((i) => i?.key === event.key.toLowerCase());
      if (!item) return;
      event.preventDefault();
      this.choose(item.name);
    });
    // A long press of a finger, where the browser gives no menu of its own.
    let press = null;
    const cancel = () => {
      clearTimeout(press?.timer);
      press = null;
    };
    canvas.addEventListener('pointerdown', (event) => {
      if (event.pointerType !== 'touch') return;
      cancel();
      const { clientX: x, clientY: y } = event;
      press = { x, y, timer: setTimeout(() => { cancel(); if (!this.menu.open) this.openMenu(x, y, canvas); }, LONG_PRESS_MS) };
    });
    canvas.addEventListener('pointermove', (event) => {
      if (press && Math.hypot(event.clientX - press.x, event.clientY - press.y) > LONG_PRESS_SLOP_PX) cancel();
    });
    for (const type of ['pointerup', 'pointercancel', 'pointerleave']) canvas.addEventListener(type, cancel);
  }

  choose(name) {
    if (RESULT_ITEMS.find((i) => i?.name === name)?.needsRuns && this.session.drawnRunCount() === 0) return;
    this.menu.close();
    const permission = FRAME_REFUSALS[name];
    if (permission && frameRefuses(permission)) return this.say(FRAME_REFUSED[permission]());
    switch (name) {
      case 'copy': return this.copyGraph();
      case 'save': return this.askSaveFormat();
      case 'export':
        return download(resultFileName('csv'), new Blob([this.session.csv()], { type: 'text/csv;charset=utf-8' }));
      case 'print':
        this.preparePrint();
        return print();
      case 'table': return this.dataTable.open();
      case 'link': return this.copyLink();
      case 'exact': return this.act(() => this.session.setExactSolution(!this.session.exactSolutionShown()));
      case 'study': return this.study.open();
      case 'projector': return this.look.chooseProjector(!this.session.projectorShown());
      case 'marks': return this.look.chooseRunMarks(!this.session.runMarksShown());
    }
  }

  async copyGraph() {
    try {
      const png = svgToPng(this.session.svg(), devicePixelRatio);
      await navigator.clipboard.write([new ClipboardItem({ 'image/png': png })]);
    } catch (error) {
      console.error(error);
      this.say(COPY_REFUSED());
    }
  }

  async copyLink() {
    try {
      await navigator.clipboard.writeText(this.link());
    } catch (error) {
      console.error(error);
      this.say(LINK_REFUSED());
    }
  }

  askSaveFormat() {
    this.showSaveName();
    this.saveDialog.returnValue = '';
    this.saveDialog.showModal();
  }

  showSaveName() {
    const form = this.saveDialog.querySelector('form');
    form.file.value = resultFileName(form.format.value);
  }

  async saveGraph(format) {
    const svg = this.session.svg();
    download(resultFileName(format), format === 'svg'
      ? new Blob([new TextEncoder().encode(svg)], { type: 'image/svg+xml' })
      : await svgToPng(svg, 2));
  }

  // The printed sheet: the graph as the core's vector drawing with its
  // legend, the figures of every run, the date and the program's name.
  preparePrint() {
    const sheet = this.printSheet;
    sheet.querySelector('.print-title').textContent = this.title;
    sheet.querySelector('.print-date').textContent =
      new Intl.DateTimeFormat(document.documentElement.lang, { dateStyle: 'long' }).format(new Date());
    const revision = this.session.pictureRevision();
    if (revision === this.printedRevision) return;
    const drawing = new DOMParser().parseFromString(this.session.svg(), 'image/svg+xml').documentElement;
    drawing.removeAttribute('width');
    drawing.removeAttribute('height');
    sheet.querySelector('.print-graph').replaceChildren(document.importNode(drawing, true));
    sheet.querySelector('.print-figures').replaceChildren(tableElement(this.session.dataTable().runs));
    this.printedRevision = revision;
  }

  // After another language is chosen: the menu and the bar's button are
  // marked data-text and written again with the page; the sheet's figures
  // are made again at the next print.
  retext() {
    this.printedRevision = -1;
    this.study.retext();
  }

  // After every action.
  follow() {
    this.dataTable.follow();
    this.study.follow();
  }

  // A file of the study's, where the frame lets the page download.
  saveFile(name, blob) {
    if (frameRefuses(FRAME_REFUSALS.save)) return this.say(FRAME_REFUSED[FRAME_REFUSALS.save]());
    download(name, blob);
  }
}
