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

self.addEventListener('install', (event) => {
  // Fetched past the browser's HTTP cache: a server that sends Last-Modified without
  // Cache-Control lets the browser reuse what it has for days, and the new version's cache
  // would be filled with the old version's files.
  const requests = PRECACHE.files.map((file) => new Request(file, { cache: 'reload' }));
  event.waitUntil(caches.open(CACHE).then((cache) => cache.addAll(requests)));
});

// The page's answer when the user chose to load the new version.
self.addEventListener('message', (event) => {
  if (event.data?.type === 'take-over') self.skipWaiting();
});

// The first version takes the page it was installed from at once (there is no other version
// for it to mix with); a later one gets here only when no page of the old one is left, or
// when the user asked for it, and those pages reload.
self.addEventListener('activate', (event) => {
  event.waitUntil(caches.keys()
    .then((keys) => Promise.all(keys.filter((k) => k.startsWith('dosavia-') && k !== CACHE).map((k) => caches.delete(k))))
    .then(() => self.clients.claim()));
});

// The site's own files from the cache (a deep link's query names no other file); anything
// else from the network as usual.
self.addEventListener('fetch', (event) => {
  const url = new URL(event.request.url);
  if (event.request.method !== 'GET' || url.origin !== self.location.origin) return;
  const scope = new URL(self.registration.scope);
  const path = url.pathname === scope.pathname ? `${scope.pathname}index.html` : url.pathname;
  event.respondWith(caches.open(CACHE)
    .then((cache) => cache.match(new URL(path, url.origin).href, { ignoreSearch: true }))
    .then((hit) => hit ?? fetch(event.request)));
});
