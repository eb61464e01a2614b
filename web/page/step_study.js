// "Estudio del paso": for a drawn run chosen by name, the core's tables of
// the end temperature by Runge-Kutta, Heun and Euler as the step shrinks,
// its sentences on why an order falls short, and its log-log plot, with the
// study's CSV and SVG to save. The dialog follows the graph while it is open.

import { tableElement } from './data_table.js';
import { text } from './texts.js';

export class StepStudyDialog {
  // save(name, blob): the page's download.
  constructor(dialog, session, save) {
    Object.assign(this, { dialog, session, save, shownRevision: -1, shown: null });
    this.choice = dialog.querySelector('select');
    this.content = dialog.querySelector('.study-content');
    dialog.querySelector('.panel-bar button').addEventListener('click', () => dialog.close());
    this.choice.addEventListener('change', () => this.show());
    dialog.querySelector('[data-action="csv"]').addEventListener('click', () => this.shown &&
      this.save('calvetra-paso.csv', new Blob([this.shown.csv], { type: 'text/csv;charset=utf-8' })));
    dialog.querySelector('[data-action="svg"]').addEventListener('click', () => this.shown &&
      this.save('calvetra-paso.svg', new Blob([new TextEncoder().encode(this.shown.svg)], { type: 'image/svg+xml' })));
  }

  // The last drawn run first: the one the student has just made.
  open() {
    this.shownRevision = -1;
    this.follow(true);
    if (!this.dialog.open) this.dialog.showModal();
    this.choice.focus();
  }

  retext() {
    this.shownRevision = -1;
    this.follow();
  }

  // After every action, while open: made again only when the graph changed.
  follow(newest = false) {
    if (!this.dialog.open && !newest) return;
    const revision = this.session.pictureRevision();
    if (revision === this.shownRevision) return;
    const names = this.session.studyChoices();
    const chosen = newest ? names.length - 1 : Math.min(this.choice.selectedIndex, names.length - 1);
    this.choice.replaceChildren(...names.map((name) => new Option(name)));
    this.choice.selectedIndex = chosen;
    this.show();
    this.shownRevision = revision;
  }

  show() {
    this.shown = this.choice.selectedIndex < 0 ? null : this.session.study(this.choice.selectedIndex);
    for (const button of this.dialog.querySelectorAll('[data-action]')) button.disabled = !this.shown;
    if (!this.shown) {
      this.content.replaceChildren(Object.assign(document.createElement('p'), { textContent: text('NoRuns') }));
      return;
    }
    const { subject, tables, notes, svg } = this.shown;
    const plot = new DOMParser().parseFromString(svg, 'image/svg+xml').documentElement;
    plot.removeAttribute('width');
    plot.removeAttribute('height');
    plot.setAttribute('class', 'study-plot');
    this.content.replaceChildren(
      Object.assign(document.createElement('p'), { className: 'study-subject', textContent: subject }),
      // Each table scrolls sideways on its own where the screen is narrower.
      ...tables.map((table) => {
        const scroll = Object.assign(document.createElement('div'), { className: 'table-scroll' });
        scroll.append(tableElement(table));
        return scroll;
      }),
      ...notes.map((note) => Object.assign(document.createElement('p'), { textContent: note })),
      document.importNode(plot, true));
  }
}
