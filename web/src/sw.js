// The service worker: after one visit every file of the site is kept in the browser's cache,
// so that the site opens and simulates with no network (a classroom without Wi-Fi, a tablet
// installed from the home screen). The list of files and its version come from the build
// (precache.js, written by tools/build-web.sh); a new build is a new version, which replaces
// the old cache as soon as it is installed.
/* global importScripts, PRECACHE */
importScripts('precache.js');

const CACHE = `dosavia-${PRECACHE.version}`;

self.addEventListener('install', (event) => {
  event.waitUntil(caches.open(CACHE).then((cache) => cache.addAll(PRECACHE.files)).then(() => self.skipWaiting()));
});

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
