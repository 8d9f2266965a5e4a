// The engine in WebAssembly across workers (kestrun.mjs under Node, the same C++ and the same
// block hand-out as the browser's engine screen) against itself and against native Kestrun:
// byte-identical files for 1, 2 and 3 workers; the native block-stream file apart from the
// few last digits that Emscripten's sin and cos change; the native single stream within
// statistical limits; and a desktop result file giving the desktop's table values.
//
//   node --test web/test/engine_wasm.test.mjs
//
// Environment (optional): KESTRUN_NATIVE (build/workdir/Kestrun), KESTRUN_ENGINE_PHOTONS
// (1.00E+06), KESTRUN_MAX_DIFFERING (records allowed to differ from native, 5).
import assert from 'node:assert/strict';
import { spawnSync } from 'node:child_process';
import fs from 'node:fs';
import { createRequire } from 'node:module';
import os from 'node:os';
import path from 'node:path';
import { test } from 'node:test';
import { fileURLToPath } from 'node:url';

const root = path.resolve(path.dirname(fileURLToPath(import.meta.url)), '..', '..');
const web = path.join(root, 'build/web');
const kestrunMjs = path.join(web, 'kestrun.mjs');
const kestrunNative = path.resolve(process.env.KESTRUN_NATIVE ?? path.join(root, 'build/workdir/Kestrun'));
const photons = process.env.KESTRUN_ENGINE_PHOTONS ?? '1.00E+06';
const maxDiffering = Number(process.env.KESTRUN_MAX_DIFFERING ?? 5);
const dataDir = path.join(root, 'data');
const require = createRequire(import.meta.url);

function workingFolder(energy, count = photons) {
  const dir = fs.mkdtempSync(path.join(os.tmpdir(), 'kestrun-engine-'));
  for (const name of ['water20.dat', 'ELDAT.dat', `${energy}MV.csv`])
    fs.copyFileSync(path.join(dataDir, name), path.join(dir, name));
  fs.writeFileSync(path.join(dir, 'Joken.dat'), `${energy}MV.csv\r\nr.data\r\n${count}\r\n`);
  return dir;
}

// `enter`: the engines' final Enter, written to a program that reads it. A probe reads no
// input and gets none: written to it, the Enter could meet a pipe the probe had already
// closed by ending (EPIPE under load). An engine that ends before reading it (a refused run)
// breaks the pipe the same way, which is no failure of the engine.
function run(command, args, cwd, enter = false) {
  const input = enter ? { input: '\n' } : { stdio: ['ignore', 'pipe', 'pipe'] };
  const r = spawnSync(command, args, { cwd, ...input, encoding: 'utf8', timeout: 600_000 });
  if (r.error && !(enter && r.error.code === 'EPIPE')) throw r.error;
  return r;
}

const node = (args, cwd) => run(process.execPath, [kestrunMjs, ...args], cwd, true);
const native = (args, cwd) => run(kestrunNative, args, cwd, true);
const result = (dir) => fs.readFileSync(path.join(dir, 'r.data'), 'latin1');

// The folders of each run, made once and shared by the tests below.
const runs = {};
function ranIn(key, make) {
  if (!runs[key]) runs[key] = make();
  return runs[key];
}
const wasmRun = (threads) =>
  ranIn(`wasm${threads}`, () => {
    const dir = workingFolder('10');
    const r = node(['--threads', String(threads)], dir);
    assert.equal(r.status, 0, r.stdout + r.stderr);
    return { dir, stdout: r.stdout };
  });
const nativeRun = (args) =>
  ranIn(`native${args.join(' ')}`, () => {
    const dir = workingFolder('10');
    const r = native(args, dir);
    assert.equal(r.status, 0, r.stdout + r.stderr);
    return { dir, stdout: r.stdout };
  });

let core = null;
async function library() {
  if (!core) {
    const m = await require(path.join(web, 'kestrun_core.js'))();
    core = { m, lib: new m.ResultLibrary() };
  }
  return core;
}
async function open(text, name) {
  const { lib } = await library();
  const opened = lib.open(text, name);
  assert.equal(opened.error, undefined, opened.error);
  return { curves: lib.curves(opened.id, 0), row: (field) => lib.tableRow(opened.id, field, 0), id: opened.id };
}

test('the result file is the same for 1, 2 and 3 workers', () => {
  const one = result(wasmRun(1).dir);
  assert.equal(one.split('\r\n').length, 601);
  for (const threads of [2, 3]) assert.equal(result(wasmRun(threads).dir), one, `${threads} workers`);
});

test("the dialogue is Kestrun --threads N's, progress over the bins included", () => {
  const clockless = (t) => t.replace(/(計算(開始|終了) =).*/g, '$1');
  assert.equal(clockless(wasmRun(2).stdout), clockless(nativeRun(['--threads', '2']).stdout));
});

test('the file equals native Kestrun --threads 2 but for a few last digits', () => {
  const a = result(wasmRun(2).dir).split('\r\n');
  const b = result(nativeRun(['--threads', '2']).dir).split('\r\n');
  assert.equal(a.length, b.length);
  const differing = a.filter((line, i) => line !== b[i]);
  assert.ok(differing.length <= maxDiffering, `${differing.length} records differ`);
});

test('the 10 x 10 depth dose agrees with the native single stream within statistical limits', async () => {
  const wasm = await open(result(wasmRun(2).dir), 'wasm');
  const single = await open(result(nativeRun([]).dir), 'native');
  // Total dose of the 10 x 10 field (column 8), slabs 5..254 in ten windows of 25: the mean
  // difference of each window against its standard error from the scatter within it. Lost
  // histories, another spectrum or other physics shift whole windows; noise does not.
  const dose = (c) => c.curves.dose.subarray(7 * 300, 8 * 300);
  const a = dose(wasm);
  // Each file is divided by its own kerma maximum, the largest of 50 noisy bins: a scale
  // factor of its own that is noise too, so the curves are compared in shape.
  let sa = 0;
  let sb = 0;
  for (let k = 4; k < 254; ++k) {
    sa += a[k];
    sb += dose(single)[k];
  }
  const b = dose(single).map((x) => (x * sa) / sb);
  let chi2 = 0;
  const windows = 10;
  for (let w = 0; w < windows; ++w) {
    const d = [];
    for (let k = 4 + 25 * w; k < 29 + 25 * w; ++k) d.push(a[k] - b[k]);
    const mean = d.reduce((s, x) => s + x, 0) / d.length;
    const variance = d.reduce((s, x) => s + (x - mean) ** 2, 0) / (d.length - 1);
    chi2 += (mean * mean) / (variance / d.length);
  }
  // Neighbouring slabs share electron tracks, which makes the within-window scatter a little
  // too small: the bound allows for that (chi-square of 9 degrees of freedom: p < 1e-4 at 32).
  assert.ok(chi2 < 45, `chi-square ${chi2.toFixed(1)} over ${windows} windows`);
  const ra = wasm.row(8);
  const rb = single.row(8);
  assert.ok(ra.dmaxSigmaCm > 0 && rb.dmaxSigmaCm > 0);
  // The curve-only uncertainty of d_max takes the bins as independent; one electron scores
  // into neighbouring slabs, so it runs somewhat small: four of them.
  assert.ok(
    Math.abs(ra.dmaxCm - rb.dmaxCm) < 4 * Math.hypot(ra.dmaxSigmaCm, rb.dmaxSigmaCm),
    `d_max ${ra.dmaxCm} ± ${ra.dmaxSigmaCm} against ${rb.dmaxCm} ± ${rb.dmaxSigmaCm}`,
  );
  assert.ok(
    Math.abs(ra.tpr2010 - rb.tpr2010) < 3 * Math.hypot(ra.tpr2010Sigma, rb.tpr2010Sigma),
    `TPR20,10 ${ra.tpr2010} ± ${ra.tpr2010Sigma} against ${rb.tpr2010} ± ${rb.tpr2010Sigma}`,
  );
});

test('a desktop result file gives the desktop table values', async () => {
  // curve_table_probe prints Dosavia's table (the C++ that CurveSetLegend calls) for a file.
  const probe = path.join(root, 'build/tests/models/curve_table_probe');
  const file = path.join(nativeRun([]).dir, 'r.data');
  const r = run(probe, [file], root);
  assert.equal(r.status, 0, r.stderr);
  const rows = r.stdout
    .trim()
    .split('\n')
    .map((l) => l.split(' ').map(Number));
  const opened = await open(fs.readFileSync(file, 'latin1'), 'r.data');
  assert.equal(rows.length, 10);
  for (const [field, dmax, sigma, surface, d10, tpr] of rows) {
    const row = opened.row(field);
    for (const [mine, theirs] of [
      [row.dmaxCm, dmax],
      [row.dmaxSigmaCm, sigma],
      [row.surfacePercent, surface],
      [row.d10Percent, d10],
      [row.tpr2010, tpr],
    ])
      assert.ok(
        Math.abs(mine - theirs) <= 1e-9 * Math.max(1, Math.abs(theirs)),
        `field ${field}: ${mine} against ${theirs}`,
      );
  }
});

test('the table cells are worded as Dosavia words them', async () => {
  // The same probe, with the cells' texts: the WebAssembly build formats its numbers with
  // another C library, and the browser's table and picture show these texts as they are.
  const probe = path.join(root, 'build/tests/models/curve_table_probe');
  const file = path.join(nativeRun([]).dir, 'r.data');
  const r = run(probe, ['--cells', file], root);
  assert.equal(r.status, 0, r.stderr);
  const lines = r.stdout
    .trim()
    .split('\n')
    .map((l) => l.split('\t'));
  assert.equal(lines.length, 10);
  const opened = await open(fs.readFileSync(file, 'latin1'), 'r.data');
  for (const [field, dmax, surface, d10, tpr] of lines) {
    assert.deepEqual(opened.row(Number(field)).cells, { dmax, surface, d10, tpr }, `field ${field}`);
    assert.match(dmax, /^(\d+\.\d\d( ± \d+\.\d\d\*?)?|—)$/, `field ${field}`);
  }
});

test("the graph's depth probe reads each set's doses with the run's measured ±", async () => {
  const dir = nativeRun([]).dir;
  const { lib } = await library();
  const opened = await open(fs.readFileSync(path.join(dir, 'r.data'), 'latin1'), 'r.data');
  const probe = (depth, ssd = 0) => lib.probe([{ id: opened.id, field: 8 }], depth, false, ssd);
  // Without the run's statistics no ±; with them the total dose has one (the primary dose
  // where the statistics keep its spread).
  assert.match(probe(10).values[0], /^全 \d+\.\d {2}一次 \d+\.\d {2}散乱 \d+\.\d \[%\]$/);
  assert.equal(lib.attachStatistics(opened.id, fs.readFileSync(path.join(dir, 'r.stat'), 'latin1'), 'r.stat'), '');
  for (const [depth, heading] of [
    [0, '深さ 0.05 cm'],
    [10, '深さ 10.05 cm'],
    [12.5, '深さ 12.55 cm'],
    [29.99, '深さ 29.95 cm'],
  ]) {
    const read = probe(depth);
    assert.equal(read.heading, heading);
    assert.match(read.values[0], /^全 \d+\.\d ± \d+\.\d {2}一次 \d+\.\d( ± \d+\.\d)? {2}散乱 \d+\.\d \[%\]$/, heading);
  }
  // A point source's curves are not what the groups measured; off the axis nothing is read.
  assert.doesNotMatch(probe(10, 100).values[0], /±/);
  for (const depth of [-0.1, 30, NaN]) assert.deepEqual(probe(depth), { heading: '', values: [] }, String(depth));
});

test('a stopped or broken run writes no result file', () => {
  const dir = workingFolder('10', '1.00E+05');
  fs.writeFileSync(path.join(dir, 'ELDAT.dat'), 'broken\r\n');
  const r = node(['--threads', '2'], dir);
  assert.equal(r.status, 1);
  assert.ok(!fs.existsSync(path.join(dir, 'r.data')));
  assert.match(r.stdout, /ELDAT\.dat/);
});

test('without --threads kestrun.mjs is the single stream of kestrun.js', () => {
  const dir = workingFolder('10', '1.00E+04');
  const r = node([], dir);
  assert.equal(r.status, 0, r.stdout + r.stderr);
  const again = workingFolder('10', '1.00E+04');
  const js = run(process.execPath, [path.join(web, 'kestrun.js')], again, true);
  assert.equal(js.status, 0, js.stdout + js.stderr);
  assert.equal(result(dir), result(again));
});
