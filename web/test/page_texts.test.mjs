// The explanation pages' texts and figures as the browser edition gets them from the C++ core:
// every text is one Dosavia's translation file knows and translates, and the figures carry
// the numbers of Dosavia's models and of the engine's stored curves.
import { test } from 'node:test';
import assert from 'node:assert/strict';
import { readFileSync } from 'node:fs';
import { createRequire } from 'node:module';
import { dirname, join } from 'node:path';
import { fileURLToPath } from 'node:url';
import { parseTs } from '../tools/make_texts.mjs';

const repo = join(dirname(fileURLToPath(import.meta.url)), '..', '..');
const site = process.env.DOSAVIA_WEB_DIR ?? join(repo, 'build', 'web');
const DosaviaCore = createRequire(import.meta.url)(join(site, 'dosavia_core.js'));
const ts = parseTs(readFileSync(join(repo, 'gui', 'translations', 'dosavia_en.ts'), 'utf8'));
const JAPANESE = /[\u3040-\u30ff\u3400-\u9fff\uff00-\uffef]/;

const core = await DosaviaCore();
const pages = core.pageTexts();

test("each page text is in Dosavia's translation file with an English translation", () => {
  // In reading order, page 6 before the references; the contexts name each page's window.
  assert.deepEqual(
    pages.map((p) => p.page),
    [1, 2, 3, 4, 5, 6, 7],
  );
  assert.deepEqual(
    pages.map((p) => p.context),
    [
      'ExplanationPage1',
      'ExplanationPage2',
      'ExplanationPage3',
      'ExplanationPage4',
      'ExplanationPage5',
      'ExplanationPage6',
      'ReferencesPage',
    ],
  );
  const problems = [];
  for (const page of pages) {
    const texts = [
      page.title,
      ...page.captions,
      ...page.notes.filter(Boolean),
      ...(page.next ? [page.next] : []),
      ...page.lines.filter((l) => !l.kind.startsWith('citation')).map((l) => l.text),
    ];
    for (const ja of texts) {
      const en = ts[page.context]?.[ja];
      if (en === undefined) problems.push(`${page.context} "${ja}" has no source in the translation file`);
      else if (!en.trim() || JAPANESE.test(en)) problems.push(`${page.context} "${ja}" is not translated`);
    }
    // The citations are shown as published, in English, in both languages.
    for (const line of page.lines.filter((l) => l.kind.startsWith('citation')))
      assert.doesNotMatch(line.text, JAPANESE, line.text);
  }
  assert.deepEqual(problems, []);
});

test('the translation file holds no page text the pages have lost', () => {
  // A text of a page's context the table no longer has would be a stale translation: the
  // page would show one text and the file translate another.
  const desktopOnly = new Set(['Fig.2 の画像がありません']);
  for (const page of pages) {
    const used = new Set([page.title, ...page.captions, ...page.notes, page.next, ...page.lines.map((l) => l.text)]);
    const stale = Object.keys(ts[page.context] ?? {}).filter((ja) => !used.has(ja) && !desktopOnly.has(ja));
    assert.deepEqual(stale, [], page.context);
  }
});

test("the figures carry the models' numbers", () => {
  const f = core.pageFigures();
  // The unit-volume model: 25, 50, 75, then kerma (100) without attenuation.
  assert.deepEqual(f.fig4.dose, [25, 50, 75, 100, 100, 100, 100, 100]);
  assert.deepEqual(f.fig3.kerma, Array(8).fill(100));
  assert.equal(f.fig5.attenuated, true);
  assert.ok(f.fig5.dose[5] > f.fig5.kerma[5], 'transient equilibrium: primary dose above primary kerma');
  // Page 5: with electron transport Fig.5's numbers; without it the electrons stay put, so
  // the dose is the kerma from the first volume on and there is no build-up.
  assert.deepEqual(f.fig8.dose, f.fig5.dose);
  assert.equal(f.fig9.range, 1);
  assert.deepEqual(
    f.fig9.dose.map((d) => d.toFixed(9)),
    f.fig9.kerma.map((k) => k.toFixed(9)),
  );
  assert.ok(f.fig9.dose[0] > f.fig8.dose[0], 'no build-up: the first volume gets its whole kerma');
  assert.deepEqual(
    f.fig6.fields.map((x) => [x.volumes, x.dose]),
    [
      [7, 80],
      [5, 60],
      [3, 40],
      [1, 20],
    ],
  );
  // The engine's 10 MV curves: d_max of 10x10 between 2 and 3.5 cm, TMR 1 at its maximum,
  // narrow fields peak shallower and lower than the broad one.
  assert.equal(f.fig1.marked, 10);
  assert.ok(f.fig1.dMax > 2 && f.fig1.dMax < 3.5, `d_max ${f.fig1.dMax}`);
  const tmr10 = f.fig1.curves[1].values;
  assert.ok(Math.abs(Math.max(...tmr10) - 1) < 0.03);
  assert.ok(f.fig1.depth.at(-1) <= 25);
  const [broad, , , narrowest] = f.fig7.curves;
  assert.deepEqual(
    f.fig7.curves.map((c) => c.side),
    [10, 3, 2, 1],
  );
  assert.ok(narrowest.peakDepth < broad.peakDepth);
  assert.ok(narrowest.peakValue < broad.peakValue);
  assert.ok(f.fig7.depth.at(-1) <= 10);
  // The slab phantoms: a narrow 15 MV field in lung far below water's dose, a broad one near it.
  const at = (curve, cm) => curve.values[Math.round((cm - 0.05) / 0.1)];
  const [lung1, lung10, water1, water10] = f.fig10.curves;
  assert.deepEqual(
    f.fig10.bands.map((b) => [b.material, b.from, b.to]),
    [['lung', 3, 13]],
  );
  assert.ok(at(lung1, 8) < 0.8 * at(water1, 8), 'the 1x1 field loses dose in lung');
  assert.ok(Math.abs(at(lung10, 8) / at(water10, 8) - 1) < 0.1, 'the 10x10 field keeps it');
  assert.deepEqual([f.fig11.energy, f.fig12.energy, f.fig12.curves.length], [15, 6, 3]);
});
