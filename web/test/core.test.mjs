// The C++ core as WebAssembly (the module the page's worker loads) against the native
// double-precision build of the same code: the visual batch must give the same physics.
import { test } from 'node:test';
import assert from 'node:assert/strict';
import { execFileSync } from 'node:child_process';
import { existsSync, readFileSync } from 'node:fs';
import { createRequire } from 'node:module';
import { fileURLToPath } from 'node:url';
import { dirname, join } from 'node:path';

const repo = join(dirname(fileURLToPath(import.meta.url)), '..', '..');
const site = process.env.DOSAVIA_WEB_DIR ?? join(repo, 'build', 'web');
const probe = process.env.DOSAVIA_VISUAL_PROBE ?? join(repo, 'build', 'tests', 'models', 'visual_batch_probe');
const require = createRequire(import.meta.url);
const DosaviaCore = require(join(site, 'dosavia_core.js'));

const GROUPS = 16;
const SLABS = 300;

async function wasmRun(spectrum, field, photons) {
  const m = await DosaviaCore();
  const core = new m.VisualCore();
  assert.equal(core.init(), '');
  // OK with the beam, then Go on seed 0, the fixed sequence the native probe runs.
  assert.equal(core.confirm(spectrum.replace('MV.csv', ''), `${field}×${field}`, 0).error, '');
  assert.equal(core.beginBatch('0'), 0);
  core.run(photons);
  return {
    incident: core.incidentKeV(),
    deposited: core.depositedKeV(),
    escaped: core.escapedKeV(),
    tally: Array.from(core.rawTally()),
    spectrum: Array.from(core.spectrumCounts()),
    core,
    m,
  };
}

function nativeRun(spectrum, field, photons) {
  const out = execFileSync(probe, [join(repo, 'data'), spectrum, String(field), String(photons)], {
    maxBuffer: 1 << 26,
  });
  return JSON.parse(out);
}

// Sums of 1 cm bins (10 slabs) of one kind (0 dose, 1 kerma) per group: [group][bin].
function coarse(tally, kind) {
  const groups = [];
  for (let g = 0; g < GROUPS; g++) {
    const bins = new Array(30).fill(0);
    for (let k = 0; k < SLABS; k++) bins[Math.floor(k / 10)] += tally[kind * GROUPS * SLABS + g * SLABS + k];
    groups.push(bins);
  }
  return groups;
}

// Total per bin and the variance of that total from the scatter of the group sums.
function totals(groups) {
  return groups[0].map((_, i) => {
    const values = groups.map((g) => g[i]);
    const mean = values.reduce((a, b) => a + b, 0) / GROUPS;
    const variance = values.reduce((a, b) => a + (b - mean) ** 2, 0) / (GROUPS - 1);
    return { sum: mean * GROUPS, variance: variance * GROUPS };
  });
}

function chiSquare(a, b) {
  let chi2 = 0;
  let dof = 0;
  for (let i = 0; i < a.length; i++) {
    const v = a[i].variance + b[i].variance;
    if (!(v > 0)) continue;
    chi2 += (a[i].sum - b[i].sum) ** 2 / v;
    dof++;
  }
  return { chi2, dof };
}

test('every incident keV is deposited in the water or carried out of it', async () => {
  for (const [spectrum, field] of [
    ['4MV.csv', 1],
    ['15MV.csv', 10],
  ]) {
    const run = await wasmRun(spectrum, field, 3000);
    assert.ok(run.incident > 0);
    assert.ok(Math.abs(run.deposited + run.escaped - run.incident) < 1e-9 * run.incident, spectrum);
  }
});

test(
  'the depth-dose tally agrees with the native build within statistical limits',
  { skip: !existsSync(probe) && 'native probe not built' },
  async () => {
    const photons = 20000;
    const wasm = await wasmRun('10MV.csv', 10, photons);
    const native = nativeRun('10MV.csv', 10, photons);
    for (const kind of [0, 1]) {
      const { chi2, dof } = chiSquare(totals(coarse(wasm.tally, kind)), totals(coarse(native.tally, kind)));
      assert.ok(dof >= 20, `kind ${kind}: ${dof} bins`);
      // Two independent estimates of one curve: chi-square about dof; 2 dof would be p < 1e-4.
      assert.ok(chi2 < 2 * dof, `kind ${kind}: chi2 ${chi2.toFixed(1)} over ${dof} bins`);
    }
    // The energy bookkeeping of both builds: the same share deposited, within its noise.
    const share = (r) => r.deposited / r.incident;
    assert.ok(Math.abs(share(wasm) - share(native)) < 0.02, `${share(wasm)} vs ${share(native)}`);
  },
);

test('with the fade off a long call keeps every track and washes nothing', async () => {
  const drawn = {};
  for (const fading of [true, false]) {
    const m = await DosaviaCore();
    const core = new m.VisualCore();
    assert.equal(core.init(), '');
    assert.equal(core.confirm('10', '10×10', 0).error, '');
    core.setFading(fading);
    assert.equal(core.beginBatch('0'), 0);
    core.run(2000);
    drawn[fading] = core.segments().length;
    assert.equal(core.wash() > 0, fading, `fading ${fading}: wash ${core.wash()}`);
  }
  // The same photons: with the fade on only the newest 1200 of them are worth drawing.
  assert.ok(drawn[false] > drawn[true] * 1.4, `${drawn[false]} against ${drawn[true]} segments`);
});

test('the spectrum histogram follows the spectrum file', async () => {
  const photons = 20000;
  const wasm = await wasmRun('6MV.csv', 4, photons);
  const weights = readFileSync(join(repo, 'data', '6MV.csv'), 'utf8')
    .trim()
    .split(/\r?\n/)
    .map((l) => Number(l.split(',')[1]));
  const total = weights.reduce((a, b) => a + b, 0);
  // 1 MeV groups of 20 bins with at least 20 expected photons.
  let chi2 = 0;
  let dof = 0;
  for (let g = 0; g < 20; g++) {
    let expected = 0;
    let seen = 0;
    for (let q = 20 * g; q < 20 * g + 20; q++) {
      expected += (photons * weights[q]) / total;
      seen += wasm.spectrum[q];
    }
    if (expected < 20) continue;
    chi2 += (seen - expected) ** 2 / expected;
    dof++;
  }
  assert.ok(dof >= 4);
  assert.ok(chi2 < 3 * dof, `chi2 ${chi2.toFixed(1)} over ${dof} groups`);
  assert.equal(
    wasm.spectrum.reduce((a, b) => a + b, 0),
    photons,
  );
});

test('typed counts and fields are read as Dosavia reads them', async () => {
  const m = await DosaviaCore();
  // The engine screen's rule on every screen: "30,000" is never 30 photons.
  const counts = [
    ['500', 500],
    [' 1 000 ', 1000],
    ['1.5E6', 1.5e6],
    ['30,000', 30000],
    ['１，０００'.normalize('NFKC'), 1000],
    ['1e5', 1e5],
    ['abc', -1],
    ['1e5x', -1],
    ['1,5E6', -1],
  ];
  for (const [typed, value] of counts) assert.equal(m.typedCount(typed), value, typed);
  const fields = [
    ['10x10', 10],
    ['4*4', 4],
    [' 1 × 1 ', 1],
    ['7x7', 0],
    ['１０ｘ１０'.normalize('NFKC'), 10],
  ];
  for (const [typed, side] of fields) assert.equal(m.typedFieldSide(typed), side, typed);
});

test('a batch stops where it is asked and the d_max comes with its uncertainty', async () => {
  const run = await wasmRun('15MV.csv', 10, 0);
  const { core } = run;
  assert.equal(core.run(0), 0);
  assert.equal(core.depthDose(true).hasMaximum, false);
  core.run(8000);
  const curve = core.depthDose(true);
  assert.equal(curve.photons, 8000);
  assert.ok(curve.hasMaximum);
  assert.ok(curve.dmaxSigmaCm > 0 && curve.dmaxSigmaCm < 10, `sigma ${curve.dmaxSigmaCm}`);
  // The dose fit only as deep as its bins take part in it (12 cm, as the desktop draws it):
  // drawn further it strays from the bars it never saw. The kerma fit spans the phantom.
  assert.equal(curve.doseFit.length, 121);
  assert.equal(curve.kermaFit.length, 301);
  // The primary part of the dose reaches the page bin for bin, never above the total.
  assert.equal(curve.primary.length, curve.dose.length);
  assert.ok(curve.primary.some((v) => v > 0));
  curve.primary.forEach((v, i) => assert.ok(v >= 0 && v <= curve.dose[i] + 1e-9, `bin ${i}: ${v} > ${curve.dose[i]}`));
  assert.equal(core.total(), 8000);
});

// The engine screen's layer editor: the rows as typed, read by the same session as Dosavia's
// editor over the phantom in force. Rows that read become the phantom (its link, result mark,
// file text and bands); rows the engine would refuse are named by row and field in the page's
// language, and the phantom before them stays.
test("the layer editor's rows become the phantom or are refused by row and field", async () => {
  const m = await DosaviaCore();
  const rows = (text) =>
    text ? text.split('|').map((r) => ({ material: r.split(':')[0], thickness: r.split(':')[1] })) : [];
  const cases = [
    // before, rows, link, mark, text, bands, words of the refusal ('' none)
    ['water', 'water:3|lung:10', 'lung', 'lung', 'water 3\nlung 10\n', 'lung 3-13', ''],
    ['lung', 'water:2|air:3', 'water:2,air:3', 'slab', 'water 2\nair 3\n', 'air 2-5', ''],
    ['water', 'bone:1|bone:1.5', 'bone:1,bone:1.5', 'slab', 'bone 1\nbone 1.5\n', 'bone 0-2.5', ''],
    ['lung', 'water:5', 'water', '', '', '', ''],
    ['bone', 'water:2|lung:-1', 'bone', 'bone', 'water 2\nbone 2\n', 'bone 2-4', 'line 2'],
    ['bone', 'water:2|lung:x', 'bone', 'bone', 'water 2\nbone 2\n', 'bone 2-4', 'line 2'],
    ['water:2,air:3', 'water:20|lung:11', 'water:2,air:3', 'slab', 'water 2\nair 3\n', 'air 2-5', '30'],
    ['lung', 'glass:2', 'lung', 'lung', 'water 3\nlung 10\n', 'lung 3-13', 'glass'],
    ['lung', 'water:2|#lung:3', 'lung', 'lung', 'water 3\nlung 10\n', 'lung 3-13', 'line 2'],
    ['lung', '', 'lung', 'lung', 'water 3\nlung 10\n', 'lung 3-13', 'Phantom.dat'],
  ];
  for (const lang of ['en', 'ja']) {
    m.setReportLanguage(lang);
    for (const [before, typed, link, mark, text, bands, refusal] of cases) {
      const what = `${lang}: ${before} + ${typed}`;
      const answer = m.editEnginePhantom(before, rows(typed));
      assert.equal(answer.link, link, what);
      assert.equal(answer.mark, mark, what);
      assert.equal(answer.text, text, what);
      assert.equal(answer.bands.map((b) => `${b.material} ${b.top}-${b.bottom}`).join(','), bands, what);
      assert.equal(answer.error !== '', refusal !== '', `${what}: ${answer.error}`);
      if (lang === 'en') assert.ok(answer.error.includes(refusal), `${what}: ${answer.error}`);
      // The editor reopens on rows that read back as the phantom in force.
      if (!answer.error && link !== 'water') assert.equal(m.editEnginePhantom('water', answer.rows).link, link, what);
    }
  }
  // A cell that is no text is an empty one, named by its row; the phantom before stays.
  m.setReportLanguage('en');
  const odd = m.editEnginePhantom('lung', [{ material: 'water', thickness: 3 }, { material: null }]);
  assert.deepEqual([odd.link, /line 1/.test(odd.error)], ['lung', true], odd.error);
  // A refusal is worded in the page's language: the same rows, two sentences.
  m.setReportLanguage('en');
  const english = m.editEnginePhantom('water', rows('water:2|lung:-1')).error;
  m.setReportLanguage('ja');
  const japanese = m.editEnginePhantom('water', rows('water:2|lung:-1')).error;
  assert.notEqual(english, japanese);
  assert.match(japanese, /[\u3040-\u30ff]/);
  // The editor's choice of materials: every one the engine reads, named in the page's language.
  assert.deepEqual(
    m.phantomMaterials(true).map((x) => `${x.material}=${x.name}`),
    ['water=water', 'lung=lung', 'bone=bone', 'air=air', 'bolus=bolus'],
  );
  assert.deepEqual(
    m.phantomMaterials(false).map((x) => x.name),
    ['水', '肺', '骨', '空気', 'ボーラス'],
  );
});
