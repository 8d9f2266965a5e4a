// The service worker: after one visit every file of the site is kept in the browser's cache,
// so that the site opens and simulates with no network (a classroom without Wi-Fi, a tablet
// installed from the home screen). The list of files and its version come from the build
// (precache.js, written by tools/build-web.sh); a new build is a new version with a cache of
// its own.
//
// A page runs on the files of one version only: its block workers and modules must not come
// from another build. So a new version, once installed, waits while pages of the old one
// are open; those pages tell the user (offline.js), and when the user asks, it takes over
// and every open page reloads.
/* global importScripts, PRECACHE */
importScripts('precache.js');

const CACHE = `dosavia-${PRECACHE.version}`;

// A file of this version: fetched past the browser's HTTP cache (a server that sends
// Last-Modified without Cache-Control lets the browser reuse what it has for days) and
// checked against the version's own SHA-256 of it. A site uploaded meanwhile gives another
// file: the install then fails and nothing is kept, and the browser installs the new
// version whole on a later visit, rather than a cache of a page of one build with an
// engine of the other.
async function fetchOfThisVersion(file) {
  const response = await fetch(new Request(file, { cache: 'reload' }));
  if (!response.ok) throw new Error(`${file}: ${response.status}`);
  const digest = new Uint8Array(await crypto.subtle.digest('SHA-256', await response.clone().arrayBuffer()));
  const hex = [...digest].map((b) => b.toString(16).padStart(2, '0')).join('');
  if (PRECACHE.sha256 && hex !== PRECACHE.sha256[file])
    throw new Error(`${file} is not of version ${PRECACHE.version}`);
  return response;
}

self.addEventListener('install', (event) => {
  event.waitUntil(
    (async () => {
      const responses = await Promise.all(PRECACHE.files.map(fetchOfThisVersion));
      // Kept only when every file is of this version.
      const cache = await caches.open(CACHE);
      await Promise.all(PRECACHE.files.map((file, i) => cache.put(file, responses[i])));
    })().catch(async (error) => {
      await caches.delete(CACHE);
      throw error;
    }),
  );
});

// The page's answer when the user chose to load the new version.
self.addEventListener('message', (event) => {
  if (event.data?.type === 'take-over') self.skipWaiting();
});

// The first version takes the page it was installed from at once (there is no other version
// for it to mix with); a later one gets here only when no page of the old one is left, or
// when the user asked for it, and those pages reload.
self.addEventListener('activate', (event) => {
  event.waitUntil(
    caches
      .keys()
      .then((keys) =>
        Promise.all(keys.filter((k) => k.startsWith('dosavia-') && k !== CACHE).map((k) => caches.delete(k))),
      )
      .then(() => self.clients.claim()),
  );
});

// The site's own files from the cache (a deep link's query names no other file); anything
// else from the network as usual.
self.addEventListener('fetch', (event) => {
  const url = new URL(event.request.url);
  if (event.request.method !== 'GET' || url.origin !== self.location.origin) return;
  const scope = new URL(self.registration.scope);
  const path = url.pathname === scope.pathname ? `${scope.pathname}index.html` : url.pathname;
  event.respondWith(
    caches
      .open(CACHE)
      .then((cache) => cache.match(new URL(path, url.origin).href, { ignoreSearch: true }))
      .then((hit) => hit ?? fetch(event.request)),
  );
});
