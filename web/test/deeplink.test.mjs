// Deep links preset the page; a value that cannot be used falls back to the default and is
// reported, so a mistyped link on a slide still opens a working page.
import { test } from 'node:test';
import assert from 'node:assert/strict';
import { createRequire } from 'node:module';
import { dirname, join } from 'node:path';
import { fileURLToPath } from 'node:url';
import { pathToFileURL } from 'node:url';

// Links read their counts with the core's rule, as the page does; the module as built (its
// field sizes are generated from the C++).
const site = process.env.DOSAVIA_WEB_DIR ?? join(dirname(fileURLToPath(import.meta.url)), '..', '..', 'build', 'web');
const {
  parseDeepLink: parseWith,
  LINK_DEFAULTS,
  openingValues,
} = await import(pathToFileURL(join(site, 'deeplink.js')).href);
const core = await createRequire(import.meta.url)(join(site, 'dosavia_core.js'))();
const parseDeepLink = (search) => parseWith(search, { core });
const defaults = (screen) => ({ ...LINK_DEFAULTS, ...openingValues(core, screen) });

// The screens open as Dosavia's do, from the core's one table: no value of the page's own.
test("a link without values opens the screens with the core's opening values", () => {
  const visual = core.visualOpening();
  const engine = core.engineOpening();
  const opened = (screen) => parseDeepLink(`?screen=${screen}`).values;
  assert.deepEqual(
    [opened('visual').energy, opened('visual').field, opened('visual').photons, opened('visual').mono],
    [visual.energy, visual.fieldSide, Number(visual.photons), visual.monoMeV],
  );
  assert.equal(`${opened('visual').field}×${opened('visual').field}`, visual.field);
  assert.deepEqual(
    [opened('engine').energy, opened('engine').field, opened('engine').photons, opened('engine').ssd],
    [engine.energy, engine.fieldSide, Number(engine.photons), engine.ssd],
  );
  assert.deepEqual(opened('visual').without, []);
});

test('usable values are taken', () => {
  const { values, problems } = parseDeepLink(
    '?screen=visual&lang=en&energy=15&field=1&photons=500&step=0&go=1&seed=4711',
  );
  assert.deepEqual(problems, []);
  assert.deepEqual(values, {
    ...defaults('visual'),
    screen: 'visual',
    lang: 'en',
    energy: '15',
    field: 1,
    photons: 500,
    step: 0,
    go: 1,
    seed: '4711',
  });
  // The engine's point source at an SSD of 50 to 150 cm, as Dosavia --plot --ssd takes it.
  for (const [typed, ssd] of [
    ['100', 100],
    ['50', 50],
    ['150', 150],
    ['87.5', 87.5],
  ])
    assert.deepEqual(parseDeepLink(`?screen=engine&ssd=${typed}`).values.ssd, ssd, typed);
  for (const screen of ['engine', 'visual'])
    assert.equal(parseDeepLink(`?screen=${screen}&accurate=1`).values.accurate, 1, screen);
  for (const [query, fade] of [
    ['screen=visual', 1],
    ['screen=visual&fade=0', 0],
  ])
    assert.equal(parseDeepLink(`?${query}`).values.fade, fade, query);
  // A phantom by a preset's key or its layers written out, read by the core's rule.
  for (const phantom of ['lung', 'bone', 'water:2,air:3', 'bolus:1.5'])
    assert.equal(parseDeepLink(`?screen=visual&phantom=${phantom}`).values.phantom, phantom, phantom);
  // A seed as Kestrun's --seed reads it: the whole range, leading zeros read away.
  for (const [typed, seed] of [
    ['0', '0'],
    ['2147483647', '2147483647'],
    ['007', '7'],
    ['00000000005', '5'],
    ['000', '0'],
  ])
    assert.equal(parseDeepLink(`?seed=${typed}`).values.seed, seed, typed);
});

test('bad values are reported and replaced by the defaults', () => {
  const cases = [
    ['energy=12', 'energy'],
    ['field=7', 'field'],
    ['field=10x10', 'field'],
    ['photons=-5', 'photons'],
    ['photons=1e9', 'photons'],
    ['photons=abc', 'photons'],
    ['lang=fr', 'lang'],
    ['go=yes', 'go'],
    ['screen=admin', 'screen'],
    ['screen=lesson&lesson=gamma', 'lesson'],
    ['mono=-1', 'mono'],
    ['step=2', 'step'],
    ['photons=2e6', 'photons'],
    ['photons=1,5e5', 'photons'],
    ['photons=0', 'photons'],
    ['seed=2147483648', 'seed'],
    ['seed=-1', 'seed'],
    ['seed=1e3', 'seed'],
    ['seed=12a', 'seed'],
    ['seed=', 'seed'],
    ['seed=99999999999999999999', 'seed'],
    ['seed=%EF%BC%95', 'seed'],
    ['screen=engine&ssd=49', 'ssd'],
    ['screen=engine&ssd=151', 'ssd'],
    ['screen=engine&ssd=1e2', 'ssd'],
    ['screen=engine&ssd=abc', 'ssd'],
    ['screen=visual&ssd=100', 'ssd'],
    ['screen=engine&accurate=yes', 'accurate'],
    ['screen=visual&fade=off', 'fade'],
    ['screen=engine&accurate=1&without=pair', 'accurate'],
    ['screen=visual&without=pair&accurate=1', 'accurate'],
    ['screen=visual&phantom=lung%2010', 'phantom'],
    ['screen=visual&phantom=water:2,', 'phantom'],
    ['screen=visual&phantom=water:', 'phantom'],
    // Given twice, differently: neither applied, said once.
    ['screen=engine&ssd=100&ssd=abc', 'ssd'],
    ['seed=1&seed=2', 'seed'],
    ['screen=visual&field=1&field=2', 'field'],
  ];
  for (const [query, name] of cases) {
    const { values, problems } = parseDeepLink(`?${query}`);
    assert.deepEqual(
      problems.map((p) => p.name),
      [name],
      query,
    );
    assert.deepEqual(values[name], defaults(values.screen)[name], query);
  }
});

test('counts are read as a typed count is: exponents, digit grouping, full-width digits', () => {
  const cases = [
    ['1e5', 1e5],
    ['1e6', 1e6],
    ['3e5', 3e5],
    ['100000', 1e5],
    ['1,000,000', 1e6],
    ['1%2C000%2C000', 1e6],
    ['%EF%BC%91%EF%BD%85%EF%BC%95', 1e5],
  ];
  for (const [typed, photons] of cases) {
    const { values, problems } = parseDeepLink(`?screen=visual&photons=${typed}`);
    assert.deepEqual(problems, [], typed);
    assert.equal(values.photons, photons, typed);
  }
});

test('a mono-energetic energy alone selects the mono-energetic beam', () => {
  assert.equal(parseDeepLink('?mono=2.5').values.energy, 'mono');
  assert.equal(parseDeepLink('?mono=2.5').values.mono, 2.5);
  assert.equal(parseDeepLink('?mono=2.5&energy=6').values.energy, '6');
  assert.equal(parseDeepLink('?mono=abc').values.energy, '10');
});

test('a value given twice alike is taken', () => {
  const { values, problems } = parseDeepLink('?seed=5&seed=5&screen=engine&ssd=100&ssd=100');
  assert.deepEqual(problems, []);
  assert.equal(values.seed, '5');
  assert.equal(values.ssd, 100);
});

test('unknown parameters are left to other screens', () => {
  assert.deepEqual(parseDeepLink('?utm_source=slide&run=1').problems, []);
});

test('parts of the physics to switch off are read as a list', () => {
  assert.deepEqual(parseDeepLink('?without=electron-transport,pair').values.without, ['electron-transport', 'pair']);
  assert.deepEqual(parseDeepLink('?without=electron-transport&without=pair,electron-transport').values.without, [
    'electron-transport',
    'pair',
  ]);
  assert.deepEqual(
    parseDeepLink('?without=Electron%20transport').problems.map((p) => p.name),
    ['without'],
  );
});
