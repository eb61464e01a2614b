// "Ver tabla de datos": the figures of the drawn runs as real tables, beside
// the window and not modal, for a reader who cannot see the graph. The
// cells are the core's, with the language's decimal separator; the tables
// follow the graph while they are open.

import { text } from './texts.js';

// A table from the core's { caption, columns, rows }: the header row's cells
// head columns, each row's first cell heads its row.
export function tableElement({ caption, columns, rows }) {
  const table = document.createElement('table');
  table.createCaption().textContent = caption;
  const head = table.createTHead().insertRow();
  for (const text of columns) {
    const th = document.createElement('th');
    th.scope = 'col';
    th.textContent = text;
    head.append(th);
  }
  const body = table.createTBody();
  for (const cells of rows) {
    const row = body.insertRow();
    cells.forEach((text, k) => {
      const cell = document.createElement(k === 0 ? 'th' : 'td');
      if (k === 0) cell.scope = 'row';
      cell.textContent = text;
      row.append(cell);
    });
  }
  return table;
}

// Both tables of the drawn runs, as the core gives them.
function dataTables(session) {
  const { runs, temperatures } = session.dataTable();
  return [tableElement(runs), tableElement(temperatures)];
}

export class DataTablePanel {
  constructor(panel, session) {
    Object.assign(this, { panel, session, shownRevision: -1, giveFocusBack: null });
    this.content = panel.querySelector('.data-table-content');
    panel.querySelector('button').addEventListener('click', () => this.close());
    panel.addEventListener('keydown', (event) => {
      if (event.key === 'Escape') this.close();
    });
  }

  open() {
    if (!this.panel.open) this.giveFocusBack = document.activeElement;
    this.panel.show();
    this.shownRevision = -1;
    this.follow();
    this.panel.querySelector('button').focus();
  }

  close() {
    if (!this.panel.open) return;
    this.panel.close();
    this.giveFocusBack?.focus();
    this.giveFocusBack = null;
  }

  // After another language is chosen: made again in it, if open.
  retext() {
    this.shownRevision = -1;
    this.follow();
  }

  // After every action, while open: made again only when the graph changed.
  follow() {
    if (!this.panel.open) return; // closed, it asks the core nothing
    const revision = this.session.pictureRevision();
    if (revision === this.shownRevision) return;
    this.content.replaceChildren(...dataTables(this.session));
    this.shownRevision = revision;
  }
}
