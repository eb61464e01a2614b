// The web page in a browser, on the built site served over HTTP, and the
// page in one file opened from the disk. The engine is CALVETRA_BROWSER's
// (chromium, firefox or webkit; see browser.mjs).
//
//   CALVETRA_SITE=build-web/site CALVETRA_BROWSER=firefox node web/tests/browser_test.mjs
//
// Exits 77 (skipped) when the site has not been built, the npm packages are
// not installed or the engine is missing.
import assert from 'node:assert/strict';
import { execFileSync } from 'node:child_process';
import fs from 'node:fs';
import os from 'node:os';
import path from 'node:path';
import { after, before, test } from 'node:test';

const site = process.env.CALVETRA_SITE ?? 'build-web/site';
const missing = !fs.existsSync(path.join(site, 'index.html')) ? `no site in ${site}`
  : !fs.existsSync(new URL('../node_modules/puppeteer-core', import.meta.url)) ? 'puppeteer-core not installed (npm ci)' : '';
if (missing) {
  console.log(`browser tests skipped: ${missing}`);
  process.exit(77);
}
const { can, control, engine, executable, launch, open, serve } = await import('./browser.mjs');
if (!fs.existsSync(executable)) {
  console.log(`browser tests skipped: ${executable} (${engine}) not installed`);
  process.exit(77);
}

const RED = [255, 0, 0], GREEN = [0, 255, 0], BLUE = [0, 0, 255], BLACK = [0, 0, 0], GRID = [200, 200, 200];
// Run 0 with the initial boxes, in twips of the graph box: first point,
// step 500, last point.
const RUN0 = [[800, 3891.38], [1395.5, 1455.08], [6755, 99.99996]];

let server, browser;
before(async () => {
  server = await serve(site);
  browser = await launch();
});
after(async () => {
  await browser?.close();
  await server?.close();
});

const value = (page, name) => page.$eval(control(name), (e) => e.value ?? e.textContent);
const isHidden = (page, name) => page.$eval(control(name), (e) => e.hidden);
const dialogText = (page) => page.$eval('#message', (d) => (d.open ? d.querySelector('p').textContent : null));

// Replaces a box's text as the user does: everything selected, then typed
// over, or deleted.
async function type(page, name, text) {
  await page.$eval(control(name), (e) => { e.focus(); e.select(); });
  if (text) await page.keyboard.type(text);
  else await page.keyboard.press('Backspace');
}

async function accept(page) {
  await page.click('#message button');
}

// The canvas's own pixels, as [r, g, b] triples, in a rectangle given by
// its centre in twips of the graph box and its reach in device pixels.
function pixels(page, x, y, reachX, reachY) {
  return page.evaluate((x, y, reachX, reachY) => {
    const canvas = document.querySelector('canvas');
    const k = canvas.width / canvas.offsetWidth / 15;
    const data = canvas.getContext('2d').getImageData(Math.round(x * k) - reachX, Math.round(y * k) - reachY,
      2 * reachX + 1, 2 * reachY + 1).data;
    return Array.from({ length: data.length / 4 }, (_, i) => [data[4 * i], data[4 * i + 1], data[4 * i + 2]]);
  }, x, y, reachX, reachY);
}

// A read-out "t , T" within half a pointer step of (t, T), where the driver
// moves the pointer by whole CSS pixels of the viewport: pixels of the graph
// box per step, at 15 twips a pixel, on the axes of the 20000 s, 20 ºC frame.
function assertNear(readout, [t, T], pixels) {
  const [readT, readTemp] = readout.split(' , ').map(Number);
  const half = (pixels * 15) / 2;
  assert.ok(Math.abs(readT - t) <= (half * 20000) / 5955 + 0.1 && Math.abs(readTemp - T) <= (half * 20) / 4655 + 0.1,
    `${readout} against ${t} , ${T}`);
}

const same = (a, b) => a.every((v, i) => Math.abs(v - b[i]) <= 40);
async function hasColour(page, x, y, colour, reach) {
  return (await pixels(page, x, y, reach, reach)).some((p) => same(p, colour));
}
// Whether the colour is anywhere in the column of the graph box at x twips.
async function columnHas(page, x, colour) {
  return (await pixels(page, x, 5055 / 2, 0, 700)).some((p) => same(p, colour));
}

test('start-up: every control at its place, the initial texts, names and focus order, the empty frame', async () => {
  const page = await open(browser, server.url);
  assert.equal(await page.title(), 'CALVETRA');
  assert.equal(await page.$eval('html', (e) => e.lang), 'es');
  const icon = await page.$eval('link[rel="icon"]', (e) => e.href);
  assert.equal((await fetch(icon)).status, 200);
  assert.deepEqual(page.requests.filter((url) => !url.startsWith(server.url)), [], 'nothing from elsewhere');

  // The core's own layout table against the page's controls.
  const layout = await page.evaluate(async () => (await createCalvetra()).layout());
  const misplaced = await page.evaluate((controls) => {
    const px = (t) => Math.round(t / 15);
    const rect = (name) => document.querySelector(`[data-name="${name}"]`).getBoundingClientRect();
    return controls.filter((c) => c.kind !== 'line').filter((c) => {
      const r = rect(c.name), origin = c.container ? rect(c.container) : document.getElementById('form1').getBoundingClientRect();
      return r.left - origin.left !== px(c.left) || r.top - origin.top !== px(c.top) ||
        r.width !== px(c.left + c.width) - px(c.left) || r.height !== px(c.top + c.height) - px(c.top);
    }).map((c) => c.name);
  }, layout.controls);
  assert.deepEqual(misplaced, []);
  assert.deepEqual(await page.$eval('#form1', (e) => [e.offsetWidth, e.offsetHeight]), [1005, 511]);

  const initial = { 'Text1(0)': '5.4', 'Text1(1)': '10', 'Text1(2)': '20', 'Text1(3)': '20000', 'Text1(4)': '100',
    'Text1(5)': '20', 'Text1(6)': '10.00', 'Text1(7)': '1000', Text2: '0', Label5: '= 5.56 h', Label2: '',
    'Label6(0)': '', 'Label4(0)': '', 'Label4(1)': '', 'Label4(2)': '' };
  for (const [name, text] of Object.entries(initial)) assert.equal(await value(page, name), text, name);
  for (const k of [0, 1, 2]) assert.ok(await isHidden(page, `Line3(${k})`));

  // Names for assistive technology as on the desktop; changing captions are live.
  for (const [name, label] of [['Text1(0)', 'V (l):'], ['Text1(3)', 't máximo (s):'], ['Text1(4)', 'Apertura válvula (%)'],
    ['Text1(6)', 'Q2 (l/h):'], ['Text1(7)', 'q (W):'], ['Text2', 't (s)'], ['Picture2', 'Gráfica']])
    assert.equal(await page.$eval(control(name), (e) => e.getAttribute('aria-label')), label, name);
  for (const name of layout.labels)
    assert.equal(await page.$eval(control(name), (e) => e.getAttribute('aria-live')), 'polite', name);

  // Focus starts in Text1(0) and Tab follows the tab indices, locked boxes included.
  const order = layout.controls.filter((c) => ['textBox', 'button', 'pictureBox'].includes(c.kind))
    .sort((a, b) => a.tabIndex - b.tabIndex).map((c) => c.name);
  const visited = [];
  for (let k = 0; k < order.length; k++) {
    visited.push(await page.evaluate(() => document.activeElement.dataset.name));
    await page.keyboard.press('Tab');
  }
  assert.deepEqual(visited, order);

  // Locked boxes take no typing; Enter in a box presses no button.
  await type(page, 'Text1(5)', '99');
  assert.equal(await value(page, 'Text1(5)'), '20');
  assert.ok(await page.$eval(control('Text1(6)'), (e) => e.readOnly));
  await page.focus(control('Text1(0)'));
  await page.keyboard.press('Enter');
  assert.equal(await value(page, 'Label4(0)'), '');

  // The frame: axes in the foreground colour, a grey grid, no curve.
  assert.deepEqual(await page.$eval('canvas', (c) => [c.width, c.height]), [457, 337]);
  assert.ok(await hasColour(page, 3000, 4755, BLACK, 0), 'time axis');
  assert.ok(await hasColour(page, 800, 3000, BLACK, 0), 'temperature axis');
  assert.ok(await hasColour(page, 4500, 100 + 4655 / 2, GRID, 0), 'grid line');
  assert.ok(!(await columnHas(page, 3000, RED)));
  assert.deepEqual(page.errors, []);
  await page.close();
});

for (const ratio of [1, 2]) {
  const skip = ratio !== 1 && !can.pixelRatio && `${engine} cannot emulate a device pixel ratio`;
  test(`three presses of Calcular draw red, green and blue at the run's points, ratio ${ratio}`, { skip }, async () => {
    const page = await open(browser, server.url, { ratio });
    assert.deepEqual(await page.$eval('canvas', (c) => [c.width, c.height]), [457 * ratio, 337 * ratio]);
    // The same boxes each time: each run covers the one before.
    for (const [run, colour] of [RED, GREEN, BLUE].entries()) {
      await page.click(control('Command1'));
      for (const [x, y] of RUN0) assert.ok(await hasColour(page, x, y, colour, ratio), `run ${run} at (${x}, ${y})`);
      assert.equal(await value(page, `Label4(${run})`), 'V = 5.4 (l) -- Q = 10 (l/h) -- To = 20.0 (ºC) -- Ap.Valv = 100 (%)');
      assert.ok(!(await isHidden(page, `Line3(${run})`)));
    }
    assert.equal(await dialogText(page), null);
    // A fourth press starts a new series.
    await page.click(control('Command1'));
    assert.ok(await hasColour(page, ...RUN0[1], RED, ratio));
    assert.equal(await value(page, 'Label4(1)'), '');
    assert.ok(await isHidden(page, 'Line3(2)'));
    assert.deepEqual(page.errors, []);
    await page.close();
  });
}

test('the valve shut: the overflow message, modal, and the curve cut at 17500 s', async () => {
  const page = await open(browser, server.url);
  await type(page, 'Text1(4)', '0');
  await page.click(control('Command1'));
  assert.equal(await dialogText(page), 'Desbordamniento a t = 17500 (s)');
  assert.equal(await page.$eval('#message button', (b) => b.textContent), 'Aceptar');
  // The window behind takes no input while the message is up.
  const calcular = await page.$eval(control('Command1'), (e) => e.getBoundingClientRect().toJSON());
  await page.mouse.click(calcular.x + 20, calcular.y + 20);
  await accept(page);
  assert.equal(await dialogText(page), null);
  assert.equal(await value(page, 'Label4(1)'), '');
  // x = 800 + 5955 t / 20000: red before the overflow, none after it.
  assert.ok(await columnHas(page, 800 + 5955 * 15000 / 20000, RED));
  assert.ok(!(await columnHas(page, 800 + 5955 * 18500 / 20000, RED)));
  await page.close();
});

test('the instantaneous query, with the decimal separator of the browser language', async (t) => {
  const page = await open(browser, server.url);
  await type(page, 'Text2', '100');
  assert.equal(await value(page, 'Label2'), '24.4');
  await page.close();

  // A language the number formats refuse (WebKit in the C locale reports
  // "C") gives the point, and the page goes on.
  const unknown = await launch('C');
  try {
    const page = await open(unknown, server.url);
    assert.equal(await page.evaluate(() => navigator.language), 'C');
    assert.equal(await page.evaluate(() => { try { return new Intl.NumberFormat('C').format(1.5); } catch { return 'refused'; } }),
      'refused');
    assert.equal(await value(page, 'Text1(6)'), '10.00');
    await type(page, 'Text2', '1000');
    assert.equal(await value(page, 'Label2'), '55.3');
  } finally {
    await unknown.close();
  }

  if (!can.language) return t.skip(`${engine} takes its language from the C library, which has no Spanish locale here`);
  const spanish = await launch('es-ES');
  try {
    const page = await open(spanish, server.url);
    assert.equal(await value(page, 'Text1(6)'), '10,00');
    assert.equal(await value(page, 'Label5'), '= 5,56 h');
    await type(page, 'Text2', '1000');
    assert.equal(await value(page, 'Label2'), '55,3');
  } finally {
    await spanish.close();
  }
});

test('faults and bad input are messages, one at a time, and the page goes on', async () => {
  const page = await open(browser, server.url);
  await type(page, 'Text1(1)', '1e46');
  await page.click(control('Command1'));
  assert.match(await dialogText(page), /^Error de cálculo/);
  await accept(page);

  // Two messages of one press, in order; Escape confirms like the button.
  await type(page, 'Text1(1)', '10');
  await type(page, 'Text1(4)', '150');
  await type(page, 'Text1(0)', '');
  await page.click(control('Command1'));
  assert.equal(await dialogText(page), 'La apertura de la válvula no puede ser mayor del 100%');
  await accept(page);
  assert.equal(await dialogText(page),
    'El Volumen, el Caudal, la apertura de la válvula y la Temperatura inicial deben ser mayores que cero');
  await page.keyboard.press('Escape');
  assert.equal(await dialogText(page), null);
  assert.equal(await value(page, 'Text1(4)'), '100');
  assert.equal(await value(page, 'Label4(0)'), '');

  // A decimal comma is read as a point; the run goes ahead.
  await type(page, 'Text1(0)', '5,4');
  await page.click(control('Command1'));
  assert.equal(await dialogText(page), null);
  assert.equal(await value(page, 'Text1(0)'), '5.4');
  assert.ok(await hasColour(page, ...RUN0[1], RED, 1));
  assert.deepEqual(page.errors, []);
  await page.close();
});

test('Borrar Gráfica clears the runs and their legend and keeps the frame', async () => {
  const page = await open(browser, server.url);
  await page.click(control('Command1'));
  await type(page, 'Text1(4)', '50');
  await page.click(control('Command1'));
  assert.ok(await columnHas(page, 3000, GREEN));
  await page.click(control('Command2'));
  assert.ok(!(await columnHas(page, 3000, RED)) && !(await columnHas(page, 3000, GREEN)));
  assert.ok(await hasColour(page, 3000, 4755, BLACK, 0));
  for (const k of [0, 1]) {
    assert.equal(await value(page, `Label4(${k})`), '');
    assert.ok(await isHidden(page, `Line3(${k})`));
  }
  await page.close();
});

test('each change of a box runs its handler once: typing, inserted text, the end of a composition', async () => {
  const page = await open(browser, server.url);
  const label5 = () => value(page, 'Label5');
  await type(page, 'Text1(3)', '7200');
  assert.equal(await label5(), '= 2.00 h');
  // Text put in as paste, autofill or assistive technology put it.
  await page.$eval(control('Text1(3)'), (e) => { e.select(); document.execCommand('insertText', false, '36000'); });
  assert.equal(await label5(), '= 10.00 h');
  // An input method's text counts once it is composed.
  await page.$eval(control('Text1(3)'), (e) => {
    e.value = '3600';
    e.dispatchEvent(new InputEvent('input', { isComposing: true }));
  });
  assert.equal(await label5(), '= 10.00 h');
  await page.$eval(control('Text1(3)'), (e) => e.dispatchEvent(new CompositionEvent('compositionend')));
  assert.equal(await label5(), '= 1.00 h');
  await page.close();
});

test('the pointer read-out, at design size and with the window scaled down to a small viewport', async () => {
  for (const [width, height] of [[1005, 511], [800, 400]]) {
    const page = await open(browser, server.url, { width, height });
    const box = await page.$eval('canvas', (c) => c.getBoundingClientRect().toJSON());
    const scale = box.width / 457;
    assert.ok(width >= 1005 ? scale === 1 : scale < 1, `scale ${scale}`);
    // (300, 200) CSS pixels = (4500, 3000) twips: t = 3700 · 20000 / 5955, T = 20 · 1755 / 4655.
    await page.mouse.move(box.x + 300 * scale, box.y + 200 * scale);
    if (can.subpixelPointer) assert.equal(await value(page, 'Label6(0)'), '12426.5 , 7.5');
    else assertNear(await value(page, 'Label6(0)'), [12426.5, 7.5], 1 / scale);
    assert.equal(await page.$eval('canvas', (c) => c.style.cursor), 'crosshair');
    await page.close();
  }
});

test('Salir ends the session and leaves a closing notice', async () => {
  const page = await open(browser, server.url);
  await page.click(control('Command3'));
  assert.match(await page.$eval('body', (b) => b.innerText), /CALVETRA ha terminado/);
  assert.equal(await page.$$eval('input, button, canvas', (e) => e.length), 0);
  assert.deepEqual(page.errors, []);
  await page.close();
});

test('the read-out from the keyboard, as the pointer reads the same point, and the help on F1', async () => {
  const page = await open(browser, server.url);
  // The pointer away from the graph, so that only the keys move the read-out.
  await page.mouse.move(2, 2);
  await page.focus(control('Command1'));
  await page.keyboard.press('Tab');
  assert.equal(await page.evaluate(() => document.activeElement.tagName), 'CANVAS');
  // WebKit shows no read-out on arriving by Tab (still open: the page asks
  // :focus-visible, which WebKit does not match here); the arrows work.
  if (engine !== 'webkit') assert.equal(await value(page, 'Label6(0)'), '10000 , 10');
  await page.keyboard.press('ArrowRight');
  await page.keyboard.down('Shift');
  await page.keyboard.press('ArrowUp');
  await page.keyboard.up('Shift');
  const byKeyboard = await value(page, 'Label6(0)');
  assert.equal(byKeyboard, '10200 , 12');
  // The cross marks the point, over the canvas; the pointer at its centre
  // reads the same, but for the pointer's own rounding.
  const cross = await page.$eval('.readout-cross', (e) => (e.hidden ? null : e.getBoundingClientRect().toJSON()));
  assert.ok(cross);
  await page.mouse.move(cross.x + cross.width / 2, cross.y + cross.height / 2);
  if (can.subpixelPointer) {
    const [t, T] = (await value(page, 'Label6(0)')).split(' , ').map(Number);
    assert.ok(Math.abs(t - 10200) <= 1 && Math.abs(T - 12) <= 0.1, `${t} , ${T}`);
  } else assertNear(await value(page, 'Label6(0)'), [10200, 12], 1);
  await page.focus(control('Command2'));
  assert.equal(await page.$eval('.readout-cross', (e) => e.hidden), true);

  await page.keyboard.press('F1');
  await page.waitForFunction(() => document.getElementById('help').open
    && document.getElementById('help-text').contentDocument?.body?.innerText.includes('107.8'));
  const help = await page.$eval('#help-text', (f) => f.contentDocument.body.innerText);
  assert.match(help, /dT\/dt = \[ Q1 · \(T1 − T\)/);
  assert.match(help, /Desbordamniento a t = 17500 \(s\)/);
  // Not modal: the window goes on taking input.
  await type(page, 'Text2', '100');
  assert.equal(await value(page, 'Label2'), '24.4');
  assert.deepEqual(page.errors, []);
  await page.close();
});

// The site kept by its service worker: after one visit a reload needs no
// network; the manifest makes it installable.
test('offline after one visit, and installable', async () => {
  const copy = fs.mkdtempSync(path.join(os.tmpdir(), 'calvetra-site-'));
  fs.cpSync(site, copy, { recursive: true });
  const own = await serve(copy);
  try {
    const page = await open(browser, own.url);
    const version = fs.readFileSync(path.join(copy, 'sw.js'), 'utf8').match(/"version":"([0-9a-f]+)"/)[1];
    await page.evaluate(() => navigator.serviceWorker.ready);
    await page.waitForFunction(() => navigator.serviceWorker.controller !== null);
    assert.deepEqual(await page.evaluate(() => caches.keys()), [`calvetra-${version}`]);
    const files = JSON.parse(fs.readFileSync(path.join(copy, 'sw.js'), 'utf8').match(/^const SITE = (.*);$/m)[1]).files;
    const kept = await page.evaluate(async (name) => (await (await caches.open(name)).keys()).length, `calvetra-${version}`);
    assert.equal(kept, Object.keys(files).length);

    const manifest = JSON.parse(fs.readFileSync(path.join(copy, 'manifest.webmanifest'), 'utf8'));
    assert.deepEqual([manifest.name, manifest.short_name, manifest.lang, manifest.display], ['CALVETRA', 'CALVETRA', 'es', 'standalone']);
    const sizes = await page.evaluate((icons) => Promise.all(icons.map((icon) => new Promise((resolve) => {
      const image = new Image();
      image.onload = () => resolve(`${image.naturalWidth}x${image.naturalHeight}`);
      image.onerror = () => resolve('missing');
      image.src = icon.src;
    }))), manifest.icons);
    assert.deepEqual(sizes, manifest.icons.map((icon) => icon.sizes));
    assert.ok(manifest.icons.some((icon) => icon.purpose === 'maskable'));
    if (can.devTools) {
      const cdp = await page.createCDPSession();
      assert.deepEqual((await cdp.send('Page.getInstallabilityErrors')).installabilityErrors, []);
    }

    // No server any more: the reload, the diagram and the help come from the cache.
    await own.close();
    await page.reload();
    await page.waitForFunction(() => performance.getEntriesByName('calvetra-ready').length > 0, { timeout: 10000 });
    assert.ok(await page.$eval('img', (e) => e.complete && e.naturalWidth > 0));
    await page.click(control('Command1'));
    assert.ok(await hasColour(page, ...RUN0[1], RED, 1));
    await page.keyboard.press('F1');
    await page.waitForFunction(() => document.getElementById('help-text').contentDocument?.body?.innerText.includes('107.8'));
    await page.close();
  } finally {
    await own.close();
    fs.rmSync(copy, { recursive: true, force: true });
  }
});

test('calvetra.html from the disk, with no network: the window, the diagram, a run and the help', async () => {
  const single = process.env.CALVETRA_SINGLE_FILE ?? path.join(site, '..', 'calvetra.html');
  const page = await browser.newPage();
  page.requests = [];
  page.on('request', (request) => page.requests.push(request.url()));
  await page.setViewport({ width: 1005, height: 511 });
  await page.goto(`file://${path.resolve(single)}`);
  await page.waitForFunction(() => performance.getEntriesByName('calvetra-ready').length > 0, { timeout: 10000 });
  assert.deepEqual(page.requests.filter((url) => /^https?:/.test(url)), []);
  assert.ok(await page.$eval('img', (e) => e.complete && e.naturalWidth > 0));
  assert.equal(await value(page, 'Text1(6)'), '10.00');
  await page.click(control('Command1'));
  assert.ok(await hasColour(page, ...RUN0[1], RED, 1));
  await page.keyboard.press('F1');
  await page.waitForFunction(() => document.getElementById('help-text').contentDocument?.body?.innerText.includes('107.8'));
  await page.close();
});

test('a new version of the site replaces the old whole, once no page of the old one is open', async () => {
  const copy = fs.mkdtempSync(path.join(os.tmpdir(), 'calvetra-site-'));
  fs.cpSync(site, copy, { recursive: true });
  const own = await serve(copy);
  const cacheOf = () => `calvetra-${fs.readFileSync(path.join(copy, 'sw.js'), 'utf8').match(/"version":"([0-9a-f]+)"/)[1]}`;
  const style = (page) => page.evaluate(async () => (await fetch('calvetra.css')).text());
  try {
    const old = cacheOf();
    const page = await open(browser, own.url);
    await page.waitForFunction(() => navigator.serviceWorker.controller !== null);
    // The next version: one file changed, the worker stamped again.
    fs.appendFileSync(path.join(copy, 'calvetra.css'), '\n/* the next version */\n');
    execFileSync(process.execPath, [new URL('../pack/stamp_worker.mjs', import.meta.url).pathname,
      new URL('../sw.js', import.meta.url).pathname, copy]);
    assert.notEqual(cacheOf(), old);
    await page.evaluate(async () => (await navigator.serviceWorker.getRegistration()).update());
    await page.waitForFunction(async () => (await navigator.serviceWorker.getRegistration()).waiting !== null);
    // The open page goes on with its own version's files only.
    assert.ok(!(await style(page)).includes('the next version'));
    assert.deepEqual((await page.evaluate(() => caches.keys())).sort(), [old, cacheOf()].sort());
    await page.close();

    const next = await open(browser, own.url);
    await next.waitForFunction((name) => caches.keys().then((keys) => keys.length === 1 && keys[0] === name), {}, cacheOf());
    await next.reload();
    await next.waitForFunction(() => performance.getEntriesByName('calvetra-ready').length > 0, { timeout: 10000 });
    assert.ok((await style(next)).includes('the next version'));
    await next.close();
  } finally {
    await own.close();
    fs.rmSync(copy, { recursive: true, force: true });
  }
});
