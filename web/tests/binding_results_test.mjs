// The page's core gives the same bytes as the desktop's for the same
// actions: the CSV, the SVG drawing and the set-up address, through the
// binding's Session in headless Chromium, against the core built natively
// (tests/results_dump.cpp). Opening the address on a new session brings
// the same graph back.
//
//   CALVETRA_SITE=build-web/site CALVETRA_DUMP=build/tests/results_dump node web/tests/binding_results_test.mjs
//
// Exits 77 (skipped) when the site, the dump tool, the npm packages or
// Chromium are missing.
import assert from 'node:assert/strict';
import { execFileSync } from 'node:child_process';
import fs from 'node:fs';
import os from 'node:os';
import path from 'node:path';
import { after, before, test } from 'node:test';

const site = process.env.CALVETRA_SITE ?? 'build-web/site';
const dump = process.env.CALVETRA_DUMP ?? 'build/tests/results_dump';
const missing = !fs.existsSync(path.join(site, 'index.html')) ? `no site in ${site}`
  : !fs.existsSync(dump) ? `no ${dump}`
  : !fs.existsSync(new URL('../node_modules/puppeteer-core', import.meta.url)) ? 'puppeteer-core not installed (npm ci)'
  : !fs.existsSync(process.env.CHROMIUM ?? '/usr/bin/chromium') ? 'chromium not installed' : '';
if (missing) {
  console.log(`binding results test skipped: ${missing}`);
  process.exit(77);
}
const { launch, open, serve } = await import('./browser.mjs');

// Three runs, a time edit and a query.
const SCRIPT = 'C;T4=75;T7=3000;C;T4=50;C;T3=15000;T8=100';

let server, browser, page;
before(async () => {
  server = await serve(site);
  browser = await launch();
  page = await open(browser, server.url);
});
after(async () => {
  await browser?.close();
  await server?.close();
});

// Runs the script on a new core module in the page, with a window object
// that keeps the boxes' texts as the core writes them, as the page's boxes
// do; the texts typed are handed in, as the page hands in its boxes'.
function runOnThePage(script, separator) {
  return page.evaluate(async (script, separator) => {
    const core = await globalThis.createCalvetra();
    const start = core.layout().controls;
    const session = () => {
      const texts = core.layout().boxes.map((name) => start.find((c) => c.name === name).text);
      const window = {
        texts, messages: [],
        setText: (box, text) => { texts[box] = text; },
        setCaption() {}, setLegendLineVisible() {}, setCrossCursor() {}, close() {},
        showMessage(m) { this.messages.push(m); },
      };
      const s = new core.Session(window, separator);
      s.load();
      return { s, window };
    };
    const a = session();
    for (const action of script.split(';')) {
      if (action === 'C') a.s.clickCalcular();
      else if (action === 'B') a.s.clickBorrarGrafica();
      else { a.window.texts[Number(action[1])] = action.slice(3); a.s.userChangedText(Number(action[1]), action.slice(3)); }
    }
    const b = session();
    const opened = b.s.openLink(`https://example.org/#${a.s.link()}`);
    const bad = session();
    const refused = bad.s.openLink('#v=1&V=abc&runs=5.4,10&fin');
    return {
      csv: Array.from(a.s.csv()), svg: a.s.svg(), link: a.s.link(), table: a.s.dataTable(),
      opened, reopenedSvg: b.s.svg(), reopenedTexts: b.window.texts, texts: a.window.texts,
      refused, refusedShown: bad.window.messages, refusedTexts: bad.window.texts,
    };
  }, script, separator);
}

function runNatively(script, separator) {
  const dir = fs.mkdtempSync(path.join(os.tmpdir(), 'calvetra-dump-'));
  execFileSync(dump, [dir, script, separator]);
  const read = (name) => fs.readFileSync(path.join(dir, name), 'utf8');
  const out = { csv: fs.readFileSync(path.join(dir, 'runs.csv')), svg: read('graph.svg'), link: read('link.txt') };
  fs.rmSync(dir, { recursive: true, force: true });
  return out;
}

for (const separator of ['.', ',']) {
  test(`the same CSV, SVG and link from the page's core as from the desktop's ("${separator}")`, async () => {
    const web = await runOnThePage(SCRIPT, separator);
    const native = runNatively(SCRIPT, separator);
    assert.deepEqual(Buffer.from(web.csv), native.csv);
    assert.deepEqual([...native.csv.subarray(0, 3)], [0xef, 0xbb, 0xbf]);
    assert.equal(web.svg, native.svg);
    assert.equal(web.link, native.link);
    assert.equal((web.svg.match(/<circle/g) ?? []).length, 3 * 5001);

    // The table as the page will lay it out: three runs, 21 rows.
    assert.deepEqual(web.table.runs.columns, ['Figura', 'Curva roja', 'Curva verde', 'Curva azul']);
    assert.equal(web.table.temperatures.rows.length, 21);
    assert.equal(web.table.runs.rows[4][2], '3000');

    // The link brings back the same boxes and the same drawing.
    assert.equal(web.opened, '');
    assert.deepEqual(web.reopenedTexts, web.texts);
    assert.equal(web.reopenedSvg, web.svg);

    // A bad link: one message, shown through the page, the boxes as they were.
    assert.match(web.refused, /^No se ha aplicado todo el enlace; se ha ignorado: .*«V=abc», que no es un número/);
    assert.deepEqual(web.refusedShown, [web.refused]);
    assert.equal(web.refusedTexts[0], '5.4');
  });
}
