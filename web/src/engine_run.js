// The engine screen's run: Kestrun's block streams on every core (Web Workers running the
// engine's C++ as WebAssembly), the physics switches and the result's name before it, Start,
// Stop and Esc, progress and the status line. A finished run is kept and read
// (engine_list.js), then drawn by the screen (runHooks.finished).
import { runBlocks } from './engine_pool.mjs';
import { $, state } from './engine_state.js';
import { readResult, refreshSaved } from './engine_list.js';
import { saveResult } from './engine_store.js';
import { errorText, language, tr } from './i18n.js';
import { showNotice } from './notice.js';
import { buildSwitchBoxes, labelSwitchBoxes } from './switch_boxes.js';
import { WorkerClient } from './worker_client.mjs';
import { startWorker } from './workers.js';

export const MAX_WORKERS = 64;
// What the screen does with a finished run's result once it is kept and read: draws it.
export const runHooks = { finished: async () => {} };

let blockWorkers = [];

export function cores() {
  return Math.max(1, Math.min(MAX_WORKERS, navigator.hardwareConcurrency || 1));
}

// ---- the workers ---------------------------------------------------------------------------

export function startTotalWorker() {
  if (!state.total) state.total = new WorkerClient(startWorker('engine_worker.js'));
}

function ensureBlockWorkers(count) {
  while (blockWorkers.length > count) blockWorkers.pop().terminate();
  while (blockWorkers.length < count) blockWorkers.push(new WorkerClient(startWorker('engine_worker.js')));
}

function workerCount() {
  const n = Math.floor(Number($('e-workers').value));
  return Number.isFinite(n) ? Math.max(1, Math.min(MAX_WORKERS, n)) : cores();
}

// ---- the physics switches ------------------------------------------------------------------

// The --without words of the boxes ticked, or the core's word for the accurate transport
// alone: the switches are experiments on the exact transport and rest while it is ticked.
function switchedOff() {
  if ($('e-accurate').checked || inPhantom()) return ['accurate'];
  return [...document.querySelectorAll('#e-switches input:checked')].map((box) => box.dataset.option);
}

// The switches usable only for the exact transport and while no run goes on.
function enableSwitches() {
  const usable = !state.running && !$('e-accurate').checked && !inPhantom();
  for (const box of document.querySelectorAll('#e-switches input')) box.disabled = !usable;
}

// The accurate-transport box ticked or not: the switches follow, the result's name too.
export function followAccurate() {
  enableSwitches();
  return updateNames();
}

export function labelSwitches() {
  labelSwitchBoxes($('e-switches'), state.switches);
}

// The boxes, ticked as a link asks; a word of the link that names no part is said, and the
// run starts with the parts it does name.
export function buildSwitches(names, without) {
  state.switches = names;
  // The result's name carries the tag of the parts off, shown before the run.
  buildSwitchBoxes($('e-switches'), names, without, updateNames);
}

// Whether the screen runs a slab phantom rather than water.
export const inPhantom = () => Boolean(state.phantom.text);

export async function updateNames() {
  if (!state.total) return;
  const names = await state.total.call('names', {
    energy: $('e-energy').value,
    count: $('e-photons').value.normalize('NFKC'),
    without: switchedOff(),
    phantom: state.phantom.text,
  });
  state.names = names;
  $('e-result-name').value = names.resultFile;
  $('e-photon-total').value = names.photonTotal;
}

// The status line, kept as how to word it, so that a language switch rewords it.
let statusText = () => '';
export function statusLine() {
  return statusText();
}
function setStatus(words) {
  statusText = words;
  $('e-status').textContent = words();
}

function setRunning(running) {
  // Layers the engine would refuse run not: the editor says why until they read.
  $('e-start').disabled = running || Boolean(state.layerProblem);
  $('e-stop').disabled = !running;
  for (const id of ['e-energy', 'e-photons', 'e-workers', 'e-seed', 'e-phantom', 'e-edit-layers', 'e-layers'])
    $(id).disabled = running;
  // A phantom runs the accurate transport: its box rests ticked, the switches with it.
  $('e-accurate').disabled = running || inPhantom();
  for (const box of document.querySelectorAll('#e-switches input'))
    box.disabled = running || $('e-accurate').checked || inPhantom();
  if (running) $('e-stop').focus({ preventScroll: true });
}

// A run from the moment Start is pressed: Stop and Esc act at once, also while the workers
// still load and prepare (seconds with many of them), and nothing is saved after a stop.
class RunControl {
  constructor() {
    this.stopped = false;
    this.pool = null;
    this.stopSignal = new Promise((resolve) => {
      this.onStop = resolve;
    });
  }

  stop() {
    this.stopped = true;
    this.pool?.stop();
    this.onStop();
  }

  // `promise`'s value, or STOPPED as soon as Stop is pressed (the call goes on unheeded).
  until(promise) {
    return Promise.race([promise, this.stopSignal.then(() => STOPPED)]);
  }
}
const STOPPED = Symbol('stopped');

export async function pressStart() {
  if (state.running || state.layerProblem) return;
  const energy = $('e-energy').value;
  const count = $('e-photons').value.normalize('NFKC');
  // The seed of this run: the box empty, the default sequence (the same file as ever).
  const seed = $('e-seed').value.normalize('NFKC').trim() || '0';
  const workers = workerCount();
  const without = switchedOff();
  // The layers go to every worker as the phantom file's text the desktop writes.
  const phantom = inPhantom() ? { name: 'Phantom.dat', text: state.phantom.text } : null;
  // Stop and Esc act from here on, also while the count and the seed are checked.
  const control = new RunControl();
  state.running = control;
  setRunning(true);
  state.stopping = false;
  $('e-progress').value = 0;
  const statusBefore = statusText;
  setStatus(() => tr('Web', '準備中…'));
  showNotice('');
  const started = performance.now();
  // A count or a seed the core cannot read is said in the screen's words, before any worker
  // starts, and the box is given the focus.
  const refuse = (notice, box) => {
    state.running = null;
    setRunning(false);
    setStatus(statusBefore);
    showNotice(notice);
    $(box).focus();
  };
  try {
    if (!(await checkRun(control, { energy, count, without, seed }, refuse))) return undefined;
    ensureBlockWorkers(workers);
    if (
      (await control.until(
        Promise.all([state.total, ...blockWorkers].map((w) => w.call('language', { lang: language() }))),
      )) === STOPPED
    )
      return stoppedRun();
    const prepared = await control.until(
      Promise.all(
        [state.total, ...blockWorkers].map((w) =>
          w.call('prepareScreenRun', { energy, count, without, seed, phantom }),
        ),
      ),
    );
    if (prepared === STOPPED) return stoppedRun();
    if (prepared[0].error)
      throw new Error(tr('EngineScreen', 'シミュレーションを開始できません\n%1', prepared[0].error));
    return await runPrepared(control, prepared[0].info, workers, started);
  } catch (error) {
    if (control.stopped) return stoppedRun();
    setStatus(() => tr('Web', '計算できませんでした'));
    showNotice(errorText(error));
  } finally {
    state.running = null;
    setRunning(false);
  }
  return undefined;
}

// The boxes as the core reads them, before any worker starts: true to go on; else the run
// was refused (said in the screen's words, the box given the focus) or stopped.
async function checkRun(control, { energy, count, without, seed }, refuse) {
  const checked = await control.until(
    Promise.all([
      state.total.call('names', { energy, count, without, phantom: state.phantom.text }),
      state.total.call('seedOk', { seed }),
    ]),
  );
  if (checked === STOPPED) {
    stoppedRun();
    return false;
  }
  const [names, seedOk] = checked;
  if (!(names.photons >= 1)) {
    refuse(
      tr(
        'Web',
        '入射光子数「%1」は数として読めません。100000、100,000、1e5 のように 1 以上の数を入れて下さい。',
        $('e-photons').value.trim(),
      ),
      'e-photons',
    );
    return false;
  }
  // A run of hours is asked about first, as on the desktop's engine screen.
  if (
    names.ask &&
    !window.confirm(
      tr(
        'Web',
        '%1 個の光子には約 %2 分かかります。始めますか？ (Stop か Esc でいつでも止められます)',
        names.photons,
        Math.round(names.minutes),
      ),
    )
  ) {
    refuse('', 'e-photons');
    return false;
  }
  if (!seedOk) {
    refuse(seedProblem($('e-seed').value.trim()), 'e-seed');
    return false;
  }
  return true;
}

// The prepared run on the block workers, then its result kept, read and drawn.
async function runPrepared(control, info, workers, started) {
  let lastBin = 0;
  const progress = (list) => {
    if (list.length === 0 || control.stopped) return;
    lastBin = list[list.length - 1];
    $('e-progress').value = lastBin / info.imax;
    setStatus(() => tr('Web', 'スペクトルのビン %1 / %2（ワーカー %3）', lastBin, info.imax, workers));
  };
  const begun = await control.until(state.total.call('begin'));
  if (begun === STOPPED) return stoppedRun();
  progress(begun);
  control.pool = runBlocks({
    blocks: info.blocks,
    workers: blockWorkers,
    runBlock: (w, b) => w.call('block', { b }),
    addNext: async (cells) => progress(await state.total.call('add', { cells }, [cells.buffer])),
  });
  const outcome = await control.pool.done;
  if (!outcome.complete || control.stopped) return stoppedRun();
  const result = await control.until(state.total.call('finish'));
  if (result === STOPPED) return stoppedRun();
  if (result.error) throw new Error(result.error);
  const seconds = (performance.now() - started) / 1000;
  await saveResult(info.resultFile, result.text, result.statistics);
  setStatus(() => `${tr('EngineConsole', '計算終了：%1', info.resultFile)} (${seconds.toFixed(1)} s)`);
  await refreshSaved();
  await readResult(info.resultFile, result.text, result.statistics);
  await runHooks.finished();
  return undefined;
}

function seedProblem(typed) {
  return tr('Web', '乱数の種「%1」は使えません。0 から 2147483647 までの整数を入れるか、空欄にして下さい。', typed);
}

function stoppedRun() {
  setStatus(() => tr('EngineConsole', '中止しました'));
  $('e-progress').value = 0;
}

export function pressStop() {
  if (!state.running || state.stopping) return;
  state.stopping = true;
  setStatus(() => tr('EngineConsole', '中止しています…'));
  state.running.stop();
}
