// The visual simulation screen of the browser edition. The physics runs in a worker
// (visual_worker.js, the C++ core as WebAssembly); this module only handles input, keeps the
// screen's state and draws what the worker sends.
import { BREMSSTRAHLUNG_COLOUR, DELTA_RAY_COLOUR, SideView, drawDepthDose, drawHistogram } from './draw.js';
import { addLinkNotice, showNotice } from './notice.js';
import { errorText, language, tr } from './i18n.js';
import { buildSwitchBoxes, labelSwitchBoxes } from './switch_boxes.js';
import { DepthProbe } from './visual_probe.js';
import { TrackQueue, trackKey } from './visual_tracks.js';
import { attachRuler } from './visual_ruler.js';
import {
  depthUnderlay,
  fillPhantomChoice,
  inPhantom,
  phantom,
  sideUnderlay,
  takePhantomAnswer,
} from './visual_phantom.js';
import { buildsUp, depthNote, dmaxWords } from './visual_words.js';
import { startWorker } from './workers.js';
import { guardWhile } from './busy.js';
import { WorkerClient } from './worker_client.mjs';

const $ = (id) => document.getElementById(id);

// Step display rates of the speed slider [photons a second]: the core's list, one for both
// front ends (its last, 0, is "as fast as drawn"), once the core is ready; until then only
// as fast as drawn.
let RATES = [0];
const reducedMotion = window.matchMedia('(prefers-reduced-motion: reduce)');

const state = {
  ready: false,
  running: false,
  paused: false, // the running batch held by Pause: its tracks and tally stay, Resume goes on
  starting: false, // a batch is being started (its series' seed asked for)
  oneHistory: false, // the running batch is Step one photon's, between batches
  configured: false, // the session lets Go run the boxes' settings (OK confirmed them)
  zoomed: false,
  curve: null,
  spectrum: null,
  fieldItems: [],
  monoRange: null, // the core's, once it is ready
  okWaiting: false, // OK pressed while the core was still loading
  opening: null, // the screen's opening values, the core's (one table for both front ends)
  series: -1, // the session's series whose tracks are drawn
  // A batch series runs on one seed: a fresh one each series, so that a class sees the
  // spread of its numbers, unless one was typed (or given in a link), which repeats a series
  // exactly. The session says when a series starts.
  seedTyped: false,
};

// A running batch, and a series whose tally would be lost, keep the page from going unasked.
guardWhile('visual', () => state.running || state.starting || Number($('total').value) > 0);

const side = new SideView($('side'));
side.underlay = sideUnderlay;
const tracks = new TrackQueue(side, reducedMotion);
attachRuler(side);

// ---- texts -------------------------------------------------------------------------------

function applyLanguage() {
  side.captions = [tr('VisualScreen', '2次電子(陰電子, 陽電子) の飛跡'), tr('VisualScreen', '（光子の飛跡は非表示）')];
  showTrackKey();
  $('side').setAttribute('aria-label', tr('VisualScreen', '2次電子(陰電子, 陽電子) の飛跡'));
  $('hist').setAttribute('aria-label', tr('VisualScreen', '入射光子スペクトル'));
  $('depth').setAttribute('aria-label', tr('DepthDosePanel', '深部線量'));
  $('field').setAttribute('title', tr('Web', '照射野サイズを選ぶか入力して下さい'));
  $('rate').setAttribute('aria-label', tr('VisualScreen', '個別表示の速さ (1 秒に 1 光子 〜 最高)'));
  $('seed').setAttribute(
    'title',
    tr('Web', '空欄: シリーズごとに新しい種。種を入れると同じシリーズを絵まで同じに再現'),
  );
  updateRateText();
  labelSwitches();
  if (state.ready) fillPhantomChoice($('phantom'));
  redrawAll();
  if (state.curve) summarise();
}

// ---- the physics switches ------------------------------------------------------------------

// The parts of the physics a class may switch off, as the core names them ({ option, ja, en }).
let switchNames = [];

function labelSwitches() {
  labelSwitchBoxes($('switches'), switchNames);
}

function buildSwitches(names, without) {
  switchNames = names;
  buildSwitchBoxes($('switches'), names, without, switchPhysics);
  sendPhysics();
}

// The switches as ticked, or the accurate transport with every part on (the switches are
// experiments on the exact transport and rest while it is ticked).
async function sendPhysics() {
  const accurate = $('accurate').checked;
  const off = (option) =>
    !accurate && (document.querySelector(`#switches input[data-option="${option}"]`)?.checked ?? false);
  const problem = await worker.call('physics', {
    physics: {
      electronTransport: !off('electron-transport'),
      multipleScattering: !off('multiple-scattering'),
      photonScatter: !off('photon-scatter'),
      coherent: !off('coherent'),
      pair: !off('pair'),
      accurate,
    },
  });
  if (problem) {
    $('accurate').checked = false;
    showNotice(problem);
  }
  showTrackKey();
  for (const box of document.querySelectorAll('#switches input')) box.disabled = state.running || $('accurate').checked;
}

function showTrackKey() {
  side.key = trackKey($('accurate').checked, tr);
}

// The fade of the older tracks as ticked, from the next photons on.
function sendFading() {
  if (state.ready) worker.notify('fade', { fading: $('fade').checked });
}
$('fade').addEventListener('change', sendFading);

// A slab phantom by a link's value: the session runs it (or says why not, keeping the one in
// force), and the series starts anew with its bands drawn behind the tracks and the curve.
async function choosePhantom(value) {
  if (state.running || !state.ready) return;
  const answer = await worker.call('phantom', { value, lang: language() });
  takePhantomAnswer($('phantom'), $('accurate'), answer);
  if (answer.error) {
    const why = answer.error === 'value' ? '' : `: ${answer.error}`;
    showNotice(tr('VisualScreen', 'ファントム %1 を使えません', value) + why);
  }
  showTrackKey();
  setRunning(false);
  await showCleared();
}

// A switch starts a new curve: the session clears the graph and keeps the last curve, faint,
// as the reference that "with" and "without" are compared against.
async function switchPhysics() {
  if (state.running) return;
  await sendPhysics();
  await showCleared();
}

function updateRateText() {
  const rate = RATES[Number($('rate').value)];
  $('rate-text').textContent = rate > 0 ? tr('VisualScreen', '%1 光子/秒', rate) : tr('VisualScreen', '最高');
}

// ---- drawing -----------------------------------------------------------------------------

function depthTexts() {
  const r = state.curve ? state.curve.radiusCm.toFixed(2) : (state.fieldSide / 4 || 1).toFixed(2);
  return {
    // The beam it shows, so that a projected picture says which one.
    title: [state.curve?.beam, tr('DepthDosePanel', '深部線量 (中心の半径 %1 cm の円柱)', r)]
      .filter(Boolean)
      .join('  '),
    dose: tr('DepthDosePanel', '吸収線量'),
    primary: tr('DepthDosePanel', '一次線量'),
    kerma: tr('DepthDosePanel', '一次光子の衝突カーマ'),
    reference: referenceName(),
    badge: physicsBadge(),
    probe: probe.reading(),
    underlay: phantom.bands.length > 0 ? depthUnderlay : null,
  };
}

// The depth probe: point (or use the arrow keys) at a depth, read dose and kerma there.
const probe = new DepthProbe($('depth'), $('probe-text'), () => state.curve, redrawDepth);

// ---- a text summary of the pictures, for screen readers, updated after each batch ----------

function summarise() {
  const c = state.curve;
  const parts = [tr('Web', '光子 %1 個の飛跡', $('total').value)];
  if (c && (c.tooFewPhotons || c.slabNote)) parts.push(depthNote(c));
  else if (c && c.hasMaximum && !buildsUp(c)) {
    // The maximum is the surface itself: a share of it (a noisy first bin reads 104 %) would
    // only contradict the words.
    parts.push(tr('DepthDosePanel', '表面で最大: ビルドアップなし'));
  } else if (c && c.hasMaximum) {
    parts.push(dmaxWords(c));
    parts.push(tr('Web', '表面の線量は最大の %1 %', Math.min(100, c.dose[0]).toFixed(0)));
  }
  if (c?.reference) parts.push(referenceName());
  const badge = physicsBadge();
  if (badge) parts.push(badge);
  $('visual-summary').textContent = parts.join('。 ').replace(/。 /g, language() === 'en' ? '. ' : '。');
}

// The faint curve's name: the one kept by its beam, else the one a physics switch left.
function referenceName() {
  const kept = state.curve?.keptBeam;
  return kept ? tr('Web', '残した曲線: %1', kept) : tr('Web', '切り替え前の線量 (参照)');
}

// "physics off: ..." while a part of the physics is switched off, on the tracks and the graph,
// so that no class takes a curve without electrons for the real one.
function physicsBadge() {
  const off = switchNames.filter((n) => document.querySelector(`#switches input[data-option="${n.option}"]`)?.checked);
  if (off.length === 0) return '';
  return tr('Web', '物理を切っています: %1', off.map((n) => (language() === 'en' ? n.en : n.ja)).join(', '));
}

function redrawDepth() {
  const map = side.map;
  const canvas = $('depth');
  const offset = canvas.getBoundingClientRect().left - $('side').getBoundingClientRect().left;
  const align = map
    ? { left: map.x(0) - offset, right: map.x(map.w.left + map.w.width) - offset, zmax: map.w.left + map.w.width }
    : null;
  // A curve without build-up has no d_max to mark, nor one whose fit a slab bends.
  const curve =
    state.curve && (!buildsUp(state.curve) || state.curve.slabNote) ? { ...state.curve, noDmax: true } : state.curve;
  drawDepthDose(canvas, curve, depthTexts(), align, state.curve?.reference ? { doseFit: state.curve.reference } : null);
  // The first bin's dose in per cent of the maximum (what build-up is about) and d_max as
  // marked, for the tests and for assistive technology alongside the picture.
  if (state.curve?.hasMaximum) canvas.dataset.surfacePercent = state.curve.dose[0].toFixed(1);
  else delete canvas.dataset.surfacePercent;
  if (curve?.hasMaximum && !curve.noDmax && !curve.tooFewPhotons) canvas.dataset.dmaxCm = curve.dmaxCm.toFixed(3);
  else delete canvas.dataset.dmaxCm;
  $('depth-note').textContent = depthNote(state.curve);
}

function redrawAll() {
  if ($('visual').hidden) return;
  side.badge = physicsBadge();
  side.redraw();
  drawHistogram($('hist'), state.spectrum, tr('VisualScreen', '入射光子スペクトル'));
  redrawDepth();
}

// ---- the worker --------------------------------------------------------------------------

// The worker starts with the screen, so the menu alone never loads the core. It is called
// by the page's one worker protocol (worker_client.mjs); a batch's progress comes as events.
let worker = null;

async function onWorkerReady() {
  let init;
  try {
    init = await worker.call('init');
  } catch (error) {
    init = { error: errorText(error) };
  }
  if (init.error) {
    showNotice(tr('Web', 'シミュレーションの準備ができません: %1', init.error));
    return;
  }
  state.ready = true;
  state.fieldItems = init.fieldItems;
  state.opening = init.opening;
  $('accurate').checked = linkValues?.accurate === 1;
  sendFading();
  RATES = init.opening.stepSpeeds;
  $('rate').max = String(RATES.length - 1);
  $('rate').value = $('rate').max;
  updateRateText();
  buildSwitches(init.switches, linkValues?.without ?? []);
  state.monoRange = init.monoRange;
  checkLinkMono();
  $('field-items').replaceChildren(...init.fieldItems.map((item) => new Option(item)));
  fillPhantomChoice($('phantom'), init.phantoms);
  if (linkValues?.phantom && linkValues.phantom !== 'water') await choosePhantom(linkValues.phantom);
  onReady();
}

// A batch's state, drawn: each progress event (acknowledged once drawn, so that the worker
// never runs more than two answers ahead of the page) and the final answer of its run.
function showBatch(msg, final) {
  const rate = RATES[Number($('rate').value)];
  const spreadMs = $('step').checked && rate > 0 ? 700 / rate : 0;
  tracks.queue(msg.segments, msg.absorptions, spreadMs, msg.wash, msg.highlight);
  side.addExtra(msg.deltaRays, DELTA_RAY_COLOUR);
  side.addExtra(msg.bremsstrahlung, BREMSSTRAHLUNG_COLOUR);
  $('total').value = String(msg.total);
  $('energy-now').value = msg.energyMeV > 0 ? msg.energyMeV.toFixed(3) : '';
  if (msg.spectrum) {
    state.spectrum = msg.spectrum;
    drawHistogram($('hist'), state.spectrum, tr('VisualScreen', '入射光子スペクトル'));
  }
  if (msg.depthDose) {
    state.curve = msg.depthDose;
    redrawDepth();
  }
  if (final) {
    setRunning(false);
    summarise();
  } else {
    worker.notify('ack');
  }
}

// ---- the screen's actions ------------------------------------------------------------------

function setRunning(running) {
  state.running = running;
  if (!running) setPaused(false);
  $('stop').disabled = !running;
  $('go').disabled = running || !state.configured;
  $('pause').disabled = !running;
  $('single').disabled = running ? !(state.paused || state.oneHistory) : !state.configured;
  for (const id of ['reset', 'clear', 'keep', 'energy', 'field', 'mono', 'seed']) $(id).disabled = running;
  for (const box of document.querySelectorAll('#switches input')) box.disabled = running || $('accurate').checked;
  $('accurate').disabled = running || inPhantom();
  $('phantom').disabled = running;
  $('ok').disabled = running || state.configured;
  // Step one photon keeps the focus through its batch of one, so that it is pressed again.
  if (!running) state.oneHistory = false;
  if (document.activeElement === $('single') && !$('single').disabled) return;
  if (running) $('stop').focus({ preventScroll: true });
  else if (state.configured) $('go').focus({ preventScroll: true });
}

// Pause and Resume are one button, named by what it does next.
function setPaused(paused) {
  state.paused = paused;
  $('pause').dataset.tr = paused ? 'Web|再開' : 'Web|一時停止';
  $('pause').textContent = tr('Web', paused ? '再開' : '一時停止');
  $('single').disabled = state.running ? !(paused || state.oneHistory) : !state.configured;
}

function pressPause() {
  if (!state.running) return;
  worker.notify(state.paused ? 'resume' : 'pause');
  setPaused(!state.paused);
}

// One photon history, drawn: of the paused batch, or between batches a batch of one.
function pressSingle() {
  if (state.running && state.paused) worker.notify('single');
  else if (!state.running && state.configured) runBatch(1, true);
}

function plain(text) {
  return text.normalize('NFKC');
}

// The beam the boxes show, as the session takes it.
function shownSettings() {
  const energy = $('energy').value;
  const settings = { fieldText: plain($('field').value) };
  if (energy === 'mono') settings.mono = Number(plain($('mono').value).trim());
  else settings.energy = energy;
  return settings;
}

async function pressOk() {
  if (state.running) return false;
  if (!state.ready) {
    // Done as soon as the core has loaded (under a second), not lost.
    state.okWaiting = true;
    return false;
  }
  const settings = shownSettings();
  const answer = await worker.call('setup', { ...settings, lang: language() });
  if (answer.error === 'field') {
    showNotice(
      tr(
        'VisualScreen',
        ' 照射野サイズ「%1」は選べません。\n 1×1, 2×2, 3×3, 4×4, 5×5, 6×6, 8×8, 10×10 から選んで下さい ',
        $('field').value,
      ).trim(),
    );
    $('field').focus();
    return false;
  }
  if (answer.error === 'mono') {
    showNotice(
      tr(
        'Web',
        '単色ビームのエネルギーは %1 〜 %2 MeV で入力して下さい',
        state.monoRange.lowest,
        state.monoRange.highest,
      ),
    );
    $('mono').focus();
    return false;
  }
  if (answer.error) {
    showNotice(
      `${tr('VisualScreen', 'スペクトルファイル %1 を読み込めません。', `${settings.energy}MV.csv`)} ${answer.error}`,
    );
    return false;
  }
  showNotice('');
  state.fieldSide = answer.side;
  side.field = answer.side;
  $('field').value = state.fieldItems.find((item) => Number(item.split('×')[0]) === answer.side) ?? $('field').value;
  state.configured = true;
  // Another beam is a new series: its curve, histogram, total and tracks start again.
  if (answer.series !== state.series) clearDrawing(answer.series);
  setRunning(false);
  redrawAll();
  return true;
}

async function pressGo() {
  if (state.running || !state.configured) return;
  const typed = $('photons').value;
  const step = $('step').checked;
  const rate = RATES[Number($('rate').value)];
  const plan = await worker.call('plan', { text: plain(typed), step, rate });
  if (!(plan.photons >= 1)) {
    showNotice(
      tr(
        'Web',
        '入射光子数「%1」は数として読めません。100000、100,000、1e5 のように 1 以上の数を入れて下さい。',
        typed.trim(),
      ),
    );
    $('photons').focus();
    return;
  }
  if (plan.ask) {
    const minutes = plan.hours ? 60 * plan.amount : plan.amount;
    if (
      !window.confirm(
        tr(
          'Web',
          '%1 個の光子には約 %2 分かかります。始めますか？ (Stop か Esc でいつでも止められます)',
          plan.photons,
          minutes,
        ),
      )
    ) {
      $('photons').focus();
      return;
    }
  }
  await runBatch(plan.photons);
}

// A batch of `photons`; `oneHistory`: Step one photon's, between batches.
async function runBatch(photons, oneHistory = false) {
  if (state.running || state.starting) return;
  state.starting = true;
  try {
    if (!(await beginBatch())) return;
  } finally {
    state.starting = false;
  }
  showNotice('');
  state.oneHistory = oneHistory;
  setRunning(true);
  const step = $('step').checked;
  try {
    showBatch(await worker.call('run', { photons, step, rate: RATES[Number($('rate').value)] }), true);
  } catch (error) {
    setRunning(false);
    showNotice(tr('Web', 'シミュレーションの準備ができません: %1', errorText(error)));
  }
}

// Go: the session begins the batch, and a series on the typed seed or a fresh one (shown in
// the box, greyed) when none runs.
async function beginBatch() {
  const typed = state.seedTyped ? plain($('seed').value).trim() : '';
  const seed = await worker.call('begin', { text: typed });
  if (seed < 0) {
    showNotice(
      tr(
        'Web',
        '乱数の種「%1」は使えません。0 から 2147483647 までの整数を入れるか、空欄にして下さい。',
        $('seed').value.trim(),
      ),
    );
    $('seed').focus();
    return false;
  }
  // A fresh seed is shown, not typed: the next series gets another.
  $('seed').value = String(seed);
  $('seed').classList.toggle('automatic', typed === '');
  state.seedTyped = typed !== '';
  return true;
}

function pressStop() {
  if (state.running) worker.notify('stop');
}

// The pictures of a series the session started anew: tracks, curve, histogram and total.
function clearDrawing(series) {
  state.series = series;
  side.clearTracks();
  state.curve = null;
  state.spectrum = null;
  $('total').value = '0';
  $('energy-now').value = '';
}

async function showCleared() {
  clearDrawing(state.series + 1);
  redrawAll();
}

// Keep this curve: drawn faint beside the next ones, through OK with another beam.
async function pressKeep() {
  if (state.running) return;
  const { kept, depthDose } = await worker.call('keep');
  if (!kept) return;
  state.curve = depthDose;
  redrawDepth();
  summarise();
}

async function pressClear() {
  if (state.running) return;
  await worker.call('clear');
  await showCleared();
}

// Reset all: the screen as a fresh page shows it (the core's opening values), the physics
// switches and the magnified view included, so that the next class never starts without
// electrons unknowingly.
async function pressReset() {
  if (state.running) return;
  const opening = state.opening;
  for (const box of document.querySelectorAll('#switches input')) box.checked = false;
  $('accurate').checked = false;
  showTrackKey();
  await worker.call('reset');
  takePhantomAnswer($('phantom'), $('accurate'), { link: 'water', bands: [] });
  $('accurate').checked = false;
  await showCleared();
  $('energy').value = opening.energy;
  $('mono-row').hidden = true;
  $('mono').value = String(opening.monoMeV);
  $('field').value = opening.field;
  $('photons').value = opening.photons;
  $('seed').value = '';
  $('seed').classList.remove('automatic');
  state.seedTyped = false;
  $('step').checked = opening.stepDisplay;
  $('rate').value = String(RATES.length - 1);
  updateRateText();
  worker.notify('rate', { rate: RATES[RATES.length - 1] });
  if (state.zoomed !== opening.zoomed) toggleZoom();
  showNotice('');
  state.configured = false;
  setRunning(false);
  $('ok').focus({ preventScroll: true });
}

// A phone (one column): the pictures first and Go, Pause, one photon and Stop right under them, in
// the page's order too (so that Tab reaches them in the order they are seen), rather than a
// screen's height below, where a run would happen out of sight. Elsewhere the controls
// stand at the left with the play buttons among them, as on the desktop.
const phone = window.matchMedia('(max-width: 760px)');
const playHome = { parent: $('play').parentElement, next: $('play').nextElementSibling };
const stopHome = { parent: $('stop').parentElement, next: $('stop').nextElementSibling };
function arrangeForWidth() {
  const screen = $('visual');
  const controls = screen.querySelector('.controls');
  const views = screen.querySelector('.views');
  if (phone.matches) {
    screen.insertBefore(views, controls);
    screen.insertBefore($('play'), controls);
    $('play').append($('stop'));
    $('play').classList.add('play-bar');
  } else {
    stopHome.parent.insertBefore($('stop'), stopHome.next);
    playHome.parent.insertBefore($('play'), playHome.next);
    $('play').classList.remove('play-bar');
    screen.append(views);
  }
}
arrangeForWidth();
phone.addEventListener('change', () => {
  arrangeForWidth();
  redrawAll();
});

function toggleZoom() {
  state.zoomed = !state.zoomed;
  side.m = state.zoomed ? 2 : 1;
  $('zoom').setAttribute('aria-pressed', String(state.zoomed));
  redrawAll();
}

// A changed energy or field needs OK again, as on the desktop screen: the session says
// whether the boxes show what OK confirmed.
async function unconfigure() {
  if (state.running || !state.ready) return;
  state.configured = await worker.call('show', shownSettings());
  setRunning(false);
}

$('energy').addEventListener('change', () => {
  $('mono-row').hidden = $('energy').value !== 'mono';
  unconfigure();
});
$('field').addEventListener('input', unconfigure);
$('mono').addEventListener('input', unconfigure);
// A seed typed (or emptied) by the user is used from the next series on.
$('seed').addEventListener('input', () => {
  state.seedTyped = true;
  $('seed').classList.remove('automatic');
});
$('ok').addEventListener('click', pressOk);
$('go').addEventListener('click', pressGo);
$('stop').addEventListener('click', pressStop);
$('pause').addEventListener('click', pressPause);
$('single').addEventListener('click', pressSingle);
$('clear').addEventListener('click', pressClear);
$('accurate').addEventListener('change', switchPhysics);
$('phantom').addEventListener('change', () => choosePhantom($('phantom').value));
$('keep').addEventListener('click', pressKeep);
$('reset').addEventListener('click', pressReset);
$('zoom').addEventListener('click', toggleZoom);
$('rate').addEventListener('input', () => {
  updateRateText();
  worker.notify('rate', { rate: RATES[Number($('rate').value)] });
});
// Esc = Stop on the visual screen; Space = Go only while no control has the focus, so that
// Space and Enter act on the focused control as everywhere (a focused check box toggles).
// P (Pause, Resume) and N (one photon) act unless a text is being typed.
document.addEventListener('keydown', (event) => {
  if ($('visual').hidden || event.defaultPrevented) return;
  const control = event.target.closest?.('input, select, textarea, button, a, summary, [tabindex], dialog');
  const typing =
    event.target.closest?.('select, textarea, dialog') ||
    (event.target.tagName === 'INPUT' && !['checkbox', 'radio', 'range'].includes(event.target.type));
  const plainKey = !typing && !event.ctrlKey && !event.metaKey && !event.altKey;
  if (plainKey && (event.key === 'p' || event.key === 'P')) {
    event.preventDefault();
    pressPause();
  } else if (plainKey && (event.key === 'n' || event.key === 'N')) {
    event.preventDefault();
    pressSingle();
  } else if (event.key === 'Escape') {
    pressStop();
  } else if (event.key === 'Enter' && event.target.type === 'checkbox') {
    event.preventDefault();
    event.target.click();
  } else if (event.key === ' ' && !control && !state.running) {
    event.preventDefault();
    pressGo();
  }
});

// ---- the screen's entry points ---------------------------------------------------------------

let linkValues = null;

// A link's mono-energetic energy, checked against the core's photon table.
function checkLinkMono() {
  const range = state.monoRange;
  const mono = linkValues?.mono;
  if (mono === undefined || (mono >= range.lowest && mono <= range.highest)) return;
  addLinkNotice(tr('Web', 'リンクの %1 の値「%2」は使えません。既定の値で始めます。', 'mono', mono));
  $('mono').value = String(state.opening.monoMeV);
}

async function onReady() {
  const go = linkValues && linkValues.go === 1;
  if ((go || state.okWaiting) && (await pressOk()) && go) pressGo();
  state.okWaiting = false;
}

// Shows the screen preset by the link's values (energy, mono, field, photons, seed, step, go).
export function startVisualScreen(values) {
  linkValues = values;
  $('energy').value = values.energy;
  $('mono-row').hidden = values.energy !== 'mono';
  $('mono').value = String(values.mono);
  $('field').value = `${values.field}×${values.field}`;
  side.field = values.field;
  state.fieldSide = values.field;
  $('photons').value = String(values.photons);
  $('step').checked = values.step === 1;
  $('fade').checked = values.fade !== 0;
  sendFading();
  // A link's seed repeats the series it was made with.
  $('seed').value = values.seed ?? '';
  state.seedTyped = Boolean(values.seed);
  if (!worker) {
    worker = new WorkerClient(startWorker('visual_worker.js'), {
      onEvent: (event, value) => event === 'progress' && showBatch(value, false),
    });
    onWorkerReady();
  }
  setRunning(false);
  $('ok').focus({ preventScroll: true });
}

export const visualScreen = {
  id: 'visual',
  title: () => tr('VisualScreen', 'モンテカルロ ビジュアル シミュレーション'),
  start: startVisualScreen,
  applyLanguage,
  redraw: redrawAll,
};
