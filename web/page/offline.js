// CALVETRA without a network. Served by a web server, the page registers a
// service worker (sw.js) that keeps the whole site for the next visits.
// Built into one file (calvetra.html, opened from the disk), the page carries
// the documents it loads while it runs as data: addresses in CALVETRA_FILES.

// Where the page finds one of the site's files.
export function siteFile(name) {
  return globalThis.CALVETRA_FILES?.[name] ?? name;
}

if (!globalThis.CALVETRA_FILES && 'serviceWorker' in navigator) {
  // After the page has loaded, so that the worker's downloads do not hold it up.
  addEventListener('load', () => {
    navigator.serviceWorker.register('sw.js').catch((error) => console.warn(error));
  });
}
