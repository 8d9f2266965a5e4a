// What this page would lose if it went away now: a running batch or engine run, a visual
// series under way, a comparison of results on the graph. While any is held the page asks
// before it is left (beforeunload), and a new version loaded in another tab does not reload
// it: it reloads when it is idle again, or when the user asks.
const checks = new Map();

// `check()` says whether the part named `name` holds work now.
export function guardWhile(name, check) {
  checks.set(name, check);
}

export function busy() {
  return [...checks.values()].some((check) => check());
}

// A reload the user asked for is not asked about again.
let leaving = false;
export function reloadPage() {
  leaving = true;
  window.location.reload();
}

window.addEventListener('beforeunload', (event) => {
  if (leaving || !busy()) return;
  event.preventDefault();
  event.returnValue = '';
});
