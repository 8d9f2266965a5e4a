// The visual simulation's worker: it holds the C++ core (WebAssembly) and runs the batches
// off the page's thread, so the page never freezes. It answers in small chunks of photons,
// each with the tracks simulated since the last answer, and looks at its messages between
// chunks, so that Stop is answered within a chunk (a few tens of milliseconds). It speaks the
// page's one worker protocol (worker_client.mjs): calls by name and call id, answered with a
// value or an error; notices without an answer (Stop, Pause and Resume, one history while
// paused, the pacing acknowledgement, the speed, the physics switches); and a batch's progress
// as events until its `run` call is answered.
/* global importScripts, DosaviaCore */
// A worker made from the folder bundle's Blob has the core in front of it already.
if (typeof DosaviaCore !== 'function') importScripts('dosavia_core.js');

let core = null;
let module = null;
let batch = null; // { left, done, stepRate, stop, paused, timer }

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
  return core.init();
});

function depthDose(withUncertainty) {
  return core.depthDose(withUncertainty);
}

// A batch's state as the page draws it: its progress (an event), or with `final` the answer
// of its `run` call. The curve's uncertainty comes with the final answer and where asked for.
function send(final, withUncertainty = final) {
  const segments = core.segments();
  const absorptions = core.absorptions();
  const deltaRays = core.deltaRaySegments();
  const bremsstrahlung = core.bremsstrahlungSegments();
  const message = {
    done: batch.done,
    total: core.total(),
    energyMeV: core.lastEnergyMeV(),
    segments,
    absorptions,
    deltaRays,
    bremsstrahlung,
    wash: core.wash(),
    highlight: core.highlight(),
    depositedKeV: core.depositedKeV(),
    escapedKeV: core.escapedKeV(),
  };
  const now = performance.now();
  if (final || now - batch.curveAt > CURVE_MS) {
    message.spectrum = core.spectrumCounts();
    message.depthDose = depthDose(withUncertainty);
    batch.curveAt = now;
  }
  const transfer = [segments.buffer, absorptions.buffer, deltaRays.buffer, bremsstrahlung.buffer];
  if (final) {
    postMessage({ call: batch.call, value: message }, transfer);
  } else {
    postMessage({ event: 'progress', value: message }, transfer);
    batch.inFlight += 1;
  }
}

// The next chunk, unless the page has too many answers still to take in. At most one chunk
// is ever scheduled (`timer`), so that Pause can cancel it and Resume never runs two chains.
// The chunk is due `delayMs` from now (step display's pace): a chunk held back for the page
// keeps that time, so that the acknowledgement which frees it waits out the rest of the
// period rather than starting it at once (else the pace becomes the page's answer rate).
function next(delayMs) {
  batch.dueAt = performance.now() + delayMs;
  later();
}

function later() {
  if (batch.inFlight >= MAX_IN_FLIGHT) {
    batch.waiting = true;
    return;
  }
  batch.waiting = false;
  batch.timer = setTimeout(step, Math.max(0, batch.dueAt - performance.now()));
}

function step() {
  if (!batch) return;
  batch.timer = null;
  // Paused: the batch keeps its tracks and tally and waits for Resume, a single history or Stop.
  if (batch.paused && !batch.stop) {
    batch.waiting = false;
    return;
  }
  try {
    stepBatch();
  } catch (failure) {
    failBatch(failure);
  }
}

// The batch's end: the session learns how long it took, for the next estimate.
function endBatch() {
  core.endBatch(batch.done, (performance.now() - batch.started) / 1000, batch.stepRate !== null, batch.stepRate ?? 0);
  core.run(0); // nothing new to draw in the final answer
  send(true);
  batch = null;
}

// The batch ends, and its call says why, rather than leaving the page waiting.
function failBatch(failure) {
  core.endBatch(0, 0, false, 0);
  postMessage({
    call: batch.call,
    ...failureMessage('run', failure),
  });
  batch = null;
}

function stepBatch() {
  batch.waiting = false;
  if (batch.stop || batch.left <= 0) {
    endBatch();
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

// The page's calls: each returns the answer's value, or throws (the page gets the error).
const CALLS = {
  // The core's state once it has loaded: its error (empty when it can run), the field
  // choices, the mono-energetic range and the physics switches.
  init: (error) => ({
    error,
    fieldItems: module.fieldItems(),
    monoRange: core.monoRange(),
    switches: module.physicsSwitches(),
    opening: module.visualOpening(),
    phantoms: module.visualPhantomPresets(),
  }),
  // OK with the spectrum (or mono-energetic beam) and the field: { error, side, series }; the
  // error is 'field', 'mono', or the spectrum's problem worded in the page's language.
  setup: (_, args) => {
    if (args.lang) module.setReportLanguage(args.lang);
    idle('OK');
    return core.confirm(args.energy ?? '', args.fieldText, args.mono ?? 0);
  },
  // The boxes show these settings now: whether Go may run them.
  show: (_, args) => core.showSettings(args.energy ?? '', args.fieldText, args.mono ?? 0),
  // A typed count as every count box reads it, and how long its batch would take.
  plan: (_, { text, step, rate }) => core.planBatch(text, step, rate),
  // Go: the series' seed (a fresh one for a blank text, when a new series starts), or -1 for
  // a text that is not a seed (nothing changes then).
  begin: (_, { text }) => {
    idle('a batch');
    return core.beginBatch(text);
  },
  // Keep this curve: whether it was kept, and the curve with it as the reference.
  keep: () => {
    idle('Keep this curve');
    return { kept: core.keepCurve(), depthDose: depthDose(false) };
  },
  clear: () => {
    idle('Graph clear');
    core.clearGraph();
    return true;
  },
  reset: () => {
    idle('Reset');
    core.reset();
    return true;
  },
  // A slab phantom by a link's value: { error, link, bands }, the phantom in force after it.
  phantom: (_, { value, lang }) => {
    if (lang) module.setReportLanguage(lang);
    idle('a phantom');
    return core.setPhantom(value);
  },
  // A physics switch or the accurate transport: the session starts a new curve, keeping the
  // last as its reference. The answer: empty, or why the accurate transport cannot run.
  physics: (_, { physics: p }) => {
    idle('a switch');
    return core.setPhysics(
      p.electronTransport,
      p.multipleScattering,
      p.photonScatter,
      p.coherent,
      p.pair,
      p.accurate ?? false,
    );
  },
};

// The notices: no answer.
const NOTICES = {
  // Older tracks fade, or stay as drawn (from the next answer on).
  fade: ({ fading }) => core?.setFading(fading),
  rate: ({ rate }) => {
    if (batch && batch.stepRate !== null) batch.stepRate = rate;
  },
  // The page has drawn an answer.
  ack: () => {
    if (!batch) return;
    batch.inFlight -= 1;
    if (batch.waiting && batch.timer === null) later();
  },
  // Stop ends the batch at once where no chunk is scheduled (paused, or waiting for the page).
  stop: () => {
    if (!batch) return;
    batch.stop = true;
    if (batch.timer === null) step();
  },
  // Paused, the page gets the curve as it stands with its uncertainty, to be read meanwhile.
  pause: () => {
    if (!batch || batch.paused || batch.stop) return;
    batch.paused = true;
    core.pause();
    clearTimeout(batch.timer);
    batch.timer = null;
    core.run(0); // the tracks are drawn already
    batch.curveAt = -Infinity;
    send(false, true);
  },
  resume: () => {
    if (!batch || !batch.paused) return;
    batch.paused = false;
    core.resume();
    // The photon that Pause held back keeps its time: pressing Pause and Resume does not
    // hurry the pace.
    if (batch.timer === null && !batch.waiting) later();
  },
  // One photon history of a paused batch, drawn as step display draws one; the last one of
  // the batch ends it as a finished batch ends.
  single: () => {
    if (!batch || !batch.paused || batch.stop || batch.inFlight >= MAX_IN_FLIGHT) return;
    try {
      core.run(1);
      batch.left -= 1;
      batch.done += 1;
      batch.curveAt = -Infinity;
      send(false, true);
      if (batch.left > 0) return;
      endBatch();
      return;
    } catch (failure) {
      failBatch(failure);
    }
  },
};

// A failure as the protocol carries it: a C++ exception that the binding did not turn into
// text arrives as a number, worded by the page from its problem code.
function failureMessage(op, failure) {
  if (typeof failure === 'number')
    return {
      error: `the simulation failed in ${op} (${failure})`,
      problem: { code: 'failed', args: [op, String(failure)] },
    };
  return { error: String(failure?.message ?? failure), problem: failure?.problem };
}

function idle(what) {
  if (batch) throw Object.assign(new Error(`${what} while a batch runs`), { problem: { code: 'busy', args: [what] } });
}

onmessage = async (event) => {
  const error = await ready;
  const { op, call, args = {} } = event.data;
  if (call === undefined) {
    NOTICES[op]?.(args);
    return;
  }
  try {
    if (op === 'run') {
      // Answered when the batch ends, with its final state; its progress comes as events.
      // The session's batch was begun by `begin`.
      idle('a batch');
      batch = {
        call,
        left: args.photons,
        done: 0,
        stop: false,
        curveAt: 0,
        perChunk: 50,
        inFlight: 0,
        waiting: false,
        stepRate: args.step ? args.rate : null,
        paused: false,
        timer: null,
        dueAt: 0,
        started: performance.now(),
      };
      step();
      return;
    }
    const handler = CALLS[op];
    if (!handler) throw new Error(`no call ${op}`);
    postMessage({ call, value: handler(error, args) });
  } catch (failure) {
    // A C++ exception that the binding did not turn into text arrives as a number.
    postMessage({ call, ...failureMessage(op, failure) });
  }
};
