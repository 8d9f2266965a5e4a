// A worker of the engine: it holds Kestrun's engine (WebAssembly) and answers calls by name.
// Block workers prepare the run and run the blocks they are given; the total's worker adds
// the block tallies in order, makes the result file and keeps the opened result files for
// the curves, the value table and the CSV. The same file is a classic Web Worker in the
// browser (the core with its data embedded) and a Node worker thread for kestrun.mjs (the
// core that reads the working folder).
/* global importScripts, DosaviaCore */
let post;
let loadCore;
if (typeof importScripts === 'function') {
  // A worker made from the folder bundle's Blob has the core in front of it already.
  if (typeof DosaviaCore !== 'function') importScripts('dosavia_core.js');
  loadCore = () => DosaviaCore();
  post = (message, transfer) => postMessage(message, transfer);
  onmessage = (event) => answer(event.data);
} else {
  const { parentPort } = require('node:worker_threads');
  const path = require('node:path');
  const KestrunCore = require(path.join(__dirname, 'kestrun_core.js'));
  loadCore = () => KestrunCore();
  post = (message, transfer) => parentPort.postMessage(message, transfer);
  parentPort.on('message', (message) => answer(message));
}

const ready = loadCore().then((m) => ({ module: m, run: new m.EngineRun(), library: new m.ResultLibrary() }));

const CALLS = {
  // The language the worker words its reports in (the page's interface language).
  language: (c, { lang }) => ({ value: c.module.setReportLanguage(lang) }),
  // The browser's run: an energy text and a photon count, as the desktop screen takes them;
  // `without`: the --without words of the parts switched off; `seed`: the run's seed as
  // typed ('0': the fixed sequence).
  // `phantom`: { name, text } of a slab phantom's layers, or null for water.
  prepareScreenRun: (c, { energy, count, without = [], seed = '0', phantom = null }) =>
    seeded(c, seed) ?? (setPhantom(c, phantom), prepared(c, c.run.prepareScreenRun('/', energy, count, without))),
  // Node: Joken.dat and the files it names in the folder `dir`, the switches, the seed and
  // the phantom file (--phantom; '' for none) of the command line as the engine's parser
  // read them.
  prepare: (c, { dir, without = [], seed = '0', phantom = '' }) =>
    seeded(c, seed) ??
    (setPhantom(c, phantom ? { name: phantom } : null), prepared(c, c.run.prepare(dir, '', without))),
  block: (c, { b }) => {
    const cells = c.run.runBlock(b);
    return { value: cells, transfer: [cells.buffer] };
  },
  begin: (c) => ({ value: c.run.beginTotal() }),
  add: (c, { cells }) => {
    const bins = c.run.addNext(cells);
    if (bins === null) throw new Error('a block tally of the wrong size');
    return { value: bins };
  },
  // { text, statistics }: the result file's text and its run statistics' (NAME.stat).
  finish: (c) => ({ value: c.run.finish() }),
  // Whether `seed` (as typed) is a seed; the total's engine keeps it until its next run sets
  // its own.
  seedOk: (c, { seed }) => ({ value: c.run.setSeed(String(seed)) }),
  write: (c, { dir }) => ({ value: c.run.writeResult(dir) }),
  // `text`: a string, or the file's bytes (a Uint8Array) as they are.
  open: (c, { text, name }) => ({ value: c.library.open(text, name) }),
  sizeProblem: (c, { name, bytes }) => ({ value: c.module.resultSizeProblem(name, bytes) }),
  close: (c, { id }) => ({ value: c.library.close(id) }),
  // `ssd`: the curves of a point source at this SSD [cm] made from the result's parallel
  // beam; 0 or absent: the parallel beam's own.
  curves: (c, { id, ssd = 0 }) => ({ value: c.library.curves(id, ssd) }),
  row: (c, { id, field, ssd = 0 }) => ({ value: c.library.tableRow(id, field, ssd) }),
  // A result's run statistics (a .stat file's text named `name`): '' when they are taken as
  // that very result's, else why not.
  attach: (c, { id, text, name = 'statistics' }) => ({ value: c.library.attachStatistics(id, text, name) }),
  // The factor that draws a result's curves on the scale of its fitted surface kerma.
  scale: (c, { id }) => ({ value: c.library.displayScale(id) }),
  tsv: (c, { sets }) => ({ value: c.library.tsv(sets) }),
  // The graph's depth probe: { heading, values } for sets [{ id, field }] at `depth` [cm].
  probe: (c, { sets, depth, english = false, ssd = 0 }) => ({ value: c.library.probe(sets, depth, english, ssd) }),
  // The screen's comparison after an action (models/result_library.h): the sets, the file
  // loaded, whether its kerma is drawn, what may be saved and undone.
  compare: (c, { action, arg = null }) => ({ value: c.library.compare(action, arg) }),
  statisticsName: (c, { file }) => ({ value: c.module.statisticsFileName(file) }),
  csv: (c, { sets, kermaId, kermaFile, names, ssd = 0 }) => ({
    value: c.library.csv(sets, kermaId, kermaFile, names, ssd),
  }),
  // An opened result's legend, from its run statistics where it has them (Dosavia's rule).
  resultLegend: (c, { id, field, english = false, ssd = 0 }) => ({
    value: c.library.legend(id, field, english, ssd),
  }),
  energyOf: (c, { file }) => ({ value: c.module.energyOfResultName(file) }),
  // `phantom`: the phantom file's text of the screen's phantom ('' for water).
  names: (c, { energy, count, without = [], phantom = '' }) => ({
    value: c.module.screenRunNames(energy, count, without, phantom),
  }),
  // The screen's slab phantom by a preset's key or a link's layers: { error, link, mark,
  // text, bands, rows }; the presets to choose from ({ key, ja, en }); the browser's core only.
  phantom: (c, { value }) => ({ value: c.module.enginePhantom(value) }),
  // The layer editor's rows read over the phantom in force `before` (its link value): the
  // same answer, the error naming the row and field the engine would refuse; the materials
  // a layer may be of ({ material, name }).
  editPhantom: (c, { before, rows }) => ({ value: c.module.editEnginePhantom(before, rows) }),
  phantomMaterials: (c, { english = false }) => ({ value: c.module.phantomMaterials(english) }),
  phantomPresets: (c) => ({ value: c.module.visualPhantomPresets() }),
  // The layers a result was run in, as its shaded bands ([] for water), and its values at
  // the interfaces for `field` read against the water result `waterId` of its beam (-1:
  // none kept); '' for water.
  resultPhantom: (c, { id }) => ({ value: c.module.resultPhantomBands(c.library.phantomDescription(id)) }),
  interfaces: (c, { id, field, waterId = -1 }) => ({ value: c.library.interfaces(id, field, waterId) }),
  // Among the results `listed`, the water result a phantom result `file` is read against.
  waterFor: (c, { file, listed }) => ({ value: c.module.waterResultFor(file, listed) }),
  // The parts of the physics a run may switch off ({ option, ja, en }); the browser's core only.
  switches: (c) => ({ value: c.module.physicsSwitches() }),
  setColors: (c) => ({ value: c.module.curveSetColors() }),
};

// A worker keeps its engine from run to run, and the engine its seed: every run sets its own.
// An answer for a text that is no seed (the caller checks it first; said, never run on the
// seed of the run before), else nothing.
function seeded(c, seed) {
  return c.run.setSeed(String(seed)) ? undefined : { value: { error: `not a seed: ${seed}`, info: null } };
}

// The engine keeps its phantom from run to run: every run sets its own, water included.
function setPhantom(c, phantom) {
  c.run.setPhantom(phantom?.name ?? '', phantom?.text ?? '');
}

function prepared(c, error) {
  return { value: { error, info: error ? null : c.run.info() } };
}

// The page's one worker protocol (worker_client.mjs): a call { op, call, args } is answered
// { call, value } or { call, error }; a notice (no call id) is not answered.
async function answer(message) {
  const core = await ready;
  try {
    const call = CALLS[message.op];
    if (!call) throw new Error(`no call ${message.op}`);
    const { value, transfer = [] } = call(core, message.args);
    if (message.call !== undefined) post({ call: message.call, value }, transfer);
  } catch (error) {
    if (message.call === undefined) return;
    // A C++ exception that the binding did not turn into text arrives as a number.
    if (typeof error === 'number')
      post({
        call: message.call,
        error: `the engine failed in ${message.op} (${error})`,
        problem: { code: 'failed', args: [message.op, String(error)] },
      });
    else post({ call: message.call, error: String(error?.message ?? error), problem: error?.problem });
  }
}
