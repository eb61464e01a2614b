// WebKit for the browser tests: Debian's WebKitWebDriver, driven over plain
// HTTP (the W3C WebDriver protocol), behind the few page operations the tests
// use, under the names puppeteer gives them. WebKitGTK has no headless mode
// here, so the browser runs on a private Xvfb display.
import { spawn } from 'node:child_process';
import fs from 'node:fs';
import net from 'node:net';

// WebDriver's codes for the keys the tests press.
const KEYS = {
  Tab: '\uE004', Enter: '\uE007', Escape: '\uE00C', Backspace: '\uE003', Shift: '\uE008', Control: '\uE009',
  Space: ' ', ArrowLeft: '\uE012', ArrowUp: '\uE013', ArrowRight: '\uE014', ArrowDown: '\uE015', F1: '\uE031',
  F10: '\uE03A',
};
const key = (name) => KEYS[name] ?? name;

const sleep = (ms) => new Promise((resolve) => setTimeout(resolve, ms));

function freePort() {
  return new Promise((resolve, reject) => {
    const probe = net.createServer().once('error', reject);
    probe.listen(0, '127.0.0.1', () => {
      const { port } = probe.address();
      probe.close(() => resolve(port));
    });
  });
}

// A display of its own: Xvfb picks a free number and writes it on fd 3.
function startXvfb() {
  const xvfb = spawn('Xvfb', ['-displayfd', '3', '-screen', '0', '1920x1200x24', '-nolisten', 'tcp', '-noreset'],
    { stdio: ['ignore', 'ignore', 'ignore', 'pipe'] });
  return new Promise((resolve, reject) => {
    let text = '';
    xvfb.once('error', reject);
    xvfb.once('exit', (code) => reject(new Error(`Xvfb ended (${code})`)));
    xvfb.stdio[3].on('data', (data) => {
      text += data;
      if (text.includes('\n')) resolve({ process: xvfb, display: `:${text.trim()}` });
    });
  });
}

// WebKit takes its language from the C library's locale: "C" is the C
// locale (navigator.language then is "C"); another language needs its
// locale made on the machine, else WebKit reports "en-US" (unspoken() in
// browser.mjs tells).
function localeEnvironment(language) {
  const env = { ...process.env };
  for (const name of Object.keys(env)) if (name.startsWith('LC_') || name === 'LANGUAGE') delete env[name];
  if (language === 'C') env.LC_ALL = 'C.UTF-8';
  else env.LANG = `${language.replace('-', '_')}.UTF-8`;
  return env;
}

class Session {
  constructor(base) {
    this.base = base;
  }

  async call(method, path, body) {
    const response = await fetch(this.base + path, {
      method, headers: { 'Content-Type': 'application/json' }, body: body && JSON.stringify(body),
    });
    const { value } = await response.json();
    if (!response.ok) throw new Error(`WebDriver ${method} ${path}: ${value.error}: ${value.message}`);
    return value;
  }

  // fn runs in the page with args (plain values); its result, awaited, comes
  // back as a plain value. A document the session has not run anything in
  // yet first runs this.onNewDocument.
  async run(fn, args) {
    const first = this.onNewDocument ? `if (!globalThis.webDriverSeen) { globalThis.webDriverSeen = true; (${this.onNewDocument})(); }` : '';
    const script = `${first} const done = arguments[arguments.length - 1];
      Promise.resolve().then(() => (${fn}).apply(null, ${JSON.stringify(args)}))
        .then((value) => done({ value: value === undefined ? null : value }), (error) => done({ error: String(error) }));`;
    const result = await this.call('POST', '/execute/async', { script, args: [] });
    if (result.error) throw new Error(result.error);
    return result.value;
  }

  actions(type, steps) {
    return this.call('POST', '/actions', { actions: [{ type, id: type, ...(type === 'pointer' && { parameters: { pointerType: 'mouse' } }), actions: steps }] });
  }
}

class Page {
  constructor(session) {
    this.session = session;
    this.keyboard = {
      type: (text) => session.actions('key', [...text].flatMap((c) => [{ type: 'keyDown', value: c }, { type: 'keyUp', value: c }])),
      press: (name) => session.actions('key', [{ type: 'keyDown', value: key(name) }, { type: 'keyUp', value: key(name) }]),
      down: (name) => session.actions('key', [{ type: 'keyDown', value: key(name) }]),
      up: (name) => session.actions('key', [{ type: 'keyUp', value: key(name) }]),
    };
    const moveTo = (x, y) => ({ type: 'pointerMove', origin: 'viewport', x: Math.round(x), y: Math.round(y), duration: 0 });
    this.mouse = {
      move: (x, y) => session.actions('pointer', [moveTo(x, y)]),
      // button: 0 the main one, 2 the one that asks for the context menu
      click: (x, y, button = 0) => session.actions('pointer', [moveTo(x, y), { type: 'pointerDown', button }, { type: 'pointerUp', button }]),
    };
  }

  // Events of the page other drivers report; WebDriver has none of them.
  on() {}

  // fn run in each document the page loads: WebDriver runs nothing before
  // the page's own scripts, so it runs once the driver has loaded the
  // document, or first thing in the next script the test runs there.
  evaluateOnNewDocument(fn) {
    this.session.onNewDocument = fn;
  }

  loaded() {
    return this.evaluate(() => {});
  }

  evaluate(fn, ...args) {
    return this.session.run(fn, args);
  }

  $eval(selector, fn, ...args) {
    return this.session.run(`(selector, ...args) => {
      const element = document.querySelector(selector);
      if (!element) throw new Error('no element matches ' + selector);
      return (${fn})(element, ...args);
    }`, [selector, ...args]);
  }

  $$eval(selector, fn, ...args) {
    return this.session.run(`(selector, ...args) => (${fn})(Array.from(document.querySelectorAll(selector)), ...args)`,
      [selector, ...args]);
  }

  // A script file run in the page as a script element of its own.
  addScriptTag({ path }) {
    return this.addScript(path, null);
  }

  // An element as far as the tests hold one: an inline frame, for its document.
  async $(selector) {
    return { contentFrame: async () => ({ addScriptTag: ({ path }) => this.addScript(path, selector) }) };
  }

  // frame: the selector of the inline frame whose document runs it, or null.
  addScript(file, frame) {
    return this.session.run(`(source, frame) => {
      const target = frame ? document.querySelector(frame).contentDocument : document;
      const script = target.createElement('script');
      script.textContent = source;
      target.head.append(script);
    }`, [fs.readFileSync(file, 'utf8'), frame]);
  }

  // As puppeteer's: polled until true, through a navigation of the page
  // (its script fails while the next document loads; the last failure is
  // told when the time is up).
  async waitForFunction(fn, { timeout = 30000 } = {}, ...args) {
    const end = Date.now() + timeout;
    for (;;) {
      let failure = null;
      try {
        if (await this.evaluate(fn, ...args)) return;
      } catch (error) {
        failure = error;
      }
      if (Date.now() > end) throw new Error(`timed out waiting for ${fn}${failure ? `: ${failure.message}` : ''}`);
      await sleep(50);
    }
  }

  async click(selector, { button = 'left' } = {}) {
    const r = await this.$eval(selector, (e) => {
      e.scrollIntoView({ block: 'nearest', inline: 'nearest' });
      return e.getBoundingClientRect().toJSON();
    });
    await this.mouse.click(r.x + r.width / 2, r.y + r.height / 2, button === 'right' ? 2 : 0);
  }

  waitForSelector(selector, options) {
    return this.waitForFunction((s) => document.querySelector(s) !== null, options, selector);
  }

  focus(selector) {
    return this.$eval(selector, (e) => e.focus());
  }

  title() {
    return this.session.call('GET', '/title');
  }

  async goto(url) {
    await this.session.call('POST', '/url', { url });
    await this.loaded();
  }

  async reload() {
    await this.session.call('POST', '/refresh', {});
    await this.loaded();
  }

  async screenshot({ path }) {
    fs.writeFileSync(path, Buffer.from(await this.session.call('GET', '/screenshot'), 'base64'));
  }

  // The window made as large as the viewport asked for; WebKitGTK cannot
  // emulate another device pixel ratio.
  async setViewport({ width, height, deviceScaleFactor = 1 }) {
    if (deviceScaleFactor !== 1) throw new Error('WebKitWebDriver cannot emulate a device pixel ratio');
    // The window manager may take a moment to give the window its new size.
    for (let attempt = 0; attempt < 20; attempt++) {
      const [innerWidth, innerHeight] = await this.evaluate(() => [innerWidth, innerHeight]);
      if (innerWidth === width && innerHeight === height) return;
      if (attempt > 0) await sleep(100);
      const outer = await this.session.call('GET', '/window/rect');
      await this.session.call('POST', '/window/rect',
        { width: outer.width + width - innerWidth, height: outer.height + height - innerHeight });
    }
    throw new Error(`the window would not take a ${width} x ${height} viewport`);
  }

  close() {
    return this.session.call('DELETE', '');
  }
}

// One WebKitWebDriver on its own display; each page is a session of its own
// (the driver holds one at a time), so tests open and close pages in turn.
export async function launchWebKit(language) {
  const xvfb = await startXvfb();
  const port = await freePort();
  const driver = spawn(process.env.WEBKIT_DRIVER ?? 'WebKitWebDriver', [`--port=${port}`, '--host=127.0.0.1', '--replace-on-new-session'],
    { env: { ...localeEnvironment(language), DISPLAY: xvfb.display }, stdio: 'ignore' });
  const base = `http://127.0.0.1:${port}/session`;
  for (let tries = 0; ; tries++) {
    try {
      if ((await (await fetch(`http://127.0.0.1:${port}/status`)).json()).value.ready) break;
    } catch (error) {
      if (tries > 100) throw error;
    }
    await sleep(100);
  }
  return {
    async newPage() {
      const response = await fetch(base, { method: 'POST', body: JSON.stringify({ capabilities: {} }) });
      const { value } = await response.json();
      if (!response.ok) throw new Error(`WebKitWebDriver: ${value.message}`);
      return new Page(new Session(`${base}/${value.sessionId}`));
    },
    async close() {
      driver.kill();
      xvfb.process.kill();
    },
  };
}
