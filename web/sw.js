// CALVETRA's service worker: after one visit the whole site is kept in the
// browser and served from there, so that the page opens with no network.
//
// One cache per version of the site, named after the SHA-256 of its files.
// A new version installs beside the old one, taking every file from the
// server and checking it against its hash before anything is cached; it takes
// over only once no page of the old version is open, and then deletes the old
// caches. A page is thus never made of files of two versions.
'use strict';

// The site's files and their SHA-256, in hexadecimal: the build writes them here.
const SITE = { version: 'unbuilt', files: {} };

const CACHE = `calvetra-${SITE.version}`;
const scope = new URL(self.registration.scope);

async function sha256(bytes) {
  const digest = new Uint8Array(await crypto.subtle.digest('SHA-256', bytes));
  return Array.from(digest, (b) => b.toString(16).padStart(2, '0')).join('');
}

// A file of this version, from the browser's HTTP cache if it holds that
// version, else from the server; a file of another version stops the install.
async function fetchChecked(name) {
  for (const cache of ['default', 'reload']) {
    const response = await fetch(new URL(name, scope), { cache });
    if (response.ok && (await sha256(await response.clone().arrayBuffer())) === SITE.files[name]) return response;
  }
  throw new Error(`${name} is not the file of version ${SITE.version}`);
}

self.addEventListener('install', (event) => {
  event.waitUntil((async () => {
    const names = Object.keys(SITE.files);
    const responses = await Promise.all(names.map(fetchChecked));
    const cache = await caches.open(CACHE);
    await Promise.all(names.map((name, i) => cache.put(new URL(name, scope), responses[i])));
  })());
});

self.addEventListener('activate', (event) => {
  event.waitUntil((async () => {
    for (const name of await caches.keys())
      if (name.startsWith('calvetra-') && name !== CACHE) await caches.delete(name);
    // On the first visit the open page comes under this worker at once, so
    // that what it loads later (the help) is kept too.
    await self.clients.claim();
  })());
});

// The site's own files from this version's cache; everything else, and a
// file missing from the cache, from the network.
self.addEventListener('fetch', (event) => {
  const url = new URL(event.request.url);
  if (event.request.method !== 'GET' || url.origin !== scope.origin || !url.pathname.startsWith(scope.pathname)) return;
  const name = url.pathname.slice(scope.pathname.length) || 'index.html';
  if (!(name in SITE.files)) return;
  event.respondWith((async () => {
    const cached = await (await caches.open(CACHE)).match(new URL(name, scope));
    return cached ?? fetch(event.request);
  })());
});
