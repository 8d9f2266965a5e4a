// Offline and installable: where the site is served over http(s), its web app manifest and
// its service worker (sw.js). Opened from a folder (file://) neither exists for the browser,
// and the site runs without them.
export function enableOffline() {
  if (!/^https?:$/.test(window.location.protocol)) return;
  const manifest = document.createElement('link');
  manifest.rel = 'manifest';
  manifest.href = 'manifest.webmanifest';
  document.head.append(manifest);
  if ('serviceWorker' in navigator) navigator.serviceWorker.register('sw.js').catch(() => {});
}
