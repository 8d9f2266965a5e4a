// The engine screen of the browser edition: Kestrun's block streams on every core (Web
// Workers running the engine's C++ as WebAssembly), the depth-dose curves of the ten fields
// of a result, compared sets with their value table, and the result file, a PNG and a CSV to
// take away. Finished results stay in the browser (engine_store.js). This module handles
// input and draws; the runs, the result files, the numbers and the CSV are the C++'s.
import { COMPONENT_STYLES, KERMA_COLOR, KERMA_LINE, drawGraph, drawSwatch, setColor } from './engine_draw.js';
import { EngineWorker } from './engine_client.mjs';
import { runBlocks } from './engine_pool.mjs';
import { listResults, removeResult, resultsOutliveThePage, saveResult } from './engine_store.js';
import { prepareCanvas } from './draw.js';
import { ENGINE_FIELD_SIDES } from './field_sizes.js';
import { language, tr } from './i18n.js';
import { showNotice } from './notice.js';
import { buildSwitchBoxes, labelSwitchBoxes } from './switch_boxes.js';
import { startWorker } from './workers.js';

const $ = (id) => document.getElementById(id);
const FIELD_SIDES = ENGINE_FIELD_SIDES;
const MAX_WORKERS = 64;

const state = {
  running: null, // the pool of the run in progress
  stopping: false,
  loaded: null, // { id, name, curves } of the result last read
  kerma: null, // the loaded result whose kerma is drawn
  sets: [], // [{ id, name, field, energy, family, curves, row }]
  nextFamily: 0,
  field: 8,
  saved: [],
  names: null,
  switches: [], // the parts of the physics a run may switch off, as the core names them
};

let total = null; // the worker that adds the blocks and keeps the opened results
let blockWorkers = [];

function cores() {
  return Math.max(1, Math.min(MAX_WORKERS, navigator.hardwareConcurrency || 1));
}

// ---- texts -------------------------------------------------------------------------------

function graphTexts() {
  return {
    title: tr('Form4', '線束中心軸上の深部線量プロファイル（一次線による水カーマの最大値で正規化）'),
    depth: tr('Figures', '水中の深さ (cm)'),
    dose: tr('Figures', '相対線量 (%)'),
    empty: tr('Figures', '深部線量データがありません'),
  };
}

function componentNames() {
  return [tr('Figures', '水吸収線量'), tr('Figures', '一次線線量'), tr('Figures', '散乱線線量')];
}

function applyLanguage() {
  $('e-graph').setAttribute('aria-label', graphTexts().title);
  labelSwitches();
  $('e-workers').setAttribute('title', tr('Web', '計算に使うワーカー (コア) の数'));
  $('e-status').textContent = statusText();
  showLoaded();
  renderSaved();
  renderTable();
  updateNames();
  redraw();
  relabelSets();
}

// The legend of a set says in the page's language which physics a result went without.
function legendOf(set) {
  return total.call('legend', { energy: set.energy, field: set.field, file: set.name, english: language() === 'en' });
}

async function relabelSets() {
  if (!total || state.sets.length === 0) return;
  const sets = [...state.sets];
  const legends = await Promise.all(sets.map(legendOf));
  sets.forEach((set, i) => {
    set.legend = legends[i];
  });
  renderTable();
}

function showLoaded() {
  $('e-loaded-label').textContent = state.loaded
    ? tr('Form4', '読み込んだファイル：%1', state.loaded.name)
    : tr('Form4', '  結果ファイルを選択して下さい ').trim();
}

// ---- drawing -------------------------------------------------------------------------------

function redraw() {
  if ($('engine').hidden) return;
  const prepared = prepareCanvas($('e-graph'));
  if (!prepared) return;
  // Tick numbers are 0.9 of this: never under 14 px.
  const px = Math.max(15.6, Math.min(20, prepared.width / 50));
  drawGraph(prepared.ctx, { x: 0, y: 0, w: prepared.width, h: prepared.height }, state.sets, state.kerma?.curves ?? null, graphTexts(), px);
  renderKey();
}

// The line-style key under the graph: which style is which dose component.
function renderKey() {
  const key = $('e-key');
  key.replaceChildren();
  const names = componentNames();
  const item = (style, color, text) => {
    const canvas = document.createElement('canvas');
    canvas.width = 80;
    canvas.height = 20;
    canvas.className = 'swatch';
    drawSwatch(canvas.getContext('2d'), 4, 10, 72, style, color, 1.4);
    const span = document.createElement('span');
    span.append(canvas, ` ${text}`);
    key.append(span);
  };
  names.forEach((name, k) => item(COMPONENT_STYLES[k], '#333', name));
  if (state.kerma) item(KERMA_LINE, KERMA_COLOR, `${tr('Figures', '一次線水カーマ')} ${state.kerma.name}`);
}

// The value table's cells of one set, as shown and as drawn into the picture: the wording
// of Dosavia's table, which the core gives with the row.
function tableCells(set) {
  const { dmax, surface, d10, tpr } = set.row.cells;
  return [set.legend, dmax, surface, d10, tpr];
}

function renderTable() {
  const body = $('e-table').querySelector('tbody');
  body.replaceChildren();
  for (const set of state.sets) {
    const tr_ = document.createElement('tr');
    tableCells(set).forEach((text, c) => {
      const td = document.createElement('td');
      if (c === 0) {
        const swatch = document.createElement('span');
        swatch.className = 'set-swatch';
        swatch.style.background = setColor(set.family);
        td.append(swatch, text);
      } else {
        td.textContent = text;
      }
      tr_.append(td);
    });
    body.append(tr_);
  }
  const none = state.sets.length === 0;
  $('e-png').disabled = none && !state.kerma;
  $('e-csv').disabled = none && !state.kerma;
}

// ---- the workers ---------------------------------------------------------------------------

function startTotalWorker() {
  if (!total) total = new EngineWorker(startWorker('engine_worker.js'));
}

function ensureBlockWorkers(count) {
  while (blockWorkers.length > count) blockWorkers.pop().terminate();
  while (blockWorkers.length < count) blockWorkers.push(new EngineWorker(startWorker('engine_worker.js')));
}

function workerCount() {
  const n = Math.floor(Number($('e-workers').value));
  return Number.isFinite(n) ? Math.max(1, Math.min(MAX_WORKERS, n)) : cores();
}

// ---- the physics switches ------------------------------------------------------------------

// The --without words of the boxes ticked.
function switchedOff() {
  return [...document.querySelectorAll('#e-switches input:checked')].map((box) => box.dataset.option);
}

function labelSwitches() {
  labelSwitchBoxes($('e-switches'), state.switches);
}

// The boxes, ticked as a link asks; a word of the link that names no part is said, and the
// run starts with the parts it does name.
function buildSwitches(names, without) {
  state.switches = names;
  // The result's name carries the tag of the parts off, shown before the run.
  buildSwitchBoxes($('e-switches'), names, without, updateNames);
}

async function updateNames() {
  if (!total) return;
  const names = await total.call('names', { energy: $('e-energy').value, count: $('e-photons').value.normalize('NFKC'), without: switchedOff() });
  state.names = names;
  $('e-result-name').value = names.resultFile;
  $('e-photon-total').value = names.photonTotal;
}

// The status line, kept as how to word it, so that a language switch rewords it.
let statusText = () => '';
function setStatus(words) {
  statusText = words;
  $('e-status').textContent = words();
}

function setRunning(running) {
  $('e-start').disabled = running;
  $('e-stop').disabled = !running;
  for (const id of ['e-energy', 'e-photons', 'e-workers']) $(id).disabled = running;
  for (const box of document.querySelectorAll('#e-switches input')) box.disabled = running;
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

async function pressStart() {
  if (state.running || state.checking) return;
  const energy = $('e-energy').value;
  const count = $('e-photons').value.normalize('NFKC');
  // A count the core cannot read is said in the screen's words, before any worker starts.
  state.checking = true;
  const names = await total.call('names', { energy, count, without: switchedOff() }).finally(() => {
    state.checking = false;
  });
  if (!(names.photons >= 1)) {
    showNotice(tr('Web', '入射光子数「%1」は数として読めません。100000、100,000、1e5 のように 1 以上の数を入れて下さい。', $('e-photons').value.trim()));
    $('e-photons').focus();
    return;
  }
  const workers = workerCount();
  const without = switchedOff();
  const control = new RunControl();
  state.running = control;
  setRunning(true);
  state.stopping = false;
  $('e-progress').value = 0;
  setStatus(() => tr('Web', '準備中…'));
  showNotice('');
  const started = performance.now();
  try {
    ensureBlockWorkers(workers);
    if ((await control.until(Promise.all([total, ...blockWorkers].map((w) => w.call('language', { lang: language() }))))) === STOPPED) return stoppedRun();
    const prepared = await control.until(Promise.all([total, ...blockWorkers].map((w) => w.call('prepareScreenRun', { energy, count, without }))));
    if (prepared === STOPPED) return stoppedRun();
    if (prepared[0].error) throw new Error(tr('Form4', 'シミュレーションを開始できません\n%1', prepared[0].error));
    const { info } = prepared[0];
    let bins = 0;
    let lastBin = 0;
    const progress = (list) => {
      if (list.length === 0 || control.stopped) return;
      bins += list.length;
      lastBin = list[list.length - 1];
      $('e-progress').value = lastBin / info.imax;
      setStatus(() => tr('Web', 'スペクトルのビン %1 / %2（ワーカー %3）', lastBin, info.imax, workers));
    };
    const begun = await control.until(total.call('begin'));
    if (begun === STOPPED) return stoppedRun();
    progress(begun);
    control.pool = runBlocks({
      blocks: info.blocks,
      workers: blockWorkers,
      runBlock: (w, b) => w.call('block', { b }),
      addNext: async (cells) => progress(await total.call('add', { cells }, [cells.buffer])),
    });
    const outcome = await control.pool.done;
    if (!outcome.complete || control.stopped) return stoppedRun();
    const result = await control.until(total.call('finish'));
    if (result === STOPPED) return stoppedRun();
    if (result.error) throw new Error(result.error);
    const seconds = (performance.now() - started) / 1000;
    await saveResult(info.resultFile, result.text);
    setStatus(() => `${tr('EngineConsole', '計算終了：%1', info.resultFile)} (${seconds.toFixed(1)} s)`);
    await refreshSaved();
    await readResult(info.resultFile, result.text);
    await drawSet();
  } catch (error) {
    if (control.stopped) return stoppedRun();
    setStatus(() => tr('Web', '計算できませんでした'));
    showNotice(error.message);
  } finally {
    state.running = null;
    setRunning(false);
  }
  return undefined;
}

function stoppedRun() {
  setStatus(() => tr('EngineConsole', '中止しました'));
  $('e-progress').value = 0;
}

function pressStop() {
  if (!state.running || state.stopping) return;
  state.stopping = true;
  setStatus(() => tr('EngineConsole', '中止しています…'));
  state.running.stop();
}

// ---- results -------------------------------------------------------------------------------

async function refreshSaved() {
  state.saved = await listResults();
  $('e-store-note').hidden = resultsOutliveThePage();
  renderSaved();
}

function renderSaved() {
  const list = $('e-saved');
  list.replaceChildren();
  for (const record of state.saved) {
    const li = document.createElement('li');
    const read = document.createElement('button');
    read.type = 'button';
    read.className = 'saved-name';
    read.textContent = record.name;
    read.title = tr('Form4', '読み込み');
    read.setAttribute('aria-pressed', String(state.loaded?.name === record.name));
    read.addEventListener('click', () => readResult(record.name, record.text));
    const download = document.createElement('button');
    download.type = 'button';
    download.textContent = '⤓';
    download.title = tr('Web', 'ダウンロード');
    download.setAttribute('aria-label', `${tr('Web', 'ダウンロード')} ${record.name}`);
    download.addEventListener('click', () => saveBlob(new Blob([record.text], { type: 'text/plain' }), record.name));
    const remove = document.createElement('button');
    remove.type = 'button';
    remove.textContent = '✕';
    remove.title = tr('Web', '削除');
    remove.setAttribute('aria-label', `${tr('Web', '削除')} ${record.name}`);
    remove.addEventListener('click', async () => {
      // A kept result is the work of minutes: removed only when the user says so.
      if (!window.confirm(tr('Web', '%1 を削除しますか？ 元に戻せません。', record.name))) return;
      await removeResult(record.name);
      await refreshSaved();
    });
    li.append(read, download, remove);
    list.append(li);
  }
  if (state.saved.length === 0) {
    const li = document.createElement('li');
    li.className = 'note';
    li.textContent = tr('Web', '保存された結果はまだありません');
    list.append(li);
  }
}

// Reads a result file's text (or its bytes) into the total worker (the desktop's 読み込み);
// the sets drawn from it keep its curves.
async function readResult(name, text) {
  await total.call('language', { lang: language() });
  const opened = await total.call('open', { text, name });
  if (opened.error) {
    showNotice(`${tr('Form4', '%1 は計算結果ファイルとして読み込めません', name)}\n${opened.error}`);
    return false;
  }
  state.loaded = { id: opened.id, name, curves: await total.call('curves', { id: opened.id }) };
  showNotice('');
  showLoaded();
  renderSaved();
  $('e-draw').disabled = false;
  $('e-kerma').disabled = false;
  return true;
}

// 描 画: the loaded result's dose curves of the chosen field as a new set.
async function drawSet() {
  const loaded = state.loaded;
  if (!loaded) {
    showNotice(tr('Form4', '  結果ファイルを選択して下さい ').trim());
    return;
  }
  const field = state.field;
  if (state.sets.some((s) => s.id === loaded.id && s.field === field)) return;
  const energy = await total.call('energyOf', { file: loaded.name });
  const row = await total.call('row', { id: loaded.id, field });
  const set = { id: loaded.id, name: loaded.name, field, energy, family: state.nextFamily++, curves: loaded.curves, row };
  set.legend = await legendOf(set);
  state.sets.push(set);
  renderTable();
  redraw();
}

function redrawKerma() {
  if (!state.loaded) return;
  state.kerma = state.loaded;
  renderTable();
  redraw();
}

function clearGraph() {
  state.sets = [];
  state.kerma = null;
  state.nextFamily = 0;
  renderTable();
  redraw();
}

// A result file chosen by the user, read as the desktop reads one: refused unread when it is
// larger than any reader takes (it would be kept and loaded again on every visit), and its
// bytes given to the C++ reader as they are, so that a byte-order mark or UTF-16 is refused
// there as on the desktop instead of being decoded away.
async function openFiles(files) {
  for (const file of files) {
    await total.call('language', { lang: language() });
    const tooLarge = await total.call('sizeProblem', { name: file.name, bytes: file.size });
    if (tooLarge) {
      showNotice(`${tr('Form4', '%1 は計算結果ファイルとして読み込めません', file.name)}\n${tooLarge}`);
      continue;
    }
    const bytes = new Uint8Array(await file.arrayBuffer());
    if (await readResult(file.name, bytes)) {
      await saveResult(file.name, new TextDecoder().decode(bytes));
      await refreshSaved();
    }
  }
}

// ---- take away -----------------------------------------------------------------------------

function saveBlob(blob, name) {
  const url = URL.createObjectURL(blob);
  const a = document.createElement('a');
  a.href = url;
  a.download = name;
  document.body.append(a);
  a.click();
  a.remove();
  setTimeout(() => URL.revokeObjectURL(url), 1000);
}

// The graph, then the key, the legend and the value table, at the chosen size.
export function renderPicture(width, height) {
  const canvas = document.createElement('canvas');
  canvas.width = width;
  canvas.height = height;
  const ctx = canvas.getContext('2d');
  ctx.fillStyle = '#fff';
  ctx.fillRect(0, 0, width, height);
  const px = Math.max(10, Math.round(width / 70));
  const rowH = 1.5 * px;
  const tableH = rowH * (state.sets.length + 1) + 1.8 * px;
  const graphH = Math.max(height * 0.4, height - tableH - 0.5 * px);
  drawGraph(ctx, { x: 0, y: 0, w: width, h: graphH }, state.sets, state.kerma?.curves ?? null, graphTexts(), px);
  let y = graphH + 0.9 * px;
  ctx.font = `${px * 0.9}px system-ui, "Noto Sans CJK JP", "IPAGothic", sans-serif`;
  ctx.textBaseline = 'middle';
  ctx.fillStyle = '#000';
  let x = px;
  componentNames().forEach((name, k) => {
    drawSwatch(ctx, x, y, 3 * px, COMPONENT_STYLES[k], '#333', px / 14);
    ctx.fillText(name, x + 3.4 * px, y);
    x += 3.8 * px + ctx.measureText(name).width + px;
  });
  if (state.kerma) {
    drawSwatch(ctx, x, y, 3 * px, KERMA_LINE, KERMA_COLOR, px / 14);
    ctx.fillText(`${tr('Figures', '一次線水カーマ')} ${state.kerma.name}`, x + 3.4 * px, y);
  }
  y += rowH;
  const headers = [tr('CurveSetLegend', 'エネルギー, 照射野, ファイル'), 'd_max [cm]', tr('CurveSetLegend', '表面 0–1 mm [%]'), 'D10/Dmax [%]', 'TPR20,10'];
  const columns = [px * 2.2, width * 0.5, width * 0.66, width * 0.78, width * 0.9];
  ctx.font = `bold ${px * 0.9}px system-ui, "Noto Sans CJK JP", "IPAGothic", sans-serif`;
  headers.forEach((h, c) => ctx.fillText(h, columns[c], y));
  ctx.font = `${px * 0.9}px system-ui, "Noto Sans CJK JP", "IPAGothic", sans-serif`;
  for (const set of state.sets) {
    y += rowH;
    ctx.fillStyle = setColor(set.family);
    ctx.fillRect(px * 0.6, y - 0.4 * px, px * 1.2, 0.8 * px);
    ctx.fillStyle = '#000';
    tableCells(set).forEach((text, c) => ctx.fillText(text, columns[c], y, (columns[c + 1] ?? width) - columns[c] - 0.5 * px));
  }
  return canvas;
}

function pressPng() {
  const w = Math.max(320, Math.min(4000, Math.floor(Number($('e-png-w').value)) || 1600));
  const h = Math.max(240, Math.min(4000, Math.floor(Number($('e-png-h').value)) || 1200));
  renderPicture(w, h).toBlob((blob) => saveBlob(blob, 'depth_dose.png'), 'image/png');
}

async function csvText() {
  const names = {
    depth: tr('Figures', '深さ [cm]'),
    kerma: tr('Figures', '一次線水カーマ'),
    dose: componentNames(),
    relative: tr('Figures', '（0～5 cm の一次線水カーマ最大値 = 1）'),
  };
  const sets = state.sets.map((s) => ({ id: s.id, field: s.field, energy: s.energy, file: s.name }));
  const text = await total.call('csv', { sets, kermaId: state.kerma ? state.kerma.id : -1, kermaFile: state.kerma ? state.kerma.name : '', names });
  // The C++ text starts with the byte-order mark; the UTF-8 decoding that brings it into
  // JavaScript drops a leading one, so it is put back for the file.
  return text.startsWith('\uFEFF') ? text : `\uFEFF${text}`;
}

async function pressCsv() {
  saveBlob(new Blob([await csvText()], { type: 'text/csv' }), 'depth_dose.csv');
}

// ---- the screen ----------------------------------------------------------------------------

function buildFieldChoices() {
  const box = $('e-fields');
  box.replaceChildren();
  FIELD_SIDES.forEach((side, i) => {
    const label = document.createElement('label');
    label.className = 'check';
    const input = document.createElement('input');
    input.type = 'radio';
    input.name = 'e-field';
    input.value = String(i + 1);
    input.checked = i + 1 === state.field;
    input.addEventListener('change', () => {
      state.field = i + 1;
    });
    label.append(input, ` ${side}×${side}`);
    box.append(label);
  });
}

$('e-start').addEventListener('click', pressStart);
$('e-stop').addEventListener('click', pressStop);
$('e-energy').addEventListener('change', updateNames);
$('e-photons').addEventListener('input', updateNames);
$('e-draw').addEventListener('click', drawSet);
$('e-kerma').addEventListener('click', redrawKerma);
$('e-clear').addEventListener('click', clearGraph);
$('e-png').addEventListener('click', pressPng);
$('e-csv').addEventListener('click', pressCsv);
$('e-open-file').addEventListener('click', () => $('e-file').click());
$('e-file').addEventListener('change', () => openFiles([...$('e-file').files]));
document.addEventListener('keydown', (event) => {
  if (!$('engine').hidden && event.key === 'Escape') pressStop();
});

async function startEngineScreen(values, given = []) {
  $('e-energy').value = ['4', '6', '10', '15'].includes(values.energy) ? values.energy : '10';
  if (given.includes('photons')) $('e-photons').value = String(values.photons);
  state.field = FIELD_SIDES.indexOf(values.field) + 1 || 8;
  if (!given.includes('field')) state.field = 8;
  buildFieldChoices();
  $('e-workers').max = String(MAX_WORKERS);
  $('e-workers').value = String(cores());
  startTotalWorker();
  buildSwitches(await total.call('switches'), values.without ?? []);
  await Promise.all([updateNames(), refreshSaved()]);
  $('e-start').disabled = false;
  // The test page and a teacher's slide learn from this that the screen can be used.
  document.body.dataset.engineReady = '1';
  if (values.run === 1) pressStart();
}

export const engineScreen = {
  id: 'engine',
  title: () => tr('Form4', '線束中心軸上の深部線量分布を求めるシミュレーション'),
  start: startEngineScreen,
  applyLanguage,
  redraw,
  // For the tests: the CSV text and the picture without the download dialogue.
  csvText,
};
