// CALVETRA's window as a web page. The program's behaviour is the core,
// compiled to WebAssembly (calvetra-core.js); this script builds the window
// from the core's layout table, hands the controls' events to the core and
// carries out what the core asks of the window.
//
// This is the page's entry: it imports the page's parts (page/*.js), starts
// the session and joins them. The build bundles them into one script,
// calvetra-page.js, which index.html loads after the core's module.

import { Address } from './page/address.js';
import { GraphLook } from './page/graph_look.js';
import { Arrangement } from './page/arrangement.js';
import { buildWindow, captionWindow } from './page/controls.js';
import { CoursePlatform } from './page/course_platform.js';
import { DataTablePanel } from './page/data_table.js';
import { wireHelp } from './page/help.js';
import { MessageQueue } from './page/messages.js';
import { Picture } from './page/picture.js';
import { wireReadout } from './page/readout.js';
import { Results } from './page/results.js';
import { askDecimalSeparator } from './page/separator.js';
import { LanguageChoice, fillTexts, keepLanguage, keptLanguage, takeTexts, text } from './page/texts.js';

// With calvetraTiming set (the browser benchmark sets it), the page measures
// the core's and the drawing's share of each action as performance entries.
function timed(name, work) {
  if (!globalThis.calvetraTiming) {
    work();
    return;
  }
  const start = performance.now();
  work();
  performance.measure(name, { start });
}

// A moment of the page's start, marked for the benchmark's cold-load breakdown.
function marked(name) {
  if (globalThis.calvetraTiming) performance.mark(name);
}

// A notice in place of the window, one paragraph per text.
function showNotice(paragraphs) {
  const notice = document.createElement('main');
  notice.className = 'notice';
  notice.replaceChildren(...paragraphs.map((t) => Object.assign(document.createElement('p'), { textContent: t })));
  document.body.replaceChildren(notice);
}

function showClosingNotice() {
  showNotice([text('PageEnded'), text('PageEndedHow')]);
}

// Without the program there is no catalogue: the notice is the one the
// build wrote into index.html, in Spanish.
function showLoadFailure(error) {
  const notice = document.createElement('main');
  notice.className = 'notice';
  notice.append(document.getElementById('load-failure').content.cloneNode(true));
  document.body.replaceChildren(notice);
  console.error(error);
}

// The start in a few short tasks rather than one long one, so that a slow
// phone stays responsive while it starts; the window is shown once it is
// built, filled and placed, so nothing on it moves after it first appears.
const nextTask = () => new Promise((resolve) => setTimeout(resolve, 0));

async function start() {
  const separatorAsked = askDecimalSeparator();
  marked('calvetra-core-asked');
  const core = await createCalvetra();
  const separator = await separatorAsked;
  marked('calvetra-core-started');
  takeTexts(core);
  await nextTask();
  const layout = core.layout();
  await nextTask();
  const form = document.getElementById('form1');
  form.style.visibility = 'hidden';
  const { byName } = buildWindow(form, layout);
  const boxes = layout.boxes.map((name) => byName.get(name));
  const captions = layout.labels.map((name) => byName.get(name));
  const legendLines = layout.legendLines.map((name) => byName.get(name));
  const canvas = byName.get('Picture2');
  // The graph box's size from the table, as place() gave it the canvas: no
  // layout of the half-built window to read it back.
  const graphBox = layout.controls.find((c) => c.name === 'Picture2');
  const picture = new Picture(canvas, graphBox.pixels.width, graphBox.pixels.height);
  const messages = new MessageQueue(document.getElementById('message'));
  marked('calvetra-window-built');
  await nextTask();
  let closing = false;
  let arranged = false; // drawn first once the window has its place and scale
  let started = false; // the start draws the first picture in a task of its own
  let drawnRevision = -1;
  // The text of each box as the core last saw it.
  const seen = boxes.map((input) => input.value);

  // The window as the core sees it. The core keeps the boxes' texts
  // itself: the page hands in what the user leaves in one.
  const page = {
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
    // The legend is written again at every redraw: an unchanged caption is
    // left alone, so that nothing is laid out or read out again for it.
    setCaption: (label, caption) => {
      if (captions[label].textContent !== caption) captions[label].textContent = caption;
    },
    setLegendLineVisible: (index, visible) => { legendLines[index].hidden = !visible; },
    setCrossCursor: () => { canvas.style.cursor = 'crosshair'; },
    showReadoutNote: (text, left, top) => readout.showNote(text, left, top),
    showMessage: (message) => messages.add(message),
    close: () => { closing = true; },
  };

  const session = new core.Session(page, separator);
  const arrangement = new Arrangement(form, layout, byName, () => {
    if (closing) return;
    arranged = true;
    if (started) drawPicture(true);
    readout.fit();
  });

  function drawPicture(always) {
    const revision = session.pictureRevision();
    if (!always && revision === drawnRevision) return;
    picture.draw(session, devicePixelRatio * arrangement.scaleOfElement(canvas));
    drawnRevision = revision;
  }

  // One user action through the core, then what it left to show.
  function act(action) {
    if (closing || messages.busy) return;
    timed('calvetra-core', action);
    followLanguage();
    address.update();
    platform.update();
    if (closing) {
      address.write();
      platform.write();
      session.delete();
      showClosingNotice();
      return;
    }
    if (arranged) timed('calvetra-draw', () => drawPicture(false));
    results.follow();
    look.follow();
    messages.showNext();
  }

  // A change of a box's text runs its handler once, whatever made it:
  // typing, paste, autofill, assistive technology. Text still being composed
  // by an input method waits for the composition's end.
  function textChanged(box, event) {
    const { value } = boxes[box];
    if (event.isComposing || value === seen[box]) return;
    act(() => {
      seen[box] = value;
      session.userChangedText(box, value);
    });
  }
  boxes.forEach((input, box) => {
    input.addEventListener('input', (event) => textChanged(box, event));
    input.addEventListener('compositionend', (event) => textChanged(box, event));
  });
  for (const [name, handler] of Object.entries(layout.buttonHandlers))
    byName.get(name).addEventListener('click', () => act(() => session[handler]()));
  const readout = wireReadout(canvas, byName.get('Label6(0)'),
    { box: graphBox, noteSize: layout.readoutNote }, arrangement, session, act);
  const help = wireHelp(session, () => closing, () => arrangement.fit());
  const say = (message) => {
    messages.add(message);
    if (!messages.dialog.open) messages.showNext();
  };
  const dataTable = new DataTablePanel(document.getElementById('data-table'), session);
  const address = new Address(session);
  const platform = new CoursePlatform(session);
  const look = new GraphLook({ session, act, legendLines, redraw: () => arranged && drawPicture(false) });
  const results = new Results({ session, canvas, say, title: `CALVETRA ${core.version()}`, dataTable,
    link: () => address.href(), act, look });

  // The language the page's texts are in. Another one chosen (from the
  // page bar, or by a link) writes every text again: the controls' captions
  // and names, the page's own texts, the legends (the core's), and whatever
  // is open; the runs and the boxes stay as they are.
  let shownLanguage = core.language();
  const languageChoice = new LanguageChoice(core.languages(), (code) => {
    act(() => session.chooseLanguage(code));
    if (core.language() === code) keepLanguage(code);
    languageChoice.show(core.language());
  });
  languageChoice.show(shownLanguage);
  function followLanguage() {
    if (core.language() === shownLanguage) return;
    shownLanguage = core.language();
    takeTexts(core);
    document.documentElement.lang = shownLanguage;
    fillTexts();
    captionWindow(byName, core.layout());
    languageChoice.show(shownLanguage);
    results.retext();
    help.retext();
    dataTable.retext();
    arrangement.fit();
    drawPicture(true);
  }

  await nextTask();
  // A link or a reload brings back its set-up on the freshly loaded
  // program; what it could not apply comes as one message.
  act(() => {
    session.load();
    // The language chosen on an earlier visit, unless the link names one.
    const kept = keptLanguage();
    if (kept) session.chooseLanguage(kept);
    if (!platform.restore()) address.restore();
    look.restore(/(^|[#&])(view|marks)=/.test(location.hash));
  });
  if (closing) return;
  await nextTask();
  arrangement.fit();
  await nextTask();
  if (closing) return;
  started = true;
  drawPicture(true);
  await nextTask();
  form.style.visibility = '';
  // The page opens at its top, whatever the screen.
  boxes[0].focus({ preventScroll: true });
  performance.mark('calvetra-ready');
}

start().catch(showLoadFailure);
