// The lesson sheets (docs/lesson_buildup_*.md): every link they give opens a valid state of
// the site, and the simulation still gives the answers they state.
import { test } from 'node:test';
import assert from 'node:assert/strict';
import { readFileSync } from 'node:fs';
import { dirname, join } from 'node:path';
import { fileURLToPath, pathToFileURL } from 'node:url';
import { CHROMIUM, openPage, serveSiteInChromium } from './browser_support.mjs';

const repo = join(dirname(fileURLToPath(import.meta.url)), '..', '..');
const site = process.env.DOSAVIA_WEB_DIR ?? join(repo, 'build', 'web');
// The module as built: its field sizes are generated from the C++.
const { parseDeepLink } = await import(pathToFileURL(join(site, 'deeplink.js')).href);
const SHEETS = ['lesson_buildup_ja.md', 'lesson_buildup_en.md'];
// The engine screen's links: documented, run once that screen is in the site.
const ENGINE_PARAMETERS = new Set(['screen', 'lang', 'energy', 'photons', 'field', 'run']);

function links(sheet) {
  const text = readFileSync(join(repo, 'docs', sheet), 'utf8');
  return [...new Set([...text.matchAll(/index\.html\?screen=[^\s)`\]]+/g)].map((m) => m[0]))];
}

test('every link of the lesson sheets is a valid deep link', () => {
  for (const sheet of SHEETS) {
    const all = links(sheet);
    assert.ok(all.length >= 12, `${sheet}: ${all.length} links`);
    for (const link of all) {
      const query = link.slice('index.html'.length);
      const params = new URLSearchParams(query);
      if (params.get('screen') === 'engine') {
        for (const name of params.keys()) assert.ok(ENGINE_PARAMETERS.has(name), `${sheet}: ${link}`);
        continue;
      }
      assert.deepEqual(parseDeepLink(query).problems, [], `${sheet}: ${link}`);
      assert.equal(params.get('lang'), sheet.includes('_ja') ? 'ja' : 'en', `${sheet}: ${link} in the sheet's language`);
    }
  }
});

// d_max the sheets state for the visual screen's 100000-photon runs [cm] (the mean of 16
// runs), and how far one run may stray from it: three times the run-to-run standard
// deviation the sheet gives.
const ANSWERS = [
  { energy: '4', field: 10, dMax: 1.5, tolerance: 0.9 },
  { energy: '15', field: 10, dMax: 3.8, tolerance: 0.9 },
  { energy: '10', field: 10, dMax: 2.9, tolerance: 1.05 },
  { energy: '10', field: 1, dMax: 2.1, tolerance: 0.75 },
];

let url;
let browser;
serveSiteInChromium(site, (opened) => ({ url, browser } = opened));

test('the simulation gives the d_max the sheets state', { skip: !CHROMIUM && 'Debian chromium not installed' }, async () => {
  const en = links('lesson_buildup_en.md');
  for (const a of ANSWERS) {
    const link = en.find((l) => l.includes(`energy=${a.energy}&field=${a.field}&photons=100000&step=0&go=1`));
    assert.ok(link, `the sheet runs ${a.energy} MV, ${a.field}x${a.field}`);
    const { page, errors } = await openPage(browser, url + link, 1024, 768);
    await page.waitForFunction(() => document.getElementById('total').value === '100000' && document.getElementById('stop').disabled, { timeout: 60000 });
    const note = await page.$eval('#depth-note', (p) => p.textContent);
    const m = note.match(/d_max = ([\d.]+) ± ([\d.]+) cm/);
    assert.ok(m, note);
    assert.ok(Math.abs(Number(m[1]) - a.dMax) <= a.tolerance, `${a.energy} MV ${a.field}x${a.field}: ${note}`);
    assert.equal(await page.$eval('#notice', (n) => n.hidden), true, 'the link is used as it is');
    assert.deepEqual(errors, []);
    await page.close();
  }
});
