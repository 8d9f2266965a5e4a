// The C++ core (WebAssembly) on the page's own thread, for what is computed once and at
// once: the explanation pages' texts and the numbers of their figures. The visual batch runs
// the same core in its worker. Loaded on first use only, so the menu opens without it.
let loading = null;

export function loadCore() {
  loading ??= new Promise((resolve, reject) => {
    if (typeof globalThis.DosaviaCore === 'function') {
      resolve(globalThis.DosaviaCore());
      return;
    }
    const script = document.createElement('script');
    script.src = 'dosavia_core.js';
    script.onload = () => resolve(globalThis.DosaviaCore());
    script.onerror = () => reject(new Error('dosavia_core.js'));
    document.head.append(script);
  });
  return loading;
}
