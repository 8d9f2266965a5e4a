#!/usr/bin/env node
// Kestrun under Node, for a computer with Node but no native build: run in a working folder,
// `node kestrun.mjs [--threads N] [--seed N] [--phantom FILE] [--without PART]...` reads
// Joken.dat, the spectrum, the physics data and a slab phantom's layers as Kestrun does and
// writes the same result file and, beside it, the run's statistics (NAME.stat). With
// --threads the blocks run on N worker threads (0: one per core) and the files are the ones
// native `Kestrun --threads N` writes for the same conditions, seed and phantom; --without
// switches parts of the physics off and tags the result's name as Kestrun does (the
// engine's parser reads the words, the seed and the phantom file's name). Without
// --threads (and for --init, --version, --help) kestrun.js, Kestrun itself as WebAssembly,
// runs the single stream.
import { spawn } from 'node:child_process';
import { createRequire } from 'node:module';
import os from 'node:os';
import path from 'node:path';
import readline from 'node:readline';
import { fileURLToPath } from 'node:url';
import { Worker } from 'node:worker_threads';
import { WorkerClient } from './worker_client.mjs';
import { runBlocks } from './engine_pool.mjs';

const here = path.dirname(fileURLToPath(import.meta.url));
const require = createRequire(import.meta.url);
const args = process.argv.slice(2);
const core = await require(path.join(here, 'kestrun_core.js'))();
const line = core.commandLine(args);
// --lang en: the run's console lines and the reports of its problems in English, as Kestrun's.
core.setConsoleLanguage(line.lang ?? 'ja');

if (line.action !== 'run' || line.threads < 0) {
  // A signal that ends this program ends the run it handed on, which would otherwise go on
  // alone and later replace the result file.
  const child = spawn(process.execPath, [path.join(here, 'kestrun.js'), ...args], { stdio: 'inherit' });
  for (const signal of ['SIGTERM', 'SIGINT', 'SIGHUP']) process.on(signal, () => child.kill(signal));
  child.on('exit', (status, signal) => process.exit(status ?? 128 + (os.constants.signals[signal] ?? 0)));
  child.on('error', (error) => {
    process.stderr.write(`kestrun.mjs: ${error.message}\n`);
    process.exit(1);
  });
  await new Promise(() => {});
}

const texts = core.consoleTexts();
// A console closed under the run (a pipe into `head`, a terminal gone) takes no more lines,
// but the run goes on and its result is written, as Kestrun's is.
let consoleOpen = true;
for (const stream of [process.stdout, process.stderr])
  stream.on('error', () => {
    consoleOpen = false;
  });
const write = (text) => {
  if (consoleOpen) process.stdout.write(text);
};

// The end of input counts as Enter, as in Kestrun.
function waitForEnter() {
  write(`\n${texts.prompt}\n\n`);
  return new Promise((resolve) => {
    const input = readline.createInterface({ input: process.stdin });
    const done = () => {
      input.close();
      resolve();
    };
    input.once('line', done);
    input.once('close', resolve);
  });
}

async function fail(message) {
  // No lock on the result's name outlives a failed run.
  total?.releaseLock();
  write(`${core.errorLine(message)}\n`);
  await waitForEnter();
  process.exit(1);
}

// The working folder as Kestrun names it: its files by their plain names in the reports.
const folder = '';
const total = new core.EngineRun();
// The seed goes to every engine of the run: the total's and each worker's, which run the
// blocks on the seed's streams.
const seed = String(line.seed);
total.setSeed(seed);
// --phantom FILE: every engine reads the layers and their materials' data itself.
const phantom = line.phantom ?? '';
total.setPhantom(phantom, '');
const problem = total.prepare(folder, '', line.without) || total.checkResultFolder(folder);
if (problem) await fail(problem);
const info = total.info();

const cores = os.availableParallelism?.() ?? os.cpus().length;
const threads = line.threads > 0 ? line.threads : cores;
write(`${texts.title}\n\n`);
const start = core.readClock();
const seedLine = core.seedLine(line.seed);
write(
  `${core.startTimeLine(start)}\n\n${texts.waiting}\n${core.modeLine(threads)}\n${seedLine ? `${seedLine}\n` : ''}${total.withoutLines()}\n`,
);
const announce = (bins) => {
  for (const bin of bins) write(`${core.progressLine(bin, info.imax)}\n`);
};
announce(total.beginTotal());

const workers = [];
let outcome;
try {
  // Each worker holds its own engine and tables (native threads share one copy): more of
  // them than cores would add memory, not speed, and the file does not depend on their number.
  for (let t = 0; t < Math.min(threads, cores, Math.max(1, info.blocks)); t += 1)
    workers.push(new WorkerClient(new Worker(path.join(here, 'engine_worker.js'))));
  // Each worker reads the same folder; a file changed in between would show here, worded in
  // the console's language.
  await Promise.all(workers.map((w) => w.call('language', { lang: line.lang ?? 'ja' })));
  for (const answer of await Promise.all(
    workers.map((w) => w.call('prepare', { dir: folder, without: line.without, seed, phantom })),
  ))
    if (answer.error) throw new Error(answer.error);
  const run = runBlocks({
    blocks: info.blocks,
    workers,
    runBlock: (w, b) => w.call('block', { b }),
    addNext: async (cells) => {
      const bins = total.addNext(cells);
      if (bins === null) throw new Error('a block tally of the wrong size');
      announce(bins);
    },
  });
  outcome = await run.done;
} catch (error) {
  outcome = { error: error.message };
} finally {
  for (const w of workers) w.terminate();
}
write(`\n${core.startTimeLine(start)}\n${core.endTimeLine(core.readClock())}\n`);
if (outcome.error) await fail(outcome.error);
const writeError = total.writeResult(folder);
if (writeError) await fail(writeError);
const note = total.writeNote();
if (note) write(`${note}\n`);
await waitForEnter();
write(`${texts.stop}\n`);
// A console that took no line (a full device) makes the run a failure to report, as in
// Kestrun; the result is written all the same.
if (!consoleOpen) process.stderr.write('Kestrun: cannot write to the standard output\n');
process.exit(consoleOpen ? 0 : 1);
