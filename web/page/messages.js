// The message boxes. The core asks for a message box in the middle of an
// action and expects it to have been confirmed when the call returns. The
// page queues the messages of one action and shows them when the action has
// ended, one modal dialog at a time, in the order they came; while one is
// open the rest of the page takes no input. However the last is answered,
// the focus goes back where it was.

import { rememberFocus } from './focus.js';

export class MessageQueue {
  constructor(dialog) {
    this.dialog = dialog;
    this.pending = [];
    this.giveFocusBack = null;
    dialog.querySelector('button').addEventListener('click', () => this.showNext());
    // Escape confirms too. Where the browser will not let the page keep the
    // dialog open, it closes, and the next message follows it.
    dialog.addEventListener('cancel', (event) => {
      if (!event.cancelable) return;
      event.preventDefault();
      this.showNext();
    });
    dialog.addEventListener('close', () => { if (!dialog.open) this.showNext(); });
  }

  add(message) {
    this.pending.push(message);
  }

  // A message is open or waiting to be.
  get busy() {
    return this.dialog.open || this.pending.length > 0;
  }

  // The next message in a fresh dialog, in the same task as the last one's
  // confirmation so that no input slips in between; none left, no dialog.
  showNext() {
    const { dialog } = this;
    if (!dialog.open && this.pending.length > 0) this.giveFocusBack = rememberFocus();
    if (dialog.open) dialog.close();
    if (this.pending.length === 0) {
      this.giveFocusBack?.();
      this.giveFocusBack = null;
      return;
    }
    dialog.querySelector('#message-text').textContent = this.pending.shift();
    dialog.showModal();
  }
}
