// The set-up in the page's address: after every action the fragment holds
// the figures in the boxes and the runs drawn, as the core writes them, and
// opening or reloading such an address brings them back through the core.
// The address is rewritten in place, so the browser's history gains no
// entry for an action.
'use strict';

class Address {
  constructor(session) {
    this.session = session;
    this.written = null;
    // An address changed by hand in the address bar: the program opens it
    // afresh, as a reload would.
    addEventListener('hashchange', () => {
      if (location.hash.slice(1) !== this.written) location.reload();
    });
    // A page left before its frame was shown still leaves its address.
    addEventListener('pagehide', () => this.write());
  }

  // The page's own address on a freshly loaded program; the core names what
  // it could not apply in a message of its own.
  restore() {
    if (location.hash.length > 1) this.session.openLink(location.hash);
  }

  // The address for the program as it stands, written once the frame that
  // shows the action is out and the page has nothing else to do (within a
  // second, and at once when the page is left): the browser takes a while
  // over each change of address, and typing must not wait for it. Actions
  // in a row write it once.
  update() {
    if (this.pending) return;
    this.pending = true;
    whenIdle(() => this.write());
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
    history.replaceState(history.state, '', `#${fragment}`);
  }
}

// work, once the page is idle after its next frame; where the browser has no
// idle callbacks (WebKit), just after that frame.
function whenIdle(work) {
  if (globalThis.requestIdleCallback) requestIdleCallback(work, { timeout: 1000 });
  else requestAnimationFrame(() => setTimeout(work, 0));
}
