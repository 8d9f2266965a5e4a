// Starts the page's Web Workers. Served over http(s) a worker is its own file beside the page.
// Opened from a folder (file://) Chromium refuses a worker file, so the folder's classic
// bundle (dosavia_folder.js, made by the build) carries each worker's text with the C++ core
// in front of it, and the worker is made from that text as a Blob.
const blobUrls = new Map();

export function startWorker(file) {
  const folder = globalThis.DOSAVIA_FOLDER;
  if (!folder) return new Worker(file);
  let url = blobUrls.get(file);
  if (!url) {
    const source = folder.workers[file];
    if (source === undefined) throw new Error(`no worker ${file} in the folder bundle`);
    url = URL.createObjectURL(new Blob([folder.core, '\n', source], { type: 'text/javascript' }));
    blobUrls.set(file, url);
  }
  return new Worker(url);
}
