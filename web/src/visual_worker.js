// The visual simulation's worker: it holds the C++ core (WebAssembly) and runs the batches
// off the page's thread, so the page never freezes. It answers in small chunks of photons,
// each with the tracks simulated since the last answer, and looks at its messages between
// chunks, so that Stop is answered within a chunk (a few tens of milliseconds).
/* global importScripts, DosaviaCore */
// A worker made from the folder bundle's Blob has the core in front of it already.
if (typeof DosaviaCore !== 'function') importScripts('dosavia_core.js');

let core = null;
let module = null;
let batch = null; // { left, done, stepRate, stop }

// A chunk without step display lasts about this long [ms]: short enough for Stop and smooth
// drawing, long enough that the messages cost little.
const CHUNK_MS = 30;
// Answers the page has not yet acknowledged: the worker waits when this many are on their
// way, so that it never runs ahead of a page slow to draw (a million tracks), the page's
// queue stays short (Stop and Esc act within a chunk or two) and memory stays flat.
const MAX_IN_FLIGHT = 2;
// The depth-dose curve and its uncertainty are recomputed at most this often [ms].
const CURVE_MS = 400;

const ready = DosaviaCore().then((m) => {
  module = m;
  core = new m.VisualCore();
  const error = core.init();
  postMessage({ type: 'ready', error, fieldItems: m.fieldItems(), monoRange: core.monoRange(), switches: m.physicsSwitches() });
});

function depthDose(withUncertainty) {
  return core.depthDose(withUncertainty);
}

function send(final) {
  const segments = core.segments();
  const absorptions = core.absorptions();
  const message = {
    type: final ? 'done' : 'progress',
    done: batch.done,
    total: core.total(),
    energyMeV: core.lastEnergyMeV(),
    segments,
    absorptions,
    depositedKeV: core.depositedKeV(),
    escapedKeV: core.escapedKeV(),
  };
  const now = performance.now();
  if (final || now - batch.curveAt > CURVE_MS) {
    message.spectrum = core.spectrumCounts();
    message.depthDose = depthDose(final);
    batch.curveAt = now;
  }
  postMessage(message, [segments.buffer, absorptions.buffer]);
  if (!final) batch.inFlight += 1;
}

// The next chunk, unless the page has too many answers still to take in.
function next(delayMs) {
  if (batch.inFlight >= MAX_IN_FLIGHT) {
    batch.waiting = true;
    return;
  }
  setTimeout(step, delayMs);
}

function step() {
  if (!batch) return;
  batch.waiting = false;
  if (batch.stop || batch.left <= 0) {
    core.run(0); // nothing new to draw in the final answer
    send(true);
    batch = null;
    return;
  }
  const start = performance.now();
  if (batch.stepRate !== null) {
    // Step display: one photon per answer, paced at the chosen rate (0: as fast as drawn).
    core.run(1);
    batch.left -= 1;
    batch.done += 1;
    send(false);
    const period = batch.stepRate > 0 ? 1000 / batch.stepRate : 0;
    next(Math.max(0, period - (performance.now() - start)));
    return;
  }
  // As many photons as fit in a chunk, learnt from the last chunk's speed.
  const n = Math.max(1, Math.min(batch.left, Math.round(batch.perChunk)));
  core.run(n);
  const ms = Math.max(0.5, performance.now() - start);
  batch.perChunk = Math.max(1, Math.min(20000, (n * CHUNK_MS) / ms));
  batch.left -= n;
  batch.done += n;
  send(false);
  next(0);
}

onmessage = async (event) => {
  await ready;
  const msg = event.data;
  switch (msg.type) {
    case 'setup': {
      // The spectrum (or mono-energetic beam) and the field; the answer says what is wrong,
      // worded in the page's language.
      if (msg.lang) module.setReportLanguage(msg.lang);
      let error = '';
      if (msg.mono !== undefined) {
        if (!core.setMonoenergetic(msg.mono)) error = 'mono';
      } else {
        error = core.loadSpectrumFile(msg.spectrum);
      }
      const side = module.typedFieldSide(msg.fieldText);
      if (!error && side <= 0) error = 'field';
      if (!error) core.setField(side);
      postMessage({ type: 'setup-done', error, side });
      break;
    }
    case 'physics': {
      // The switches of the physics lesson; the page clears the graph with them, keeping
      // the last curve as its reference.
      const p = msg.physics;
      core.setPhysics(p.electronTransport, p.multipleScattering, p.photonScatter, p.coherent, p.pair);
      break;
    }
    case 'count': {
      postMessage({ type: 'count', photons: Math.floor(module.typedCount(msg.text)), id: msg.id });
      break;
    }
    case 'run': {
      if (batch) return;
      batch = {
        left: msg.photons, done: 0, stop: false, curveAt: 0, perChunk: 50, inFlight: 0, waiting: false,
        stepRate: msg.step ? msg.rate : null,
      };
      step();
      break;
    }
    case 'rate':
      if (batch && batch.stepRate !== null) batch.stepRate = msg.rate;
      break;
    case 'ack':
      // The page has drawn an answer.
      if (batch) {
        batch.inFlight -= 1;
        if (batch.waiting) step();
      }
      break;
    case 'stop':
      if (batch) {
        batch.stop = true;
        if (batch.waiting) step();
      }
      break;
    case 'series':
      // A batch series starts: on the seed typed, or a fresh one for a blank text; -1 for a
      // text that is not a seed (nothing changes then).
      if (!batch) postMessage({ type: 'series', seed: core.startSeries(msg.text) });
      break;
    case 'clear':
      if (!batch) {
        core.clearGraph();
        postMessage({ type: 'cleared' });
      }
      break;
    default:
      break;
  }
};
