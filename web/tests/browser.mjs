// What the browser tests and the benchmark share: the site served from a
// folder as any static web server serves it, and Debian's Chromium, headless,
// with the page open and ready.
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
};

export async function serve(dir) {
  const root = path.resolve(dir);
  const server = http.createServer((request, response) => {
    const name = decodeURIComponent(new URL(request.url, 'http://host').pathname);
    const file = path.join(root, name.endsWith('/') ? `${name}index.html` : name);
    fs.readFile(file, (error, data) => {
      response.writeHead(error ? 404 : 200, { 'Content-Type': TYPES[path.extname(file)] ?? 'text/plain' });
      response.end(error ? '' : data);
    });
  });
  await new Promise((resolve) => server.listen(0, '127.0.0.1', resolve));
  return {
    url: `http://127.0.0.1:${server.address().port}/`,
    close: () => new Promise((resolve) => server.close(resolve)),
  };
}

// language: the browser's language, which gives the page its decimal separator.
export async function launch(language = 'en-US') {
  const userDataDir = fs.mkdtempSync(path.join(os.tmpdir(), 'calvetra-chromium-'));
  const browser = await puppeteer.launch({
    executablePath: process.env.CHROMIUM ?? '/usr/bin/chromium',
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

// A new tab on the page, ready: controls built, graph frame drawn. Errors
// thrown on the page are collected in page.errors, the addresses it asked
// for in page.requests.
// touch: a touch screen (Chromium only).
export async function open(browser, url, { ratio = 1, width = 1005, height = 511, touch = false } = {}) {
  const page = await browser.newPage();
  page.errors = [];
  page.requests = [];
  page.on('pageerror', (error) => page.errors.push(error));
  page.on('request', (request) => page.requests.push(request.url()));
  await page.setViewport({ width, height, deviceScaleFactor: ratio, hasTouch: touch });
  await page.goto(url);
  await page.waitForFunction(() => performance.getEntriesByName('calvetra-ready').length > 0, { timeout: 10000 });
  return page;
}

export const control = (name) => `[data-name="${name}"]`;
