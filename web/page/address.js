// The set-up in the page's address: after every action the fragment holds
// the figures in the boxes and the runs drawn, as the core writes them, and
// opening or reloading such an address brings them back through the core.
// The address is rewritten in place, so the browser's history gains no
// entry for an action.
//
// The browser takes a while over each change of address, so the address is
// written in idle time, and at once when the page is left, reloaded or
// hidden (on a phone, hidden is the last the page is sure to hear before the
// tab is discarded). A reload asked for while the page writes its address on
// leaving may take the address before or after it, so on leaving the set-up
// is also kept in the tab's session storage, with both addresses. On loading,
// that record wins while the address is one of those; another address
// (changed by hand, or another link opened in this tab) is newer, and it
// wins. A keystroke itself writes neither: on a slow phone each costs a
// good share of the key's time.

const KEPT_SET_UP = `calvetra-set-up:${location.pathname}`;
// The least time between two writes of the address while actions come.
const WRITE_SPACING_MS = 500;

export class Address {
  constructor(session) {
    this.session = session;
    this.written = null; // the last fragment written
    this.writtenAt = -Infinity; // when, by performance.now()
    this.shown = location.hash.slice(1); // the address's fragment as the browser holds it
    // An address changed by hand in the address bar: the program opens it
    // afresh, as a reload would.
    addEventListener('hashchange', () => {
      if (location.hash.slice(1) === this.shown) return;
      // The address typed is what the reload opens: nothing of this page's
      // is written or kept on the way out.
      this.pending = false;
      this.written = null;
      forgetSetUp();
      location.reload();
    });
    // A page left, reloaded or hidden before its idle time still leaves its
    // address. The reload's own event comes before the next document is
    // asked for, even when the reload is asked for in the action's own task.
    addEventListener('beforeunload', () => this.leave());
    addEventListener('pagehide', () => this.leave());
    document.addEventListener('visibilitychange', () => {
      if (document.visibilityState === 'hidden') this.leave();
    });
  }

  // The set-up on a freshly loaded program: the one kept in this tab after
  // its last action, or the address's; the core names what it could not
  // apply in a message of its own.
  restore() {
    const kept = keptSetUp();
    const link = kept?.addresses.includes(this.shown) ? `#${kept.setUp}` : location.hash;
    if (link.length > 1) this.session.openLink(link);
  }

  // After every action: the address written once the frame that shows the
  // action is out and the page has nothing else to do, but not within half a
  // second of the last write (and at once when the page is left or hidden).
  // So keys typed in a row write it twice a second at most, and once more
  // after the last: a write costs the browser about as much as a key's
  // drawing, and held up the key after it.
  update() {
    if (this.pending) return;
    this.pending = true;
    whenIdle(() => this.writeInTurn());
  }

  writeInTurn() {
    const wait = this.writtenAt + WRITE_SPACING_MS - performance.now();
    if (wait <= 0) this.write();
    else setTimeout(() => whenIdle(() => this.writeInTurn()), wait);
  }

  // The address with the set-up as it stands, written now if it waits.
  href() {
    this.write();
    return location.href;
  }

  write() {
    if (!this.pending) return;
    this.pending = false;
    const fragment = this.session.link();
    if (fragment === this.written) return;
    this.written = fragment;
    this.writtenAt = performance.now();
    this.before = this.shown;
    history.replaceState(history.state, '', `#${fragment}`);
    this.shown = location.hash.slice(1);
  }

  // The page hidden or on its way out: the address written, and the set-up
  // kept with the address before it, which a reload asked for meanwhile may
  // still take. A page that has written none leaves what it was opened with.
  leave() {
    this.write();
    if (this.written !== null) keepSetUp({ setUp: this.written, addresses: [this.before, this.shown] });
  }
}

// The tab's session storage may be refused (storage turned off, a sandboxed
// frame): the page then goes on with the address alone. What it holds is
// read back as untrusted text, through the core's checks like any link.
function keepSetUp(record) {
  try {
    sessionStorage.setItem(KEPT_SET_UP, JSON.stringify(record));
  } catch {
    // nothing kept: the address still is
  }
}

function keptSetUp() {
  try {
    const record = JSON.parse(sessionStorage.getItem(KEPT_SET_UP));
    const texts = (a) => Array.isArray(a) && a.every((t) => typeof t === 'string');
    return typeof record?.setUp === 'string' && texts(record.addresses) ? record : null;
  } catch {
    return null;
  }
}

function forgetSetUp() {
  try {
    sessionStorage.removeItem(KEPT_SET_UP);
  } catch {
    // nothing was kept
  }
}

// work, once the page is idle after its next frame; where the browser has no
// idle callbacks (WebKit), just after that frame.
function whenIdle(work) {
  if (globalThis.requestIdleCallback) requestIdleCallback(work, { timeout: 1000 });
  else requestAnimationFrame(() => setTimeout(work, 0));
}
