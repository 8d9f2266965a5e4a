// Offline and installable: where the site is served over http(s), its web app manifest and
// its service worker (sw.js). Opened from a folder (file://) neither exists for the browser,
// and the site runs without them.
export function enableOffline() {
  if (!/^https?:$/.test(window.location.protocol)) return;
  const manifest = document.createElement('link');
  manifest.rel = 'manifest';
  manifest.href = 'manifest.webmanifest';
  document.head.append(manifest);
  if (!('serviceWorker' in navigator)) return;
  // updateViaCache 'none': the worker's script and the list it imports are asked of the
  // server on every visit, never taken from the HTTP cache, so a new build is always seen.
  navigator.serviceWorker.register('sw.js', { updateViaCache: 'none' }).then(offerNewVersion).catch(() => {});
}

// A new version installed while this page runs on the old one: the page says so and offers
// to reload; it is never taken over silently (its workers would load the new version's
// files). When any page lets the new version in, every page of the old one reloads.
function offerNewVersion(registration) {
  const container = navigator.serviceWorker;
  let controlled = Boolean(container.controller);
  container.addEventListener('controllerchange', () => {
    if (controlled) window.location.reload();
    controlled = true;
  });
  const offer = (worker) => {
    if (!container.controller) return;
    const notice = document.getElementById('update');
    notice.hidden = false;
    document.getElementById('update-reload').onclick = () => worker.postMessage({ type: 'take-over' });
  };
  if (registration.waiting) offer(registration.waiting);
  registration.addEventListener('updatefound', () => {
    const worker = registration.installing;
    worker?.addEventListener('statechange', () => {
      if (worker.state === 'installed') offer(worker);
    });
  });
}
