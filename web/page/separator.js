// The browser language's decimal separator, as the program uses it.
//
// The first number format a page makes costs a slow phone a fifth of a
// second of its main thread (the engine sets up its locale data then), and
// the page makes no other at its start: a worker of its own asks instead,
// while the core downloads, and the page's thread never pays it. Where no
// worker can start (a sandboxed frame may refuse one), the page asks itself.

// A language the browser's number formats refuse (WebKit started in the C
// locale reports "C") must not stop the page: it gives the point.
function separatorOf(language) {
  try {
    const parts = new Intl.NumberFormat(language).formatToParts(1.5);
    return parts.some((p) => p.type === 'decimal' && p.value === ',') ? ',' : '.';
  } catch {
    return '.';
  }
}

export function askDecimalSeparator() {
  const here = () => separatorOf(navigator.language);
  let address;
  try {
    address = URL.createObjectURL(new Blob([`postMessage((${separatorOf})(navigator.language));`],
      { type: 'text/javascript' }));
    const worker = new Worker(address);
    return new Promise((resolve) => {
      // A worker that never answers must not hold the page up.
      const late = setTimeout(() => done(here()), 3000);
      const done = (separator) => {
        clearTimeout(late);
        worker.terminate();
        URL.revokeObjectURL(address);
        resolve(separator);
      };
      worker.onmessage = (event) => done(event.data === ',' ? ',' : '.');
      worker.onerror = (event) => {
        event.preventDefault();
        done(here());
      };
    });
  } catch {
    if (address) URL.revokeObjectURL(address);
    return Promise.resolve(here());
  }
}
