// What the browser tests and the benchmark share: the site served from a
// folder as any static web server serves it, and a browser with the page open
// and ready. The engine is CALVETRA_BROWSER's: "chromium" (the default, Debian's
// headless Chromium through the DevTools protocol), "firefox" (Debian's
// firefox-esr, headless, through WebDriver BiDi) or "webkit" (WebKitGTK through
// Debian's WebKitWebDriver, on a private Xvfb display).
import fs from 'node:fs';
import http from 'node:http';
import os from 'node:os';
import path from 'node:path';
import puppeteer from 'puppeteer-core';

const TYPES = {
  '.html': 'text/html; charset=utf-8',
  '.css': 'text/css',
  '.js': 'text/javascript',
  '.wasm': 'application/wasm',
  '.svg': 'image/svg+xml',
  '.png': 'image/png',
  '.webmanifest': 'application/manifest+json',
};

export const engine = process.env.CALVETRA_BROWSER ?? 'chromium';
// What the tests can ask of each engine's driver here.
export const can = {
  // device pixel ratio emulation
  pixelRatio: engine !== 'webkit',
  // the DevTools protocol (installability)
  devTools: engine === 'chromium',
  // the pointer moved to fractions of a CSS pixel (WebDriver's move by whole ones)
  subpixelPointer: engine === 'chromium',
  // a touch screen (WebKitWebDriver has no touch input)
  touch: engine !== 'webkit',
  // a phone's browser: the page's meta viewport, touch (the DevTools protocol)
  mobile: engine === 'chromium',
  // a viewport as narrow as an upright phone's (WebKitGTK's window is never
  // narrower than 447 CSS pixels)
  phoneWidth: engine !== 'webkit',
  // the Menu key (WebDriver has no code for it)
  menuKey: engine === 'chromium',
  // downloads kept in a folder of the test's, the clipboard read back and
  // printing to PDF (plain WebDriver has none of them)
  downloads: engine !== 'webkit',
  clipboard: engine !== 'webkit',
  // an image on the clipboard (headless Firefox's clipboard keeps text only)
  clipboardImage: engine === 'chromium',
  print: engine !== 'webkit',
  // two pages of one browser open at once, sharing the site's storage and
  // service workers (WebKitWebDriver holds one session, one browser, at a time)
  pagesTogether: engine !== 'webkit',
  // the system's high contrast, emulated through the DevTools protocol
  forcedColours: engine === 'chromium',
};
export const executable = {
  chromium: process.env.CHROMIUM ?? '/usr/bin/chromium',
  firefox: process.env.FIREFOX ?? '/usr/bin/firefox-esr',
  webkit: process.env.WEBKIT_DRIVER ?? '/usr/bin/WebKitWebDriver',
}[engine];

// port: the one to listen on (a server started again at the same address
// is the same site to the browser); any free one by default.
export async function serve(dir, port = 0) {
  const root = path.resolve(dir);
  const server = http.createServer((request, response) => {
    const name = decodeURIComponent(new URL(request.url, 'http://host').pathname);
    const file = path.join(root, name.endsWith('/') ? `${name}index.html` : name);
    fs.readFile(file, (error, data) => {
      response.writeHead(error ? 404 : 200, { 'Content-Type': TYPES[path.extname(file)] ?? 'text/plain' });
      response.end(error ? '' : data);
    });
  });
  await new Promise((resolve) => server.listen(port, '127.0.0.1', resolve));
  return {
    port: server.address().port,
    url: `http://127.0.0.1:${server.address().port}/`,
    // Ends open connections too: afterwards the site is unreachable.
    close: () => new Promise((resolve) => {
      server.close(resolve);
      server.closeAllConnections();
    }),
  };
}

// language: the browser's language, which gives the page its decimal separator.
export async function launch(language = 'en-US') {
  if (engine === 'webkit') return (await import('./webdriver.mjs')).launchWebKit(language);
  if (engine === 'firefox') {
    return puppeteer.launch({
      browser: 'firefox', protocol: 'webDriverBiDi', executablePath: executable, headless: true,
      // The clipboard read without the paste prompt (there is no permission
      // to grant for it in Firefox).
      extraPrefsFirefox: { 'intl.accept_languages': language, 'dom.events.testing.asyncClipboard': true },
    });
  }
  const userDataDir = fs.mkdtempSync(path.join(os.tmpdir(), 'calvetra-chromium-'));
  const browser = await puppeteer.launch({
    executablePath: executable,
    headless: true,
    userDataDir,
    args: [
      '--no-sandbox', '--disable-gpu', '--disable-quic', '--no-first-run', '--disable-background-networking',
      '--disable-component-update', '--disable-sync', `--accept-lang=${language}`,
    ],
  });
  const close = browser.close.bind(browser);
  browser.close = async () => {
    await close();
    fs.rmSync(userDataDir, { recursive: true, force: true });
  };
  return browser;
}

// Why the page cannot be seen in the language the browser was launched
// with, or null where the browser speaks it. WebKit takes its language from
// the C library, which speaks only the locales made on the machine (bash
// scripts/dev.sh makes es_ES.UTF-8 and en_US.UTF-8); the other engines take
// whatever they are given.
export async function unspoken(page, language) {
  const spoken = await page.evaluate(() => navigator.language);
  if (spoken.toLowerCase() === language.toLowerCase()) return null;
  if (engine !== 'webkit') throw new Error(`${engine}, launched in ${language}, speaks ${spoken}`);
  return `WebKit, launched in ${language}, speaks ${spoken}: the machine has no ${language.replace('-', '_')}.UTF-8 locale (bash scripts/dev.sh test makes it)`;
}

// The page's own record of the errors thrown on it and the promises it left
// rejected, from the start of each document it loads: WebKitWebDriver
// reports none of them, so every engine's page keeps them itself.
function collectErrors() {
  globalThis.calvetraErrors = [];
  addEventListener('error', (event) => calvetraErrors.push(String(event.error ?? event.message)));
  addEventListener('unhandledrejection', (event) => calvetraErrors.push(String(event.reason)));
}

// A new tab, not yet on any address, whose documents collect their errors.
export async function newPage(browser) {
  const page = await browser.newPage();
  page.errors = [];
  page.requests = [];
  page.on('pageerror', (error) => page.errors.push(error));
  page.on('request', (request) => page.requests.push(request.url()));
  await page.evaluateOnNewDocument(collectErrors);
  return page;
}

// The errors on the page so far: the driver's reports (where it makes them)
// and the page's own record, which must be there.
export async function errorsOn(page) {
  const own = await page.evaluate(() => globalThis.calvetraErrors ?? null);
  if (own === null) throw new Error('the page keeps no record of its errors');
  return [...page.errors.map(String), ...own];
}

// A new tab on the page, ready: controls built, graph frame drawn. Errors
// thrown on the page are read with errorsOn(page), the addresses it asked
// for are in page.requests.
// touch: a touch screen (where can.touch); mobile: a phone's browser, whose
// viewport follows the page's meta viewport and takes touch (Chromium).
export async function open(browser, url, { ratio = 1, width = 1005, height = 511, touch = false, mobile = false } = {}) {
  const page = await newPage(browser);
  await page.setViewport({ width, height, deviceScaleFactor: ratio, hasTouch: touch || mobile, isMobile: mobile });
  await page.goto(url);
  await page.waitForFunction(() => performance.getEntriesByName('calvetra-ready').length > 0, { timeout: 10000 });
  if (engine === 'webkit') page.requests.push(...await page.evaluate(() => performance.getEntriesByType('resource').map((e) => e.name)));
  return page;
}

export const control = (name) => `[data-name="${name}"]`;

// The graph's pixels as a short text: its size and a hash of every byte.
// Its PNG (toDataURL) will not do: Firefox may write a chunk of its own in
// it that differs from one document to the next over the same pixels.
export const graphPixels = (pageOrFrame) => pageOrFrame.$eval('canvas', (canvas) => {
  const { data, width, height } = canvas.getContext('2d').getImageData(0, 0, canvas.width, canvas.height);
  let hash = 0x811c9dc5; // FNV-1a
  for (let i = 0; i < data.length; i++) hash = Math.imul(hash ^ data[i], 0x01000193);
  return `${width} x ${height}, ${(hash >>> 0).toString(16)}`;
});

// A browser context whose downloads land in a folder of its own, where the
// engine's driver keeps them (can.downloads); downloaded(name) waits for the
// finished file and gives its bytes.
export async function contextWithDownloads(browser) {
  const dir = fs.mkdtempSync(path.join(os.tmpdir(), 'calvetra-downloads-'));
  const context = await browser.createBrowserContext({ downloadBehavior: { policy: 'allow', downloadPath: dir } });
  const downloaded = async (name) => {
    const file = path.join(dir, name);
    // Firefox puts an empty file under the name at once and writes the
    // bytes in a .part beside it.
    const done = () => fs.existsSync(file) && fs.statSync(file).size > 0 &&
      !fs.readdirSync(dir).some((f) => /\.(part|crdownload)$/.test(f));
    for (let k = 0; k < 100 && !done(); k++) await new Promise((r) => setTimeout(r, 50));
    if (!done()) throw new Error(`${name} was not downloaded`);
    return fs.readFileSync(file);
  };
  return { context, downloaded };
}
