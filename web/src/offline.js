import { busy, reloadPage } from './busy.js';
import { tr } from './i18n.js';

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
  navigator.serviceWorker
    .register('sw.js', { updateViaCache: 'none' })
    .then(offerNewVersion)
    .catch(() => {});
}

// A new version installed while this page runs on the old one: the page says so and offers
// to reload; it is never taken over silently (its workers would load the new version's
// files). When a page lets the new version in, every other page of the old one reloads as
// soon as it is idle: one with a run, a series or a comparison under way says so and waits
// for it to end, or for the user to reload.
function offerNewVersion(registration) {
  const container = navigator.serviceWorker;
  let controlled = Boolean(container.controller);
  let waiting = null;
  container.addEventListener('controllerchange', () => {
    if (!controlled) {
      controlled = true;
      return;
    }
    if (!busy()) {
      reloadPage();
      return;
    }
    showUpdate('別のタブで新しい版が読み込まれました。このページは計算が終わると再読み込みします。', reloadPage);
    clearInterval(waiting);
    waiting = setInterval(() => {
      if (!busy()) reloadPage();
    }, 1000);
  });
  const offer = (worker) => {
    if (!container.controller) return;
    showUpdate(OFFER, () => worker.postMessage({ type: 'take-over' }));
  };
  if (registration.waiting) offer(registration.waiting);
  registration.addEventListener('updatefound', () => {
    const worker = registration.installing;
    worker?.addEventListener('statechange', () => {
      if (worker.state === 'installed') offer(worker);
    });
  });
}

const OFFER =
  '新しい版があります。再読み込みすると新しい版で開きます。ほかのタブも、計算中でなければ再読み込みされます。';

// `text`: the notice's source text, kept on the element so that a change of language words
// it again.
function showUpdate(text, onReload) {
  const notice = document.getElementById('update');
  notice.hidden = false;
  const words = notice.querySelector('span');
  words.dataset.tr = `Web|${text}`;
  words.textContent = tr('Web', text);
  document.getElementById('update-reload').onclick = onReload;
}
