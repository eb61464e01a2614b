// How fast the web page answers, in headless Chromium on this machine.
//
//   node web/bench/browser_bench.mjs SITE_DIR [--repetitions N]
//
// - keystroke: three runs drawn, one key typed into the time box (a digit
//   added, then taken away again); from the start of the input event to the
//   end of the graph's redraw at device pixel ratio 2, the canvas's pixels
//   read back so that its drawing has really been done;
// - ready: navigation start to the first contentful paint, which shows the
//   built window with its graph frame drawn, or to the page's own
//   "calvetra-ready" mark (controls made, frame drawn) should that come
//   later; from a local server with the browser's cache off;
// - the size of the site and of its WebAssembly module.
// Prints the medians, with the range.
import fs from 'node:fs';
import path from 'node:path';
import { control, launch, open, serve } from '../tests/browser.mjs';

const site = process.argv[2];
const repetitions = Number(process.argv[process.argv.indexOf('--repetitions') + 1]) || 41;
if (!site || !fs.existsSync(path.join(site, 'index.html'))) {
  console.error('usage: node web/bench/browser_bench.mjs SITE_DIR [--repetitions N]');
  process.exit(2);
}

const median = (values) => [...values].sort((a, b) => a - b)[Math.floor(values.length / 2)];
const report = (name, values, unit, target) =>
  console.log(`${name.padEnd(34)} median ${median(values).toFixed(2)} ${unit}` +
    `  (min ${Math.min(...values).toFixed(2)}, max ${Math.max(...values).toFixed(2)}, n ${values.length})  target ${target}`);

const server = await serve(site);
const browser = await launch();
try {
  const page = await open(browser, server.url, { ratio: 2, width: 1280, height: 800 });
  for (let k = 0; k < 3; k++) await page.click(control('Command1'));
  await page.evaluate((box) => {
    const canvas = document.querySelector('canvas');
    const g = canvas.getContext('2d');
    globalThis.keystrokes = [];
    let start = 0;
    addEventListener('input', (event) => { start = event.timeStamp; }, true);
    // Runs after the page's own listener on the box.
    document.querySelector(box).addEventListener('input', () => {
      g.getImageData(0, 0, 1, 1);
      globalThis.keystrokes.push(performance.now() - start);
    });
  }, control('Text1(3)'));
  await page.click(control('Text1(3)'));
  await page.keyboard.press('End');
  for (let k = 0; k < repetitions; k++) await page.keyboard.press(k % 2 ? 'Backspace' : '0');
  const keystrokes = await page.evaluate(() => globalThis.keystrokes);
  if (page.errors.length || await page.$eval(control('Text1(3)'), (e) => e.value) !== '200000'.slice(0, 5 + repetitions % 2))
    throw new Error('the keystrokes did not all reach the page');
  report('keystroke, 3 runs, ratio 2', keystrokes, 'ms', '<= 16 ms');

  const ready = [];
  const marked = [];
  await page.setCacheEnabled(false);
  for (let k = 0; k < Math.min(repetitions, 15); k++) {
    await page.goto(server.url);
    await page.waitForFunction(() => performance.getEntriesByName('first-contentful-paint').length > 0 &&
      performance.getEntriesByName('calvetra-ready').length > 0);
    const [paint, mark] = await page.evaluate(() => [
      performance.getEntriesByName('first-contentful-paint')[0].startTime,
      performance.getEntriesByName('calvetra-ready')[0].startTime]);
    ready.push(Math.max(paint, mark));
    marked.push(mark);
  }
  report('page ready (first paint of it)', ready, 'ms', '<= 1000 ms');
  report('  of which controls and frame made', marked, 'ms', '');
} finally {
  await browser.close();
  await server.close();
}

const files = fs.readdirSync(site).map((name) => [name, fs.statSync(path.join(site, name)).size]);
const total = files.reduce((sum, [, size]) => sum + size, 0);
console.log(`site size                          ${total} bytes (${(total / 1024).toFixed(1)} KiB)  target <= 2 MB`);
for (const [name, size] of files) console.log(`  ${name.padEnd(32)} ${size} bytes`);
