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
  }

  // The page's own address on a freshly loaded program; the core names what
  // it could not apply in a message of its own.
  restore() {
    if (location.hash.length > 1) this.session.openLink(location.hash);
  }

  // The address for the program as it stands, written only when it changed.
  update() {
    const fragment = this.session.link();
    if (fragment === this.written) return;
    this.written = fragment;
    history.replaceState(history.state, '', `#${fragment}`);
  }

  get href() {
    return location.href;
  }
}
