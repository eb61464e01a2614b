// The help: the help document with the figures this program works out, not
// modal, opened by F1 or the page's "Ayuda" button, in the language the
// program speaks. Escape closes it from
// anywhere inside it, its text included, and the focus goes back where it was.

import { rememberFocus } from './focus.js';
import { siteFile } from './offline.js';
import { text } from './texts.js';

// isClosing: whether the session has ended; onChange: called when the help
// opens or closes, for the arrangement to make room for it.
export function wireHelp(session, isClosing, onChange) {
  const help = document.getElementById('help');
  const button = document.getElementById('help-button');
  let frame = null;
  let giveFocusBack = null;

  // The frame of the help's text, made at the first opening.
  function helpFrame() {
    if (frame) return frame;
    frame = Object.assign(document.createElement('iframe'), { id: 'help-text', title: text('HelpTitle') });
    frame.dataset.textTitle = 'HelpTitle'; // written again in another language
    // The help's text is a document of its own, with keys of its own.
    frame.addEventListener('load', () => frame.contentDocument?.addEventListener('keydown', keydown));
    help.append(frame);
    return frame;
  }

  async function helpDocument() {
    try {
      const response = await fetch(siteFile(session.helpFile()));
      if (response.ok) return session.help(await response.text());
    } catch (error) {
      console.error(error);
    }
    const missing = Object.assign(document.createElement('p'), { lang: document.documentElement.lang });
    missing.textContent = text('HelpMissing');
    return missing.outerHTML;
  }
  async function open() {
    if (isClosing()) return;
    if (!help.open) {
      giveFocusBack = rememberFocus();
      helpFrame().srcdoc = await helpDocument();
      help.show();
      button.setAttribute('aria-expanded', 'true');
      onChange();
    }
    help.querySelector('button').focus();
  }
  function keydown(event) {
    if (event.key === 'F1') {
      event.preventDefault();
      open();
    } else if (event.key === 'Escape' && help.open && help.contains(document.activeElement)) {
      close();
    }
  }
  // Done at once, not on the dialog's close event, which comes a task later.
  function close() {
    help.close();
    button.setAttribute('aria-expanded', 'false');
    onChange();
    giveFocusBack?.();
    giveFocusBack = null;
  }

  button.addEventListener('click', open);
  help.querySelector('button').addEventListener('click', close);
  addEventListener('keydown', keydown);
  return {
    // After another language is chosen: the open help in it, read from
    // where the reader was.
    async retext() {
      if (!help.open || !frame) return;
      const at = frame.contentWindow?.scrollY ?? 0;
      frame.srcdoc = await helpDocument();
      frame.addEventListener('load', () => frame.contentWindow?.scrollTo(0, at), { once: true });
    },
  };
}
