// The engine screen of the browser edition: Kestrun's block streams on every core (Web
// Workers running the engine's C++ as WebAssembly), on the default random sequence or a
// seed's, the depth-dose curves of the ten fields of a result, compared sets with their
// value table, and the result file with its run statistics, a PNG, a CSV and the table as
// TSV to take away; the curves of the parallel beam or, as clinical depth doses are measured,
// of a point source at an SSD. Finished results stay in the browser (engine_store.js). This
// module handles input and draws; the runs, the result files, the point source's curves, the
// numbers, their uncertainties and the CSV and TSV are the C++'s. The run is engine_run.js's,
// the result list engine_list.js's, the downloads engine_export.js's; this module wires the
// screen and draws the compared sets.
import {
  drawGraph,
  drawSwatch,
  COMPONENT_STYLES,
  KERMA_COLOR,
  KERMA_LINE,
  setColor,
  useSetColors,
} from './engine_draw.js';
import { prepareCanvas } from './chart.js';
import { attachDepthProbe } from './engine_probe.js';
import { $, componentNames, graphTexts, state, tableCells, estimated, tableNote } from './engine_state.js';
import { fillPhantomChoice } from './visual_phantom.js';
import { layerHooks, showLayers } from './engine_layers.js';
import {
  MAX_WORKERS,
  buildSwitches,
  cores,
  followAccurate,
  labelSwitches,
  pressStart,
  pressStop,
  runHooks,
  startTotalWorker,
  statusLine,
  updateNames,
} from './engine_run.js';
import { listHooks, openFiles, refreshSaved, renderSaved, showLoaded } from './engine_list.js';
import { saveResult } from './engine_store.js';
import { csvText, pressCsv, pressPng, pressTsv, tsvText } from './engine_export.js';
import { ENGINE_FIELD_SIDES, SSD_RANGE_CM } from './field_sizes.js';
import { language, tr } from './i18n.js';
import { showNotice } from './notice.js';
import { guardWhile } from './busy.js';
import { projectorOn } from './help.js';

// A run under way, and a comparison of results on the graph, keep the page from going unasked.
guardWhile('engine', () => Boolean(state.running) || state.sets.length > 1);

const FIELD_SIDES = ENGINE_FIELD_SIDES;

// ---- texts -------------------------------------------------------------------------------

function applyLanguage() {
  $('e-graph').setAttribute('aria-label', graphTexts().title);
  labelSwitches();
  $('e-workers').setAttribute('title', tr('Web', '計算に使うワーカー (コア) の数'));
  $('e-seed').setAttribute(
    'title',
    tr('Web', '空欄: 既定の乱数列 (同じ条件なら同じ結果)。1 から 2147483647 の数: その種の独立な乱数列'),
  );
  $('e-point-label').setAttribute(
    'title',
    tr(
      'Web',
      '点線源の曲線: 平行ビームの曲線に逆二乗と深さによる照射野の広がりを当てた近似 (臨床の深部量百分率の測り方)。TPR20,10 は平行ビームのまま。',
    ),
  );
  $('e-status').textContent = statusLine();
  fillEnginePhantoms();
  showLayers(true);
  showLoaded();
  renderSaved();
  renderTable();
  updateNames();
  redraw();
  relabelSets();
}

// The legend of a set says in the page's language which physics a result went without, the
// seed of a run made on one and the slab phantom it ran in (its run statistics tell, else its
// name), and the SSD of a point source's curves, as Dosavia's legend does.
function legendOf(set) {
  return state.total.call('resultLegend', {
    id: set.id,
    field: set.field,
    english: language() === 'en',
    ssd: set.ssd > 0 ? set.ssd : 0,
  });
}

// A phantom set's values at its interfaces in one line, read against the water result of its
// beam where one is open ('' for a water set). The values are the parallel beam's.
async function interfacesOf(set) {
  if (!(set.bands?.length > 0)) return '';
  const water = await state.total.call('waterFor', { file: set.name, listed: [...state.opened.keys()] });
  const waterId = state.opened.get(water)?.id ?? -1;
  return state.total.call('interfaces', { id: set.id, field: set.field, waterId });
}

// A result's curves in the screen's geometry, made once per result and geometry.
const curveCache = new Map();
async function curvesOf(id) {
  const key = `${id}@${state.ssd}`;
  if (!curveCache.has(key)) curveCache.set(key, await state.total.call('curves', { id, ssd: state.ssd }));
  return curveCache.get(key);
}

// Measures the drawn sets again: in the page's language (the cells are worded in it) and in
// the screen's geometry (their curves and rows too).
async function relabelSets() {
  if (!state.total) return;
  const sets = [...state.sets];
  const ssd = state.ssd;
  await state.total.call('language', { lang: language() });
  const rows = await Promise.all(sets.map((set) => state.total.call('row', { id: set.id, field: set.field, ssd })));
  const curves = await Promise.all(sets.map((set) => curvesOf(set.id)));
  const kerma = state.kerma ? await curvesOf(state.kerma.id) : null;
  if (ssd !== state.ssd) return; // switched again meanwhile: that switch measures them
  sets.forEach((set, i) => {
    Object.assign(set, { row: rows[i], curves: curves[i], ssd });
  });
  if (kerma) state.kerma.curves = kerma;
  const legends = await Promise.all(sets.map(legendOf));
  const interfaces = await Promise.all(sets.map(interfacesOf));
  sets.forEach((set, i) => {
    set.legend = legends[i];
    set.interfaces = interfaces[i];
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
  showNotice(
    tr('Web', 'SSD「%1」は使えません。%2 から %3 cm の距離を入れて下さい。', typed, SSD_RANGE_CM[0], SSD_RANGE_CM[1]),
  );
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

// ---- drawing -------------------------------------------------------------------------------

// Where the graph last drew its depth axis, and the probe that reads it.
let depthAxis = null;
let hideProbe = null;
function watchDepthProbe() {
  if (hideProbe) return;
  hideProbe = attachDepthProbe($('e-graph'), $('e-probe'), {
    axis: () => depthAxis,
    sets: () => state.sets,
    ask: ({ sets, depth }) =>
      state.total
        ? state.total.call('probe', { sets, depth, english: language() === 'en', ssd: state.ssd })
        : Promise.resolve(null),
  });
}

function redraw() {
  if ($('engine').hidden) return;
  watchDepthProbe();
  // A reading of curves no longer drawn is taken away.
  hideProbe();
  const prepared = prepareCanvas($('e-graph'));
  if (!prepared) return;
  // Tick numbers are 0.9 of this: never under 14 px; in the projector mode a quarter larger,
  // as the page's text is, to be read from the back of the room.
  const px = Math.max(15.6, Math.min(20, prepared.width / 50)) * (projectorOn() ? 1.25 : 1);
  depthAxis = drawGraph(
    prepared.ctx,
    { x: 0, y: 0, w: prepared.width, h: prepared.height },
    state.sets,
    state.kerma,
    graphTexts(),
    px,
  );
  // The layers shaded behind the curves, for the tests and assistive technology.
  const bands = state.sets.find((set) => set.bands?.length > 0)?.bands ?? [];
  $('e-graph').dataset.bands = bands.map((b) => b.material).join(',');
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

function renderTable() {
  const body = $('e-table').querySelector('tbody');
  body.replaceChildren();
  state.sets.forEach((set, index) => {
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
        // A number with its ± stays on one line; only words ("no build-up") may wrap.
        if (/^[\d.]/.test(text)) td.className = 'number';
      }
      tr_.append(td);
    });
    // One set taken off the comparison; the others keep their colours (undo brings it back).
    const remove = document.createElement('button');
    remove.type = 'button';
    remove.className = 'remove-set'; // its ✕ drawn by the style sheet: the cell's text stays the name
    remove.title = tr('EngineScreen', 'この組を消す');
    remove.setAttribute('aria-label', `${tr('EngineScreen', 'この組を消す')} ${set.legend}`);
    remove.addEventListener('click', () => compare('remove', index));
    tr_.firstChild.prepend(remove);
    body.append(tr_);
  });
  const none = state.sets.length === 0;
  $('e-png').disabled = !state.comparison?.canSave;
  $('e-csv').disabled = !state.comparison?.canSave;
  $('e-tsv').disabled = none;
  $('e-undo').hidden = !state.comparison?.canUndo;
  $('e-draw').disabled = !state.loaded;
  $('e-kerma').disabled = !state.loaded;
  $('e-table-note').textContent = tableNote();
  $('e-table-note').hidden = !state.sets.some(estimated);
}

// The comparison is the C++ result library's (models/result_library.h), as on the desktop:
// which file and field each set is, its colours, the file loaded, whether its kerma is drawn,
// what a removal took and whether there is anything to save. This module fetches each set's
// curves, row and legend and draws them.
async function compare(action, arg = null, draw = true) {
  const view = await state.total.call('compare', { action, arg });
  if (!draw) {
    state.comparison = view;
    return view;
  }
  const ssd = state.ssd;
  const sets = [];
  for (const { file, field, family } of view.sets) {
    const opened = state.opened.get(file);
    if (!opened) continue;
    const shown = state.sets.find((s) => s.id === opened.id && s.field === field && s.ssd === ssd);
    if (shown) {
      sets.push(Object.assign(shown, { family }));
      continue;
    }
    const set = { id: opened.id, name: file, field, family, scale: opened.scale, ssd };
    set.energy = await state.total.call('energyOf', { file });
    set.row = await state.total.call('row', { id: opened.id, field, ssd });
    set.curves = await curvesOf(opened.id);
    set.legend = await legendOf(set);
    set.bands = await state.total.call('resultPhantom', { id: opened.id });
    set.interfaces = await interfacesOf(set);
    sets.push(set);
  }
  const kerma = view.kerma ? state.opened.get(view.loaded) : null;
  const kermaCurves = kerma ? await curvesOf(kerma.id) : null;
  if (ssd !== state.ssd) return view; // the geometry was switched meanwhile: that switch draws
  state.sets = sets;
  state.kerma = kerma ? { ...kerma, name: view.loaded, curves: kermaCurves } : null;
  state.comparison = view;
  const wasLoaded = state.loaded?.name ?? '';
  if (!view.loaded) state.loaded = null;
  showLoaded();
  // The list again only where it changed (which result is marked loaded, which are kept), so
  // that a click on it is not lost to a list drawn anew.
  if (action === 'list' || view.loaded !== wasLoaded) renderSaved();
  renderTable();
  redraw();
  return view;
}
listHooks.compare = compare;

// 描 画: the loaded result's dose curves of the chosen field as a new set; the same file and
// field drawn again stays one set.
async function drawSet() {
  if (!state.loaded) {
    showNotice(tr('EngineScreen', '  結果ファイルを選択して下さい ').trim());
    return;
  }
  await compare('draw', state.field);
}

// The last removal undone: a set back at its place, or a removed result kept and drawn again.
async function undoRemoval() {
  const file = state.comparison?.undoFile;
  if (file && state.removed?.name === file) {
    await saveResult(file, state.removed.text, state.removed.statistics);
    state.removed = null;
  }
  await compare('undo');
  if (file) await refreshSaved();
}

async function redrawKerma() {
  await compare('kerma');
}

async function clearGraph() {
  await compare('clear');
}

// ---- the phantom ---------------------------------------------------------------------------

// The presets in the page's language, the phantom in force chosen.
function fillEnginePhantoms(presets = undefined) {
  const select = $('e-phantom');
  fillPhantomChoice(select, presets, state.phantom.link);
  select.value = state.phantom.link;
}

// A phantom by a preset's key or a link's layers: the core reads it (or says why not, the
// one before kept); the result's name then carries its mark, and it runs the accurate
// transport, its box resting ticked.
async function choosePhantom(value) {
  await state.total.call('language', { lang: language() });
  const answer = await state.total.call('phantom', { value });
  if (answer.error) showNotice(`${tr('VisualScreen', 'ファントム %1 を使えません', value)}\n${answer.error}`);
  else showNotice('');
  await takePhantom(answer);
  await showLayers();
}

// The core's answer for a phantom chosen or edited; on an error the phantom before stays.
async function takePhantom(answer) {
  if (!answer.error) {
    if (!state.phantom.text && answer.text) state.accurateBefore = $('e-accurate').checked;
    if (state.phantom.text && !answer.text) $('e-accurate').checked = state.accurateBefore ?? false;
    state.phantom = answer;
    // The address carries the phantom in force, so that the page's link opens it again.
    const address = new URL(window.location.href);
    if (answer.link === 'water') address.searchParams.delete('phantom');
    else address.searchParams.set('phantom', answer.link);
    window.history.replaceState(null, '', address);
  }
  if (state.phantom.text) $('e-accurate').checked = true;
  $('e-accurate').disabled = Boolean(state.running) || Boolean(state.phantom.text);
  fillEnginePhantoms();
  $('e-phantom')
    .closest('.row')
    ?.setAttribute('data-bands', state.phantom.bands.map((b) => b.material).join(','));
  await followAccurate();
}
layerHooks.take = takePhantom;

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
$('e-accurate').addEventListener('change', followAccurate);
$('e-phantom').addEventListener('change', () => choosePhantom($('e-phantom').value));
$('e-draw').addEventListener('click', drawSet);
$('e-kerma').addEventListener('click', redrawKerma);
$('e-clear').addEventListener('click', clearGraph);
$('e-undo').addEventListener('click', undoRemoval);
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
  // The boxes as the link or, where it sets none, the core's opening table has them.
  if (values.energy !== undefined) $('e-energy').value = values.energy;
  if (values.photons !== undefined) $('e-photons').value = String(values.photons);
  if (given.includes('seed')) $('e-seed').value = values.seed;
  state.field = FIELD_SIDES.indexOf(values.field) + 1 || state.field;
  buildFieldChoices();
  if (given.includes('ssd')) {
    state.ssd = values.ssd;
    $('e-ssd').value = String(values.ssd);
    $('e-point').checked = true;
  }
  $('e-workers').max = String(MAX_WORKERS);
  $('e-workers').value = String(cores());
  startTotalWorker();
  runHooks.finished = drawSet;
  useSetColors(await state.total.call('setColors'));
  buildSwitches(await state.total.call('switches'), values.without ?? []);
  $('e-accurate').checked = values.accurate === 1;
  fillEnginePhantoms(await state.total.call('phantomPresets'));
  // Water as the core reads it (with the rows the layer editor opens on), then the link's.
  state.phantom = await state.total.call('phantom', { value: 'water' });
  if (values.phantom && values.phantom !== state.phantom.link) await choosePhantom(values.phantom);
  await Promise.all([followAccurate(), refreshSaved()]);
  // The run and the layer editor wait for the core that reads them.
  $('e-start').disabled = false;
  $('e-edit-layers').disabled = false;
  // The test page and a teacher's slide learn from this that the screen can be used.
  document.body.dataset.engineReady = '1';
  if (values.run === 1) pressStart();
}

export const engineScreen = {
  id: 'engine',
  title: () => tr('EngineScreen', '線束中心軸上の深部線量分布を求めるシミュレーション'),
  start: startEngineScreen,
  applyLanguage,
  redraw,
  // For the tests: the CSV text and the picture without the download dialogue.
  csvText,
  tsvText,
};
