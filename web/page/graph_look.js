// The graph's look as the student chooses it: "Modo proyector" (the page
// bar's toggle and the results menu) and "Distinguir las simulaciones sin
// color" (the results menu), both kept for the next visit; and the system's
// high contrast, which the page follows as the system turns it on and off.
// The core decides what each look is; the page only hands the choices in
// and shows the legend samples the core draws.

import { text } from './texts.js';

const KEPT_LOOK = 'calvetra-look';
const FORCED_COLOURS = '(forced-colors: active)';

function keptLook() {
  try {
    const look = JSON.parse(localStorage.getItem(KEPT_LOOK));
    return typeof look?.projector === 'boolean' && typeof look?.marks === 'boolean' ? look : null;
  } catch {
    return null;
  }
}

export class GraphLook {
  // act: one user action through the core; legendLines: the window's legend
  // line elements, run by run; redraw(): the graph drawn again if changed.
  constructor({ session, act, legendLines, redraw }) {
    Object.assign(this, { session, act, legendLines });
    this.button = Object.assign(document.createElement('button'), { type: 'button', id: 'projector-button' });
    this.button.dataset.text = 'ProjectorMode';
    this.button.textContent = text('ProjectorMode');
    this.button.addEventListener('click', () => this.chooseProjector(!session.projectorShown()));
    document.getElementById('help-button').after(this.button);
    this.forced = matchMedia(FORCED_COLOURS);
    // The system's doing, not the student's: followed even while a message
    // waits for an answer.
    this.forced.addEventListener('change', () => {
      session.followSystemContrast(this.forced.matches);
      this.follow();
      redraw();
    });
  }

  // At the start, inside the start's own action: the system's contrast, and
  // the look kept from an earlier visit unless the link names one.
  restore(linkNamesLook) {
    if (this.forced.matches) this.session.followSystemContrast(true);
    const kept = keptLook();
    if (!kept || linkNamesLook) return;
    if (kept.projector) this.session.chooseProjector(true);
    this.session.chooseRunMarks(kept.marks);
  }

  chooseProjector(on) {
    this.act(() => this.session.chooseProjector(on));
    this.keep();
  }

  chooseRunMarks(on) {
    this.act(() => this.session.chooseRunMarks(on));
    this.keep();
  }

  keep() {
    try {
      localStorage.setItem(KEPT_LOOK, JSON.stringify({
        projector: this.session.projectorShown(), marks: this.session.runMarksShown() }));
    } catch {
      // not kept: this visit still shows it
    }
  }

  // After every action: the toggle's state, and the legend lines' samples
  // when the look has changed (not at every key). A sample is a picture of
  // what the legend's text already says: hidden from screen readers.
  follow() {
    const { session } = this;
    const look = `${session.projectorShown()} ${session.runMarksShown()} ${this.forced.matches}`;
    if (look === this.shownLook) return;
    this.shownLook = look;
    this.button.setAttribute('aria-pressed', String(session.projectorShown()));
    this.legendLines.forEach((line, run) => {
      const sample = session.legendSample(run);
      line.classList.toggle('sampled', sample !== '');
      line.innerHTML = sample.replace(/^<\?xml[^>]*>\s*/, '');
      line.querySelector('svg')?.setAttribute('aria-hidden', 'true');
    });
  }
}
