// The WebAssembly Kestrun under Node against the native one, in working folders of the same
// files: the same exit status and dialogue, and the same result file apart from a handful
// of numbers one unit apart in the last digit (Emscripten's C library rounds sin and cos a
// little differently from glibc, and a changed float sometimes shows in the fourth digit).
//
//   node --test web/test/kestrun_wasm.test.mjs
//
// Environment (all optional): KESTRUN_JS (default build/web/kestrun.js), KESTRUN_NATIVE
// (build/workdir/Kestrun), KESTRUN_DATA (data/), KESTRUN_ENERGIES ("10"; e.g. "4 6 10 15"),
// KESTRUN_PHOTONS ("1.00E+05"), KESTRUN_MAX_DIFFERING (records allowed to differ, 5).
import assert from 'node:assert/strict';
import { spawn, spawnSync } from 'node:child_process';
import fs from 'node:fs';
import os from 'node:os';
import path from 'node:path';
import { test } from 'node:test';
import { fileURLToPath } from 'node:url';

const root = path.resolve(path.dirname(fileURLToPath(import.meta.url)), '..', '..');
const env = process.env;
const kestrunJs = path.resolve(env.KESTRUN_JS ?? path.join(root, 'build/web/kestrun.js'));
const kestrunNative = path.resolve(env.KESTRUN_NATIVE ?? path.join(root, 'build/workdir/Kestrun'));
const dataDir = path.resolve(env.KESTRUN_DATA ?? path.join(root, 'data'));
const energies = (env.KESTRUN_ENERGIES ?? '10').split(/[\s,]+/).filter(Boolean);
const photons = env.KESTRUN_PHOTONS ?? '1.00E+05';
const maxDiffering = Number(env.KESTRUN_MAX_DIFFERING ?? 5);

const kRecords = 600;
const kFields = 11;
const kRecordLength = 4 + kFields * 11;

for (const [what, file] of [
  ['the WebAssembly Kestrun (tools/build-web.sh)', kestrunJs],
  ['the native Kestrun (tools/build.sh)', kestrunNative],
]) {
  if (!fs.existsSync(file)) throw new Error(`${what} is missing: ${file}`);
}

// A scratch working folder with the physics tables, the given files and, unless null, a
// Joken.dat for the spectrum.
function workingFolder(energy, extraFiles = [], count = photons) {
  const dir = fs.mkdtempSync(path.join(os.tmpdir(), 'kestrun-wasm-'));
  for (const name of ['water20.dat', 'ELDAT.dat', ...extraFiles])
    fs.copyFileSync(path.join(dataDir, name), path.join(dir, name));
  if (energy !== null) {
    fs.copyFileSync(path.join(dataDir, `${energy}MV.csv`), path.join(dir, `${energy}MV.csv`));
    fs.writeFileSync(path.join(dir, 'Joken.dat'), `${energy}MV.csv\r\nr.data\r\n${count}\r\n`);
  }
  return dir;
}

// 'wasm': kestrun.js; 'mjs': kestrun.mjs beside it (worker threads for --threads);
// 'native': Kestrun.
const kestrunMjs = path.join(path.dirname(kestrunJs), 'kestrun.mjs');

function run(program, args, cwd, timeout = 600_000) {
  const script = { wasm: kestrunJs, mjs: kestrunMjs }[program];
  const [command, argv] = script ? [process.execPath, [script, ...args]] : [kestrunNative, args];
  const r = spawnSync(command, argv, { cwd, input: '\n', encoding: 'utf8', timeout });
  // A program that ends without reading its input (a refused option) leaves the Enter
  // unwritten: a broken pipe then, not a failure of the program.
  if (r.error && r.error.code !== 'EPIPE') throw r.error;
  return { status: r.status, signal: r.signal, stdout: r.stdout, stderr: r.stderr };
}

// The dialogue without its clock readings and without the thread count, which the
// WebAssembly engine, having one thread, always gives as 1.
function dialogue(text) {
  return (
    text
      .replace(/(計算(開始|終了) =).*/g, '$1 H:MM:SS')
      .replace(/\d+ スレッド/g, 'N スレッド')
      // --init --repair names the folder it restores from: beside each program.
      .replace(/ from [^;\n]+/g, ' from DATA')
  );
}

// The 600 records "(I4,11E11.4)" ended by CR LF, read strictly by their columns.
function readResult(file) {
  const text = fs.readFileSync(file, 'latin1');
  const lines = text.split('\r\n');
  assert.equal(lines.pop(), '', `${file}: the last record is not ended by CR LF`);
  assert.equal(lines.length, kRecords, `${file}: ${lines.length} records`);
  return lines.map((line, r) => {
    assert.equal(line.length, kRecordLength, `${file}, record ${r + 1}: length ${line.length}`);
    const index = Number(line.slice(0, 4));
    const fields = [];
    for (let f = 0; f < kFields; ++f) {
      const field = line.slice(4 + 11 * f, 15 + 11 * f);
      const m = /^ *(-?)0\.(\d{4})E([+-]\d\d)$/.exec(field);
      assert.ok(m, `${file}, record ${r + 1}: '${field}' is not an E11.4 number`);
      fields.push({ sign: m[1] === '-' ? -1 : 1, digits: Number(m[2]), exponent: Number(m[3]) });
    }
    return { index, fields };
  });
}

// How many units of the last digit of the finer of the two lie between two E11.4 numbers:
// 0.1000E+01 and 0.9999E+00 are one unit apart.
function unitsApart(a, b) {
  const e = Math.min(a.exponent, b.exponent);
  const scaled = (x) => x.sign * x.digits * 10 ** (x.exponent - e);
  return Math.abs(scaled(a) - scaled(b));
}

function compareResults(nativeFile, wasmFile) {
  const native = readResult(nativeFile);
  const wasm = readResult(wasmFile);
  const differing = [];
  let largest = 0;
  for (let r = 0; r < kRecords; ++r) {
    assert.equal(wasm[r].index, native[r].index, `record ${r + 1}: index`);
    let worst = 0;
    for (let f = 0; f < kFields; ++f) worst = Math.max(worst, unitsApart(native[r].fields[f], wasm[r].fields[f]));
    if (worst > 0) differing.push(`record ${r + 1}: ${worst} unit(s)`);
    largest = Math.max(largest, worst);
  }
  return { differing, largest };
}

// FNV-1a 64 of a file's bytes, as the run statistics name the result they belong to.
function checksum(file) {
  let h = 0xcbf29ce484222325n;
  for (const byte of fs.readFileSync(file)) h = ((h ^ BigInt(byte)) * 0x100000001b3n) & 0xffffffffffffffffn;
  return h.toString(16).padStart(16, '0');
}

// A row of the groups' numbers ("bin m q d1 ... d16"): the 16 values m + q * dg and the step.
function groupRow(words) {
  const [m, q] = [Number(words[1]), Number(words[2])];
  return { step: q, values: words.slice(3).map((d) => m + q * Number(d)) };
}

// The run statistics of both sides: the same lines, words and counts (seed, switches,
// histories, groups); each names its own result file by its checksum; the numbers agree to
// their last digits. The groups' numbers are written to a step of a hundredth of their
// spread, and their means to five digits, where the two C libraries' sin and cos show (the
// result file's four digits hide them): 1e-4 of the value, and a step. A history that took
// another turn moves a few bins of its group further: at most `records` lines may then
// differ, by at most 1 %.
function compareStatistics(nativeFile, wasmFile, wasmResult, records) {
  const native = fs.readFileSync(nativeFile, 'latin1').split('\r\n');
  const wasm = fs.readFileSync(wasmFile, 'latin1').split('\r\n');
  assert.equal(wasm.length, native.length, `${wasmFile}: ${wasm.length} lines, native ${native.length}`);
  assert.equal(wasm[1], `result_checksum ${checksum(wasmResult)}`, `${wasmFile}: not the statistics of its result`);
  const moved = [];
  for (let i = 2; i < native.length; ++i) {
    const [a, b] = [native[i].split(' '), wasm[i].split(' ')];
    assert.equal(b.length, a.length, `${wasmFile}, line ${i + 1}`);
    if (a.length === 19 && /^\d+$/.test(a[0])) {
      assert.equal(b[0], a[0], `${wasmFile}, line ${i + 1}`);
      const [x, y] = [groupRow(a), groupRow(b)];
      let far = false;
      x.values.forEach((v, g) => {
        const apart = Math.abs(v - y.values[g]);
        const steps = x.step + y.step + 1e-4 * Math.abs(v);
        assert.ok(
          apart <= 0.01 * Math.abs(v) + steps,
          `${wasmFile}, line ${i + 1}, group ${g + 1}: ${y.values[g]}, native ${v}`,
        );
        far ||= apart > 1.01 * steps;
      });
      if (far) moved.push(i + 1);
      continue;
    }
    a.forEach((word, k) => {
      const number = /^-?\d\.(\d+)E([+-]\d+)$/.exec(word);
      if (!number) {
        assert.equal(b[k], word, `${wasmFile}, line ${i + 1}`);
        return;
      }
      const apart = Math.abs(Number(word) - Number(b[k]));
      const lastDigit = 10 ** (Number(number[2]) - number[1].length);
      assert.ok(
        apart <= 0.01 * Math.abs(Number(word)) + lastDigit,
        `${wasmFile}, line ${i + 1}: ${b[k]}, native ${word}`,
      );
      if (apart > Math.max(1e-4 * Math.abs(Number(word)), 1.01 * lastDigit) && moved.at(-1) !== i + 1)
        moved.push(i + 1);
    });
  }
  assert.ok(moved.length <= records, `${wasmFile}: lines ${moved.join(', ')} differ beyond the last digits`);
}

// The same run on both: the native file is the reference, and the WebAssembly one may
// differ from it in at most `records` records, by at most `units` in the last digit; the
// run statistics beside it as compareStatistics holds them.
// `program`: which WebAssembly edition runs; `result`: the name the file must be written
// under, in both folders (and nothing else added there but its statistics).
// `extra`: data files the run reads besides water's (a phantom's materials); `written`:
// files of the given texts (a phantom file).
function expectSameRun(
  energy,
  args,
  { records, units, program = 'wasm', count = photons, result = 'r.data', extra = [], written = {} },
) {
  const dirs = { native: workingFolder(energy, extra, count), wasm: workingFolder(energy, extra, count) };
  const statistics = result.replace(/\.data$/, '.stat');
  try {
    for (const dir of Object.values(dirs))
      for (const [name, text] of Object.entries(written)) fs.writeFileSync(path.join(dir, name), text);
    const out = {};
    for (const [side, which] of [
      ['native', 'native'],
      ['wasm', program],
    ]) {
      out[side] = run(which, args, dirs[side]);
      assert.equal(out[side].status, 0, `${which}: ${out[side].stdout}${out[side].stderr}`);
    }
    assert.equal(dialogue(out.wasm.stdout), dialogue(out.native.stdout));
    for (const dir of Object.values(dirs))
      assert.deepEqual(
        fs.readdirSync(dir).sort(),
        [
          'Joken.dat',
          `${energy}MV.csv`,
          'ELDAT.dat',
          result,
          statistics,
          'water20.dat',
          ...extra,
          ...Object.keys(written),
        ].sort(),
      );
    const files = Object.fromEntries(Object.entries(dirs).map(([side, dir]) => [side, path.join(dir, result)]));
    // A plain new file's permissions on both, not the none that Emscripten's mask gives.
    assert.equal(fs.statSync(files.wasm).mode, fs.statSync(files.native).mode);
    assert.equal(
      fs.statSync(path.join(dirs.wasm, statistics)).mode,
      fs.statSync(path.join(dirs.native, statistics)).mode,
    );
    const { differing, largest } = compareResults(files.native, files.wasm);
    const report =
      `${program} ${energy} MV ${args.join(' ') || 'single stream'}: ${differing.length} of ` +
      `${kRecords} records differ${differing.length ? ` (${differing.join(', ')})` : ''}`;
    console.log(report);
    assert.ok(largest <= units, report);
    assert.ok(differing.length <= records, report);
    compareStatistics(path.join(dirs.native, statistics), path.join(dirs.wasm, statistics), files.wasm, records);
  } finally {
    for (const dir of Object.values(dirs)) fs.rmSync(dir, { recursive: true, force: true });
  }
}

// The single stream: a handful of numbers one unit apart. A history that took another turn
// would shift the random numbers of every later one, and the files would part widely.
// The block streams: there such a turn changes the rest of its block only (one history of
// 10 MV at 1.00E+05 photons does, moving three records by up to three units).
for (const energy of energies) {
  test(`${energy} MV, ${photons} photons, single stream: the native result file`, () => {
    expectSameRun(energy, [], { records: maxDiffering, units: 1 });
  });
  test(`${energy} MV, ${photons} photons, block streams: the native result file`, () => {
    expectSameRun(energy, ['--threads', '3'], { records: 2 * maxDiffering, units: 5 });
  });
}

// kestrun.mjs takes Kestrun's --without through the engine's own parser: the same tagged
// name, the same console lines on the switched-off parts, and the same file within the
// limits above, on the single stream (kestrun.js) and on worker threads alike. A switch
// lost on the way to the workers would give the full simulation's numbers under the
// tagged name, far beyond the last digits.
// --seed reaches every worker of kestrun.mjs and kestrun.js's single stream: a seed lost on
// the way would give the default sequence's numbers, far beyond the last digits, and the
// statistics would name seed 0.
test('kestrun.mjs --without and --seed: the native tagged result file and statistics', () => {
  const count = '1.00E+04';
  const cases = [
    { args: ['--seed', '5', '--threads', '2'], result: 'r.data', records: 2 * maxDiffering, units: 5 },
    { args: ['--seed', '5'], result: 'r.data', records: maxDiffering, units: 1 },
    {
      args: ['--threads', '3', '--seed', '2147483647', '--without', 'electron-transport'],
      result: 'r-noe.data',
      records: 2 * maxDiffering,
      units: 5,
    },
    { args: ['--without', 'electron-transport'], result: 'r-noe.data', records: maxDiffering, units: 1 },
    {
      args: ['--threads', '2', '--without', 'electron-transport'],
      result: 'r-noe.data',
      records: 2 * maxDiffering,
      units: 5,
    },
    {
      args: ['--without', 'pair', '--threads', '3', '--without', 'photon-scatter'],
      result: 'r-nosp.data',
      records: 2 * maxDiffering,
      units: 5,
    },
  ];
  for (const c of cases) expectSameRun('10', c.args, { ...c, program: 'mjs', count });
});

// kestrun.mjs --phantom: every worker runs the blocks through the layers with their own
// materials' data, and the total normalises and names them as Kestrun does. A phantom lost
// on the way to a worker would give water's numbers in its blocks, far beyond the last
// digits; one lost by the total would leave the statistics without the layers. The accurate
// transport's many angles let a history take another turn more often, and at 1.00E+04
// photons one history moves a record by some units: 25 allowed, where water's numbers in
// lung would be thousands apart.
test('kestrun.mjs --phantom: the native slab result file and statistics', () => {
  const count = '1.00E+04';
  const slab = {
    extra: ['ELACC.dat', 'lung20.dat', 'ELACC-lung.dat'],
    written: { 'slab.txt': 'water 1\nlung 3\n' },
    records: 2 * maxDiffering,
    units: 25,
  };
  const cases = [
    { args: ['--threads', '2', '--phantom', 'slab.txt'], ...slab },
    { args: ['--phantom', 'slab.txt', '--seed', '7', '--threads', '3'], ...slab },
    {
      args: ['--threads', '2', '--phantom', 'slab.txt'],
      ...slab,
      extra: ['ELACC.dat', 'bone20.dat', 'ELACC-bone.dat'],
      written: { 'slab.txt': 'water 2\nbone 2\n' },
    },
    { args: ['--phantom', 'slab.txt'], ...slab, records: maxDiffering },
  ];
  for (const c of cases) expectSameRun('10', c.args, { ...c, program: 'mjs', count });
});

// What ends a run early ends it alike on both: the exit status (a script relies on it) and
// the words. The WebAssembly engine must catch an input error, not abort on it.
test('errors and options end with the native status and text', () => {
  const cases = [
    { name: 'usage', args: ['--help'], energy: null },
    { name: 'version', args: ['--version'], energy: null },
    { name: 'bad option', args: ['--threads', 'x'], energy: null },
    { name: 'no Joken.dat', args: [], energy: null },
    { name: 'no physics tables', args: [], energy: null, remove: ['water20.dat'] },
    { name: 'spectrum missing', args: [], energy: '10', remove: ['10MV.csv'] },
    { name: 'bad photon total', args: [], energy: '10', joken: '10MV.csv\r\nr.data\r\nlots\r\n' },
    { name: 'result over an input', args: [], energy: '10', joken: '10MV.csv\r\nELDAT.dat\r\n1.00E+03\r\n' },
    // kestrun.mjs hands a refused command line to Kestrun's own words, with threads too.
    { name: 'bad option (kestrun.mjs)', args: ['--threads', 'x'], energy: null, program: 'mjs' },
    { name: 'unknown part', args: ['--threads', '2', '--without', 'gamma'], energy: '10', program: 'mjs' },
    { name: 'part missing', args: ['--threads', '2', '--without'], energy: '10', program: 'mjs' },
    { name: 'seed not a number', args: ['--threads', '2', '--seed', '1e3'], energy: '10', program: 'mjs' },
    { name: 'seed too large', args: ['--seed', '2147483648', '--threads', '2'], energy: '10', program: 'mjs' },
    { name: 'seed twice', args: ['--seed', '1', '--threads', '2', '--seed', '1'], energy: '10', program: 'mjs' },
    // A phantom's layers and data are read before any history runs, on worker threads too.
    {
      name: 'phantom missing (threads)',
      args: ['--threads', '2', '--phantom', 'slab.txt'],
      energy: '10',
      program: 'mjs',
    },
    {
      name: 'phantom of an unknown material (threads)',
      args: ['--threads', '2', '--phantom', 'slab.txt'],
      energy: '10',
      written: { 'slab.txt': 'water 1\ncork 3\n' },
      program: 'mjs',
    },
    {
      name: 'phantom without the accurate data (threads)',
      args: ['--threads', '2', '--phantom', 'slab.txt'],
      energy: '10',
      written: { 'slab.txt': 'lung 3\n' },
      program: 'mjs',
    },
    {
      name: 'phantom with a part switched off (threads)',
      args: ['--threads', '2', '--phantom', 'slab.txt', '--without', 'pair'],
      energy: '10',
      written: { 'slab.txt': 'lung 3\n' },
      program: 'mjs',
    },
    // The English console: refused, and its reports in English, as Kestrun --lang en's.
    { name: 'language unknown', args: ['--threads', '2', '--lang', 'fr'], energy: '10', program: 'mjs' },
    { name: 'English, no Joken.dat', args: ['--lang', 'en'], energy: null },
    {
      name: 'English, spectrum missing (threads)',
      args: ['--threads', '2', '--lang', 'en'],
      energy: '10',
      remove: ['10MV.csv'],
      program: 'mjs',
    },
    // On worker threads kestrun.mjs reads the folder itself, and words it as Kestrun does.
    {
      name: 'no physics tables (threads)',
      args: ['--threads', '2'],
      energy: '10',
      remove: ['water20.dat'],
      program: 'mjs',
    },
    {
      name: 'spectrum missing (threads)',
      args: ['--threads', '2'],
      energy: '10',
      remove: ['10MV.csv'],
      program: 'mjs',
    },
    // A result that cannot be written is said before the run, not after it.
    {
      name: 'result name taken by a folder (threads)',
      args: ['--threads', '2'],
      energy: '10',
      folders: ['r.data'],
      program: 'mjs',
    },
    // The statistics' name is guarded as the result's: a user's file there, or a link to
    // another folder, is refused before the run; so is a run of the name going on (its lock
    // held by a live process, as Node's engines hold it).
    { name: 'statistics name held by notes', args: [], energy: '10', written: { 'r.stat': 'my notes\n' } },
    {
      name: 'statistics name held by notes (threads)',
      args: ['--threads', '2'],
      energy: '10',
      written: { 'r.stat': 'my notes\n' },
      program: 'mjs',
    },
    {
      name: 'statistics name a link to another folder',
      args: [],
      energy: '10',
      links: { 'r.stat': '../elsewhere.data' },
    },
    { name: 'a run of the name going on', args: [], energy: '10', written: { '.r.data.lock': `${process.pid}\n` } },
    {
      name: 'a run of the name going on (threads)',
      args: ['--threads', '2'],
      energy: '10',
      written: { '.r.data.lock': `${process.pid}\n` },
      program: 'mjs',
    },
    // A pipe (FIFO) where a file is read is refused, never waited on (Node opens it blocking).
    { name: 'Joken.dat a pipe', args: [], energy: '10', fifos: ['Joken.dat'] },
    { name: 'physics table a pipe', args: [], energy: '10', fifos: ['ELDAT.dat'] },
    { name: 'spectrum a pipe (threads)', args: ['--threads', '2'], energy: '10', fifos: ['10MV.csv'], program: 'mjs' },
    { name: 'version beside a pipe', args: ['--version'], energy: '10', fifos: ['water20.dat'] },
    { name: 'repair beside a pipe', args: ['--init', '--repair'], energy: '10', fifos: ['10MV.csv'] },
    // A damaged data file is restored and kept as NAME.damaged, without hard links.
    { name: 'repair of a damaged file', args: ['--init', '--repair'], energy: '10', damaged: ['10MV.csv'] },
  ];
  for (const c of cases) {
    const result = {};
    for (const program of ['native', 'wasm']) {
      const dir = workingFolder(c.energy);
      try {
        for (const name of c.remove ?? []) fs.rmSync(path.join(dir, name));
        for (const name of c.folders ?? []) fs.mkdirSync(path.join(dir, name));
        for (const name of c.damaged ?? []) fs.writeFileSync(path.join(dir, name), 'damaged\r\n');
        for (const name of c.fifos ?? []) {
          fs.rmSync(path.join(dir, name), { force: true });
          assert.equal(spawnSync('mkfifo', [path.join(dir, name)]).status, 0);
        }
        if (c.joken) fs.writeFileSync(path.join(dir, 'Joken.dat'), c.joken);
        for (const [name, text] of Object.entries(c.written ?? {})) fs.writeFileSync(path.join(dir, name), text);
        for (const [name, target] of Object.entries(c.links ?? {})) fs.symlinkSync(target, path.join(dir, name));
        result[program] = run(program === 'wasm' ? (c.program ?? 'wasm') : program, c.args, dir, 60_000);
        result[program].files = fs.readdirSync(dir).sort();
        result[program].kept = (c.damaged ?? []).map((name) =>
          fs.readFileSync(path.join(dir, `${name}.damaged`), 'latin1'),
        );
      } finally {
        // A reader left waiting on a pipe is let go before the folder goes.
        for (const name of c.fifos ?? []) {
          try {
            fs.closeSync(fs.openSync(path.join(dir, name), fs.constants.O_WRONLY | fs.constants.O_NONBLOCK));
          } catch {
            // no reader waiting
          }
        }
        fs.rmSync(dir, { recursive: true, force: true });
      }
    }
    const { native, wasm } = result;
    assert.equal(wasm.signal, null, `${c.name}: killed by ${wasm.signal}`);
    assert.equal(wasm.status, native.status, `${c.name}: ${wasm.stdout}${wasm.stderr}`);
    assert.equal(dialogue(wasm.stdout), dialogue(native.stdout), c.name);
    assert.equal(wasm.stderr, native.stderr, c.name);
    assert.deepEqual(wasm.files, native.files, `${c.name}: files left`);
    assert.deepEqual(wasm.kept, native.kept, `${c.name}: damaged files kept`);
  }
});

// A console closed under a run (a pipe into `head -1`, a full device): kestrun.mjs on worker
// threads goes on and writes its result, as Kestrun does, and the console it could not write
// is its failure: status 1 and one line on its error output, nothing more (no uncaught EPIPE
// with the minified engine after it). Whether a pipe closed before the last line depends on
// when `head` ends, so that case may also end in success, said by a silent error output.
test('kestrun.mjs --threads with its console closed still writes its result, as Kestrun does', () => {
  const said = 'Kestrun: cannot write to the standard output\n';
  for (const console_ of ['| head -1 >/dev/null', '>/dev/full']) {
    for (const program of ['native', 'mjs']) {
      const dir = workingFolder('10', [], '2.00E+04');
      try {
        const command = program === 'native' ? `"${kestrunNative}"` : `"${process.execPath}" "${kestrunMjs}"`;
        const r = spawnSync(
          'bash',
          ['-c', `${command} --threads 2 </dev/null 2>err.txt ${console_}; echo \${PIPESTATUS[0]}`],
          { cwd: dir, encoding: 'utf8', timeout: 120_000 },
        );
        const err = fs.readFileSync(path.join(dir, 'err.txt'), 'utf8');
        const full = console_.includes('full');
        assert.ok(full ? err === said : err === said || err === '', `${program} ${console_}: ${err}`);
        assert.equal(r.stdout.trim(), err === said ? '1' : '0', `${program} ${console_}`);
        assert.equal(readResult(path.join(dir, 'r.data')).length, kRecords, `${program} ${console_}`);
      } finally {
        fs.rmSync(dir, { recursive: true, force: true });
      }
    }
  }
});

// The processes working in `dir` (their current directory).
function processesIn(dir) {
  const pids = [];
  for (const pid of fs.readdirSync('/proc').filter((p) => /^\d+$/.test(p))) {
    try {
      if (fs.readlinkSync(`/proc/${pid}/cwd`) === dir) pids.push(Number(pid));
    } catch {
      // gone, or not ours to see
    }
  }
  return pids;
}

// kestrun.mjs hands the single stream to kestrun.js: a TERM (or Ctrl+C) to it ends that
// run too, which would otherwise go on alone and later replace the result file.
test('TERM to kestrun.mjs ends the kestrun.js run it started', async () => {
  const dir = fs.realpathSync(workingFolder('10', [], '3.00E+07'));
  try {
    const parent = spawn(process.execPath, [kestrunMjs], { cwd: dir, stdio: ['pipe', 'pipe', 'pipe'] });
    let out = '';
    await new Promise((resolve) =>
      parent.stdout.on('data', (d) => {
        out += d;
        if (/\n.*\n.*\n.*\n.*\n/.test(out)) resolve();
      }),
    );
    assert.equal(processesIn(dir).length, 2, 'kestrun.mjs and kestrun.js');
    const ended = new Promise((resolve) => parent.on('exit', resolve));
    parent.kill('SIGTERM');
    await ended;
    await new Promise((resolve) => setTimeout(resolve, 1000));
    const left = processesIn(dir);
    for (const pid of left) process.kill(pid, 'SIGKILL');
    assert.deepEqual(left, [], 'a run left going');
    assert.ok(!fs.existsSync(path.join(dir, 'r.data')));
  } finally {
    fs.rmSync(dir, { recursive: true, force: true });
  }
});

// "--init" finds the data files beside kestrun.js, not beside node.
test('--init lays out a working folder from the files beside kestrun.js', () => {
  const dir = fs.mkdtempSync(path.join(os.tmpdir(), 'kestrun-wasm-init-'));
  try {
    const r = run('wasm', ['--init'], dir);
    assert.equal(r.status, 0, r.stdout + r.stderr);
    for (const name of ['water20.dat', 'ELDAT.dat', 'ELACC.dat', '4MV.csv', '6MV.csv', '10MV.csv', '15MV.csv'])
      assert.deepEqual(
        fs.readFileSync(path.join(dir, name)),
        fs.readFileSync(path.join(path.dirname(kestrunJs), name)),
        name,
      );
    assert.match(fs.readFileSync(path.join(dir, 'Joken.dat'), 'latin1'), /^10MV\.csv\r\n/);
  } finally {
    fs.rmSync(dir, { recursive: true, force: true });
  }
});
