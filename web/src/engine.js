// The engine screen of the browser edition: Kestrun's block streams on every core (Web
// Workers running the engine's C++ as WebAssembly), on the default random sequence or a
// seed's, the depth-dose curves of the ten fields of a result, compared sets with their
// value table, and the result file with its run statistics, a PNG, a CSV and the table as
// TSV to take away; the curves of the parallel beam or, as clinical depth doses are measured,
// of a point source at an SSD. Finished results stay in the browser (engine_store.js). This
// module handles input and draws; the runs, the result files, the point source's curves, the
// numbers, their uncertainties and the CSV and TSV are the C++'s.
import { COMPONENT_STYLES, KERMA_COLOR, KERMA_LINE, drawGraph, drawSwatch, setColor } from './engine_draw.js';
import { EngineWorker } from './engine_client.mjs';
import { runBlocks } from './engine_pool.mjs';
import { listResults, removeResult, resultsOutliveThePage, saveResult } from './engine_store.js';
import { prepareCanvas } from './draw.js';
import { ENGINE_FIELD_SIDES, SSD_RANGE_CM } from './field_sizes.js';
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
  loaded: null, // { id, name, scale } of the result last read
  kerma: null, // { id, name, scale, curves } of the result whose kerma is drawn
  sets: [], // [{ id, name, field, energy, family, curves, scale, row }]
  nextFamily: 0,
  field: 8,
  saved: [],
  names: null,
  switches: [], // the parts of the physics a run may switch off, as the core names them
  // The geometry of every drawn curve: 0 the engine's parallel beam, else the SSD [cm] of a
  // point source. One for all sets, so that the graph, table and downloads name one.
  ssd: 0,
};

let total = null; // the worker that adds the blocks and keeps the opened results
let blockWorkers = [];

function cores() {
  return Math.max(1, Math.min(MAX_WORKERS, navigator.hardwareConcurrency || 1));
}

// ---- texts -------------------------------------------------------------------------------

// The curves are drawn on the scale of each result's fitted surface kerma (not of its kerma
// maximum, a single noisy bin), so that runs of one beam line up whatever their photon
// counts; the axis says so. The CSV keeps the result file's own scale, and says that.
function graphTexts() {
  return {
    title: tr('Web', '線束中心軸上の深部線量プロファイル'),
    geometry: geometryText(),
    depth: tr('Figures', '水中の深さ (cm)'),
    dose: tr('Figures', '相対線量 (%)'),
    doseScale: tr('Web', '100 % = 表面の一次線カーマ（当てはめ）'),
    empty: tr('Figures', '深部線量データがありません'),
  };
}

// The geometry the curves are shown in, worded as Dosavia's --plot titles its picture.
function geometryText() {
  return state.ssd > 0 ? tr('Figures', '点線源 SSD %1 cm（近似）', state.ssd) : tr('Figures', '平行ビーム');
}

function componentNames() {
  return [tr('Figures', '水吸収線量'), tr('Figures', '一次線線量'), tr('Figures', '散乱線線量')];
}

function applyLanguage() {
  $('e-graph').setAttribute('aria-label', graphTexts().title);
  labelSwitches();
  $('e-workers').setAttribute('title', tr('Web', '計算に使うワーカー (コア) の数'));
  $('e-seed').setAttribute('title', tr('Web', '空欄: 既定の乱数列 (同じ条件なら同じ結果)。1 から 2147483647 の数: その種の独立な乱数列'));
  $('e-point-label').setAttribute('title', tr('Web', '点線源の曲線: 平行ビームの曲線に逆二乗と深さによる照射野の広がりを当てた近似 (臨床の深部量百分率の測り方)。TPR20,10 は平行ビームのまま。'));
  $('e-status').textContent = statusText();
  showLoaded();
  renderSaved();
  renderTable();
  updateNames();
  redraw();
  relabelSets();
}

// The legend of a set says in the page's language which physics a result went without, the
// seed of a run made on one (its run statistics tell), and the SSD of a point source's
// curves, as Dosavia's legend does.
async function legendOf(set) {
  const legend = await total.call('legend', { energy: set.energy, field: set.field, file: set.name, english: language() === 'en' });
  const seeded = set.row.seed > 0 ? `${legend}, ${tr('Web', '乱数の種 %1', set.row.seed)}` : legend;
  return set.ssd > 0 ? `${seeded}, SSD ${set.ssd} cm` : seeded;
}

// A result's curves in the screen's geometry, made once per result and geometry.
const curveCache = new Map();
async function curvesOf(id) {
  const key = `${id}@${state.ssd}`;
  if (!curveCache.has(key)) curveCache.set(key, await total.call('curves', { id, ssd: state.ssd }));
  return curveCache.get(key);
}

// Measures the drawn sets again: in the page's language (the cells are worded in it) and in
// the screen's geometry (their curves and rows too).
async function relabelSets() {
  if (!total) return;
  const sets = [...state.sets];
  const ssd = state.ssd;
  await total.call('language', { lang: language() });
  const rows = await Promise.all(sets.map((set) => total.call('row', { id: set.id, field: set.field, ssd })));
  const curves = await Promise.all(sets.map((set) => curvesOf(set.id)));
  const kerma = state.kerma ? await curvesOf(state.kerma.id) : null;
  if (ssd !== state.ssd) return; // switched again meanwhile: that switch measures them
  sets.forEach((set, i) => {
    Object.assign(set, { row: rows[i], curves: curves[i], ssd });
  });
  if (kerma) state.kerma.curves = kerma;
  const legends = await Promise.all(sets.map(legendOf));
  sets.forEach((set, i) => {
    set.legend = legends[i];
  });
  renderTable();
  redraw();
}

// The geometry the radio buttons and the SSD box ask for; a distance outside the range is
// said and the curves stay as they are.
function readGeometry() {
  if (!$('e-point').checked) return 0;
  const typed = $('e-ssd').value.normalize('NFKC').trim();
  const ssd = /^\d+(\.\d+)?$/.test(typed) ? Number(typed) : NaN;
  if (ssd >= SSD_RANGE_CM[0] && ssd <= SSD_RANGE_CM[1]) return ssd;
  showNotice(tr('Web', 'SSD「%1」は使えません。%2 から %3 cm の距離を入れて下さい。', typed, SSD_RANGE_CM[0], SSD_RANGE_CM[1]));
  return null;
}

async function changeGeometry() {
  const ssd = readGeometry();
  if (ssd === null) {
    $('e-ssd').focus();
    return;
  }
  showNotice('');
  if (ssd === state.ssd) return;
  state.ssd = ssd;
  await relabelSets();
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
  drawGraph(prepared.ctx, { x: 0, y: 0, w: prepared.width, h: prepared.height }, state.sets, state.kerma, graphTexts(), px);
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

// Whether a set's uncertainties are estimated from its curve alone (no run statistics): its
// cells then carry "*", which the note under the table explains.
function estimated(set) {
  return !set.row.measured && Object.values(set.row.cells).some((cell) => cell.endsWith('*'));
}

function tableNote() {
  if (state.ssd > 0) return tr('Web', '* 推定: 点線源の曲線の不確かさは、その曲線だけから見積もった値です (実行統計は平行ビームのもの)。');
  return tr('Web', '* 推定: 実行統計 (.stat) のない結果の不確かさは、その曲線だけから見積もった値です。');
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
  $('e-tsv').disabled = none;
  $('e-table-note').textContent = tableNote();
  $('e-table-note').hidden = !state.sets.some(estimated);
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
  for (const id of ['e-energy', 'e-photons', 'e-workers', 'e-seed']) $(id).disabled = running;
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
  if (state.running) return;
  const energy = $('e-energy').value;
  const count = $('e-photons').value.normalize('NFKC');
  // The seed of this run: the box empty, the default sequence (the same file as ever).
  const seed = $('e-seed').value.normalize('NFKC').trim() || '0';
  const workers = workerCount();
  const without = switchedOff();
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
    const checked = await control.until(Promise.all([total.call('names', { energy, count, without }), total.call('seedOk', { seed })]));
    if (checked === STOPPED) return stoppedRun();
    const [names, seedOk] = checked;
    if (!(names.photons >= 1))
      return refuse(tr('Web', '入射光子数「%1」は数として読めません。100000、100,000、1e5 のように 1 以上の数を入れて下さい。', $('e-photons').value.trim()), 'e-photons');
    if (!seedOk) return refuse(seedProblem($('e-seed').value.trim()), 'e-seed');
    ensureBlockWorkers(workers);
    if ((await control.until(Promise.all([total, ...blockWorkers].map((w) => w.call('language', { lang: language() }))))) === STOPPED) return stoppedRun();
    const prepared = await control.until(Promise.all([total, ...blockWorkers].map((w) => w.call('prepareScreenRun', { energy, count, without, seed }))));
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
    await saveResult(info.resultFile, result.text, result.statistics);
    setStatus(() => `${tr('EngineConsole', '計算終了：%1', info.resultFile)} (${seconds.toFixed(1)} s)`);
    await refreshSaved();
    await readResult(info.resultFile, result.text, result.statistics);
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

function seedProblem(typed) {
  return tr('Web', '乱数の種「%1」は使えません。0 から 2147483647 までの整数を入れるか、空欄にして下さい。', typed);
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

// The statistics file's name of each kept result (the core's rule: 10MV-1M.stat).
const statisticsNames = new Map();

async function refreshSaved() {
  state.saved = await listResults();
  for (const record of state.saved)
    if (!statisticsNames.has(record.name)) statisticsNames.set(record.name, await total.call('statisticsName', { file: record.name }));
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
    read.addEventListener('click', () => readResult(record.name, record.text, record.statistics));
    const download = document.createElement('button');
    download.type = 'button';
    download.textContent = '⤓';
    download.title = tr('Web', 'ダウンロード');
    download.setAttribute('aria-label', `${tr('Web', 'ダウンロード')} ${record.name}`);
    download.addEventListener('click', () => saveBlob(new Blob([record.text], { type: 'text/plain' }), record.name));
    // The run statistics go with the result, so that Dosavia measures its uncertainties
    // wherever the two files are put side by side.
    const statistics = document.createElement('button');
    statistics.type = 'button';
    statistics.className = 'stat-download';
    statistics.textContent = '⤓.stat';
    statistics.title = tr('Web', '実行統計 (.stat) をダウンロード');
    statistics.hidden = !record.statistics;
    if (record.statistics) {
      const name = statisticsNames.get(record.name) ?? `${record.name}.stat`;
      statistics.setAttribute('aria-label', `${tr('Web', 'ダウンロード')} ${name}`);
      statistics.addEventListener('click', () => saveBlob(new Blob([record.statistics], { type: 'text/plain' }), name));
    }
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
    li.append(read, download, statistics, remove);
    list.append(li);
  }
  if (state.saved.length === 0) {
    const li = document.createElement('li');
    li.className = 'note';
    li.textContent = tr('Web', '保存された結果はまだありません');
    list.append(li);
  }
}

// Reads a result file's text (or its bytes) into the total worker (the desktop's 読み込み),
// with its run statistics (a .stat file's text) when there are any; the sets drawn from it
// keep its curves. Returns { opened, attached }: attached is false for statistics that are
// not that very result's (its uncertainties then stay estimated).
async function readResult(name, text, statistics) {
  await total.call('language', { lang: language() });
  const opened = await total.call('open', { text, name });
  if (opened.error) {
    showNotice(`${tr('Form4', '%1 は計算結果ファイルとして読み込めません', name)}\n${opened.error}`);
    return { opened: false, attached: false };
  }
  const attached = statistics ? await total.call('attach', { id: opened.id, text: statistics }) : false;
  state.loaded = {
    id: opened.id,
    name,
    scale: await total.call('scale', { id: opened.id }),
  };
  showNotice('');
  showLoaded();
  renderSaved();
  $('e-draw').disabled = false;
  $('e-kerma').disabled = false;
  return { opened: true, attached };
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
  const ssd = state.ssd;
  const row = await total.call('row', { id: loaded.id, field, ssd });
  const curves = await curvesOf(loaded.id);
  if (ssd !== state.ssd) return; // the geometry was switched meanwhile
  const set = { id: loaded.id, name: loaded.name, field, energy, family: state.nextFamily++, curves, scale: loaded.scale, row, ssd };
  set.legend = await legendOf(set);
  state.sets.push(set);
  renderTable();
  redraw();
}

async function redrawKerma() {
  if (!state.loaded) return;
  state.kerma = { ...state.loaded, curves: await curvesOf(state.loaded.id) };
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

// The result files chosen by the user, read as the desktop reads one: refused unread when it
// is larger than any reader takes (it would be kept and loaded again on every visit), and
// its bytes given to the C++ reader as they are, so that a byte-order mark or UTF-16 is
// refused there as on the desktop instead of being decoded away. A result's run statistics
// may come with it, chosen together: the .stat file of its name (10MV-1M.stat beside
// 10MV-1M.data) is kept with it when it is that very run's, and said when it is not.
async function openFiles(files) {
  await total.call('language', { lang: language() });
  const tooLarge = async (file) => {
    const problem = await total.call('sizeProblem', { name: file.name, bytes: file.size });
    if (problem) showNotice(`${tr('Form4', '%1 は計算結果ファイルとして読み込めません', file.name)}\n${problem}`);
    return Boolean(problem);
  };
  const isStatistics = (file) => /\.stat$/i.test(file.name);
  const statistics = new Map(files.filter(isStatistics).map((file) => [file.name, file]));
  const problems = [];
  for (const file of files.filter((f) => !isStatistics(f))) {
    const statName = await total.call('statisticsName', { file: file.name });
    const statFile = statistics.get(statName);
    statistics.delete(statName);
    if (await tooLarge(file)) continue;
    const statText = statFile && !(await tooLarge(statFile)) ? await statFile.text() : undefined;
    const bytes = new Uint8Array(await file.arrayBuffer());
    const read = await readResult(file.name, bytes, statText);
    if (!read.opened) continue;
    if (statText !== undefined && !read.attached)
      problems.push(tr('Web', '%1 は %2 の実行統計ではありません (別の計算のものか、壊れています)。不確かさは推定のままです。', statFile.name, file.name));
    await saveResult(file.name, new TextDecoder().decode(bytes), read.attached ? statText : undefined);
    await refreshSaved();
  }
  // Statistics without their result cannot be read alone.
  for (const name of statistics.keys()) problems.push(tr('Web', '%1 だけでは読めません。結果ファイルと一緒に選んで下さい。', name));
  if (problems.length > 0) showNotice(problems.join(' '));
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
  const note = state.sets.some(estimated);
  const tableH = rowH * (state.sets.length + (note ? 2 : 1)) + 1.8 * px;
  const graphH = Math.max(height * 0.4, height - tableH - 0.5 * px);
  drawGraph(ctx, { x: 0, y: 0, w: width, h: graphH }, state.sets, state.kerma, graphTexts(), px);
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
  if (note) {
    y += rowH;
    ctx.fillText(tableNote(), px * 0.6, y, width - 1.2 * px);
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
    // Curves of a point source say so, with the scale they keep (the parallel beam's).
    relative: state.ssd > 0
      ? tr('Figures', '（点線源 SSD %1 cm への近似換算、表面で平行ビームの 0～5 cm の一次線水カーマ最大値 = 1）', state.ssd)
      : tr('Figures', '（0～5 cm の一次線水カーマ最大値 = 1）'),
  };
  const sets = state.sets.map((s) => ({ id: s.id, field: s.field, energy: s.energy, file: s.name }));
  const text = await total.call('csv', { sets, kermaId: state.kerma ? state.kerma.id : -1, kermaFile: state.kerma ? state.kerma.name : '', names, ssd: state.ssd });
  // The C++ text starts with the byte-order mark; the UTF-8 decoding that brings it into
  // JavaScript drops a leading one, so it is put back for the file.
  return text.startsWith('\uFEFF') ? text : `\uFEFF${text}`;
}

async function pressCsv() {
  saveBlob(new Blob([await csvText()], { type: 'text/csv' }), 'depth_dose.csv');
}

// The value table as tab-separated text, one row per drawn set, with machine names in its
// header (the same as Dosavia --plot R --table FILE.tsv).
function tsvText() {
  const sets = state.sets.map((s) => ({ id: s.id, field: s.field, energy: s.energy, file: s.name, ssd: s.ssd }));
  return total.call('tsv', { sets });
}

// Named after the result when every set is drawn from one, else after the graph.
function tsvName() {
  const names = [...new Set(state.sets.map((s) => s.name))];
  return names.length === 1 ? `${names[0].replace(/\.data$/i, '')}.tsv` : 'depth_dose.tsv';
}

async function pressTsv() {
  if (state.sets.length === 0) return;
  saveBlob(new Blob([await tsvText()], { type: 'text/tab-separated-values' }), tsvName());
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
for (const id of ['e-parallel', 'e-point']) $(id).addEventListener('change', changeGeometry);
// A distance typed is the point source's.
$('e-ssd').addEventListener('change', () => {
  $('e-point').checked = true;
  changeGeometry();
});
$('e-png').addEventListener('click', pressPng);
$('e-csv').addEventListener('click', pressCsv);
$('e-tsv').addEventListener('click', pressTsv);
$('e-open-file').addEventListener('click', () => $('e-file').click());
$('e-file').addEventListener('change', () => openFiles([...$('e-file').files]));
document.addEventListener('keydown', (event) => {
  if (!$('engine').hidden && event.key === 'Escape') pressStop();
});

async function startEngineScreen(values, given = []) {
  $('e-energy').value = ['4', '6', '10', '15'].includes(values.energy) ? values.energy : '10';
  if (given.includes('photons')) $('e-photons').value = String(values.photons);
  if (given.includes('seed')) $('e-seed').value = values.seed;
  state.field = FIELD_SIDES.indexOf(values.field) + 1 || 8;
  if (!given.includes('field')) state.field = 8;
  buildFieldChoices();
  if (given.includes('ssd')) {
    state.ssd = values.ssd;
    $('e-ssd').value = String(values.ssd);
    $('e-point').checked = true;
  }
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
  tsvText,
};
