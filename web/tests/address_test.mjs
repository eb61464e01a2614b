// When the page writes its address and keeps the set-up in the tab, on a
// clock of the test's own: no browser, no waiting.
//
//   node web/tests/address_test.mjs
import assert from 'node:assert/strict';
import test from 'node:test';

// The browser as the address's module sees it, every moment chosen here.
let clock = 0;
const idle = [], timers = [], listeners = {};
const storage = new Map();
const listen = (type, f) => { (listeners[type] ??= []).push(f); };
const fire = (type) => listeners[type].forEach((f) => f());
Object.assign(globalThis, {
  location: { pathname: '/index.html', hash: '#v=1&fin', reload() { this.reloaded = true; } },
  history: { state: null, writes: [], replaceState(_, __, url) { location.hash = url; this.writes.push(url.slice(1)); } },
  document: { visibilityState: 'visible', addEventListener: listen },
  addEventListener: listen,
  requestIdleCallback: (f) => idle.push(f),
  setTimeout: (f, ms) => timers.push({ at: clock + ms, f }),
  sessionStorage: {
    getItem: (k) => storage.get(k) ?? null, setItem: (k, v) => storage.set(k, String(v)), removeItem: (k) => storage.delete(k),
  },
});
Object.defineProperty(globalThis, 'performance', { value: { now: () => clock }, configurable: true });
// The time moved on to t, running the timers due and then the idle callbacks.
function until(t) {
  for (;;) {
    timers.sort((a, b) => a.at - b.at);
    while (idle.length) idle.shift()();
    if (!timers.length || timers[0].at > t) break;
    const next = timers.shift();
    clock = next.at;
    next.f();
  }
  clock = t;
  while (idle.length) idle.shift()();
}
const { Address } = await import('../page/address.js');
const kept = () => JSON.parse(storage.get('calvetra-set-up:/index.html') ?? 'null');

test('the address: an action written when idle, keys in a row twice a second at most and after the last, the set-up kept on leaving', () => {
  const session = { set: 'A', link() { return this.set; }, openLink(link) { this.opened = link; } };
  const address = new Address(session);
  address.update();
  until(10);
  assert.deepEqual(history.writes, ['A']);
  assert.equal(storage.size, 0, 'nothing kept at an action');

  // Keys every 120 ms from 600 ms to 2160 ms: the first one after the quiet
  // spell at once, then the set-up as it stands half a second after each
  // write, and the last key's after them.
  for (let t = 600; t <= 2160; t += 120) {
    until(t);
    session.set = `K${t}`;
    address.update();
  }
  until(5000);
  assert.deepEqual(history.writes, ['A', 'K600', 'K1080', 'K1560', 'K2040', 'K2160']);

  // A key, then the page hidden before its idle time: written there and then,
  // and kept with the address before it, which a reload asked for meanwhile
  // may still take.
  session.set = 'B';
  address.update();
  document.visibilityState = 'hidden';
  fire('visibilitychange');
  assert.equal(history.writes.at(-1), 'B');
  assert.deepEqual(kept(), { setUp: 'B', addresses: ['K2160', 'B'] });
  until(6000);
  assert.equal(history.writes.length, 7, 'the idle callback after it writes nothing more');

  // A reload: the kept set-up wins while the address is one of those kept,
  // and loses to any other.
  for (const [hash, opened] of [['#K2160', '#B'], ['#B', '#B'], ['#v=1&V=7&fin', '#v=1&V=7&fin']]) {
    location.hash = hash;
    session.opened = null;
    new Address(session).restore();
    assert.equal(session.opened, opened, hash);
  }

  // An address changed by hand: the page reloads with it and keeps nothing on the way out.
  location.hash = '#B';
  const typedOver = new Address(session);
  session.set = 'C';
  typedOver.update();
  until(7000);
  session.set = 'D';
  typedOver.update();
  location.hash = '#v=1&V=9&fin';
  listeners.hashchange.at(-1)();
  assert.ok(location.reloaded);
  listeners.pagehide.at(-1)();
  assert.equal(kept(), null);
  assert.equal(history.writes.at(-1), 'C');
});
