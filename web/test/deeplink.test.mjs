// Deep links preset the page; a value that cannot be used falls back to the default and is
// reported, so a mistyped link on a slide still opens a working page.
import { test } from 'node:test';
import assert from 'node:assert/strict';
import { parseDeepLink, VISUAL_DEFAULTS } from '../src/deeplink.js';

test('usable values are taken', () => {
  const { values, problems } = parseDeepLink('?screen=visual&lang=en&energy=15&field=1&photons=500&step=0&go=1');
  assert.deepEqual(problems, []);
  assert.deepEqual(values, { ...VISUAL_DEFAULTS, screen: 'visual', lang: 'en', energy: '15', field: 1, photons: 500, step: 0, go: 1 });
});

test('bad values are reported and replaced by the defaults', () => {
  const cases = [
    ['energy=12', 'energy'], ['field=7', 'field'], ['field=10x10', 'field'], ['photons=-5', 'photons'],
    ['photons=1e9', 'photons'], ['photons=abc', 'photons'], ['lang=fr', 'lang'], ['go=yes', 'go'],
    ['screen=admin', 'screen'], ['mono=0.01', 'mono'], ['step=2', 'step'],
  ];
  for (const [query, name] of cases) {
    const { values, problems } = parseDeepLink(`?${query}`);
    assert.deepEqual(problems.map((p) => p.name), [name], query);
    assert.equal(values[name], VISUAL_DEFAULTS[name], query);
  }
});

test('a mono-energetic energy alone selects the mono-energetic beam', () => {
  assert.equal(parseDeepLink('?mono=2.5').values.energy, 'mono');
  assert.equal(parseDeepLink('?mono=2.5').values.mono, 2.5);
  assert.equal(parseDeepLink('?mono=2.5&energy=6').values.energy, '6');
  assert.equal(parseDeepLink('?mono=99').values.energy, '10');
});

test('unknown parameters are left to other screens', () => {
  assert.deepEqual(parseDeepLink('?utm_source=slide&run=1').problems, []);
});

test('parts of the physics to switch off are read as a list', () => {
  assert.deepEqual(parseDeepLink('?without=electron-transport,pair').values.without, ['electron-transport', 'pair']);
  assert.deepEqual(parseDeepLink('?without=electron-transport&without=pair,electron-transport').values.without, ['electron-transport', 'pair']);
  assert.deepEqual(parseDeepLink('?without=Electron%20transport').problems.map((p) => p.name), ['without']);
});
