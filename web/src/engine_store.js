// The finished results kept in the browser (IndexedDB) across visits, Dosavia's 既存データ:
// the result file's text under its name, with its run's statistics (the .stat file's text)
// where the run made them or the upload brought them; a record kept before there were
// statistics has none and is read as a result without them. Nothing leaves the machine. Where IndexedDB is not
// available (a private window of some browsers, a page opened from a folder in some) the
// list lives as long as the page, and the screen says so.
const DB = 'dosavia';
const STORE = 'results';
let memory = null;
let lasting = true;

// Whether the results outlive the page: false once IndexedDB has failed.
export function resultsOutliveThePage() {
  return lasting;
}

// An IndexedDB that has not opened after this long never will for this page (a browser
// that keeps the request waiting, a broken profile) [ms]: the screen then works with the
// page's own list and says so, instead of waiting for ever.
const OPEN_TIMEOUT_MS = 4000;
let unanswered = false;

function open() {
  return new Promise((resolve, reject) => {
    if (typeof indexedDB === 'undefined' || unanswered) {
      reject(new Error('no IndexedDB'));
      return;
    }
    const timer = setTimeout(() => {
      unanswered = true;
      reject(new Error('IndexedDB does not answer'));
    }, OPEN_TIMEOUT_MS);
    const request = indexedDB.open(DB, 1);
    request.onupgradeneeded = () => request.result.createObjectStore(STORE, { keyPath: 'name' });
    request.onsuccess = () => {
      clearTimeout(timer);
      // Opened after the time was up: closed again, the page's list has taken over.
      if (unanswered) request.result.close();
      else resolve(request.result);
    };
    request.onerror = () => {
      clearTimeout(timer);
      reject(request.error);
    };
  });
}

async function transact(mode, work) {
  const db = await open();
  try {
    return await new Promise((resolve, reject) => {
      const tx = db.transaction(STORE, mode);
      const request = work(tx.objectStore(STORE));
      tx.oncomplete = () => resolve(request?.result);
      tx.onerror = () => reject(tx.error);
      tx.onabort = () => reject(tx.error);
    });
  } finally {
    db.close();
  }
}

function fallback() {
  lasting = false;
  if (!memory) memory = new Map();
  return memory;
}

// [{ name, text, statistics?, saved }] sorted by name.
export async function listResults() {
  let all = [];
  try {
    all = await transact('readonly', (store) => store.getAll());
  } catch {
    fallback();
  }
  // A result that IndexedDB refused (a full disk) lives in memory beside the kept ones, and
  // is listed with them rather than lost from view.
  if (memory) {
    const byName = new Map(all.map((r) => [r.name, r]));
    for (const record of memory.values()) byName.set(record.name, record);
    all = [...byName.values()];
  }
  return all.sort((a, b) => a.name.localeCompare(b.name));
}

// A result of the same name replaces the earlier one, as Kestrun's file does, and with it
// the earlier one's statistics, which belong to that one only. `statistics`: the .stat
// text, or nothing.
export async function saveResult(name, text, statistics) {
  const record = { name, text, saved: Date.now() };
  if (statistics) record.statistics = statistics;
  try {
    await transact('readwrite', (store) => store.put(record));
    memory?.delete(name);
  } catch {
    fallback().set(name, record);
  }
}

export async function removeResult(name) {
  memory?.delete(name);
  try {
    await transact('readwrite', (store) => store.delete(name));
  } catch {
    fallback();
  }
}
