// The engine screen in headless Chromium: a deep-linked run finishes on the workers, draws
// its curves and fills the table; the file is the one kestrun.mjs writes with any number of
// workers; Stop ends a run without a result; the PNG and the CSV come down with the chosen
// size and Dosavia's headers; a result kept in IndexedDB is listed on the next visit and can
// be removed. Screenshots for the README with DOSAVIA_SCREENSHOTS=<folder>.
import { test } from 'node:test';
import assert from 'node:assert/strict';
import { spawnSync } from 'node:child_process';
import fs from 'node:fs';
import { createRequire } from 'node:module';
import os from 'node:os';
import { dirname, join } from 'node:path';
import { fileURLToPath } from 'node:url';
import { CHROMIUM, openPage, serveSiteInChromium } from './browser_support.mjs';

const repo = join(dirname(fileURLToPath(import.meta.url)), '..', '..');
const site = process.env.DOSAVIA_WEB_DIR ?? join(repo, 'build', 'web');
const shots = process.env.DOSAVIA_SCREENSHOTS;
const skip = !CHROMIUM && 'Debian chromium not installed';

// The value table's cells that the core words for a result file's field column, as
// Dosavia's table and picture show them, measured with the run's statistics when given, of
// the parallel beam or (ssd > 0) of a point source at that SSD.
async function coreCells(text, name, column, statistics, ssd = 0) {
  const core = await createRequire(import.meta.url)(join(site, 'kestrun_core.js'))();
  core.setReportLanguage('en');
  const library = new core.ResultLibrary();
  const { id } = library.open(text, name);
  if (statistics) assert.equal(library.attachStatistics(id, statistics, 'r.stat'), '');
  const { dmax, surface, d10, tpr } = library.tableRow(id, column, ssd).cells;
  return [dmax, surface, d10, tpr];
}

// A run of kestrun.mjs on 2 worker threads in a fresh folder for 10 MV: the text of the
// file it writes under `name`, and with `withStatistics`, { data, statistics } (NAME.stat).
// `phantom`: { file, text, data } of a phantom run, its materials' data files copied too.
function nodeRun(count, args, name, withStatistics = false, phantom = null) {
  const work = fs.mkdtempSync(join(os.tmpdir(), 'dosavia-node-'));
  for (const f of ['water20.dat', 'ELDAT.dat', 'ELACC.dat', '10MV.csv', ...(phantom?.data ?? [])])
    fs.copyFileSync(join(repo, 'data', f), join(work, f));
  if (phantom) fs.writeFileSync(join(work, phantom.file), phantom.text);
  fs.writeFileSync(
    join(work, 'Joken.dat'),
    `10MV.csv\r\n10MV-${count}.data\r\n${count === '100K' ? '1.00E+05' : '2.00E+04'}\r\n`,
  );
  const r = spawnSync(process.execPath, [join(site, 'kestrun.mjs'), '--threads', '2', ...args], {
    cwd: work,
    input: '\n',
  });
  // An engine that ends before reading its Enter breaks the pipe: the status says the rest.
  if (r.error && r.error.code !== 'EPIPE') throw r.error;
  assert.equal(r.status, 0, String(r.stdout));
  const data = fs.readFileSync(join(work, name), 'latin1');
  if (!withStatistics) return data;
  return { data, statistics: fs.readFileSync(join(work, name.replace(/\.data$/, '.stat')), 'latin1') };
}

let url;
let browser;
serveSiteInChromium(site, (opened) => ({ url, browser } = opened));

async function downloadsTo(page) {
  const dir = fs.mkdtempSync(join(os.tmpdir(), 'dosavia-dl-'));
  const session = await page.createCDPSession();
  await session.send('Browser.setDownloadBehavior', { behavior: 'allow', downloadPath: dir, eventsEnabled: true });
  return dir;
}

async function waitForFile(dir, name, timeout = 20000) {
  const end = Date.now() + timeout;
  while (Date.now() < end) {
    const file = join(dir, name);
    if (fs.existsSync(file) && fs.statSync(file).size > 0 && !fs.existsSync(`${file}.crdownload`))
      return fs.readFileSync(file);
    await new Promise((r) => setTimeout(r, 100));
  }
  throw new Error(`${name} did not come down`);
}

async function waitForRun(page, timeout = 120000) {
  await page.waitForFunction(
    () => document.getElementById('e-stop').disabled && document.querySelectorAll('#e-table tbody tr').length > 0,
    { timeout },
  );
}

test(
  'a deep-linked run finishes, draws, fills the table, and its downloads are sound',
  { skip, timeout: 300000 },
  async () => {
    const { page, errors } = await openPage(
      browser,
      `${url}?screen=engine&lang=en&energy=10&photons=100000&field=10&run=1`,
      1024,
      768,
    );
    const dir = await downloadsTo(page);
    await waitForRun(page);
    const status = await page.$eval('#e-status', (e) => e.textContent);
    assert.match(status, /Finished: 10MV-100K\.data/);
    const cells = await page.$$eval('#e-table tbody tr td', (tds) => tds.map((t) => t.textContent));
    assert.equal(cells[0], '10 MV, 10 × 10 cm, 10MV-100K.data');
    // Measured from the run's history groups: no "*", TPR20,10 with its uncertainty, and no
    // note on estimates under the table.
    assert.match(cells[1], /^\d\.\d\d ± \d\.\d\d$/);
    assert.match(cells[4], /^0\.\d{3} ± 0\.\d{3}$/);
    assert.ok(Number(cells[4].split(' ')[0]) > 0.6 && Number(cells[4].split(' ')[0]) < 0.8, cells[4]);
    assert.equal(await page.$eval('#e-table-note', (e) => e.hidden), true);
    // The first set's colour, as the core gave it to the page, is on the graph.
    const blue = await page.$eval('#e-graph', async (c) => {
      const first = (await import(new URL('engine_draw.js', document.baseURI).href)).setColor(0);
      const rgb = [1, 3, 5].map((k) => parseInt(first.slice(k, k + 2), 16));
      const d = c.getContext('2d').getImageData(0, 0, c.width, c.height).data;
      let n = 0;
      for (let i = 0; i < d.length; i += 4) if (rgb.every((v, k) => Math.abs(d[i + k] - v) < 30)) n++;
      return n;
    });
    assert.ok(blue > 300, `${blue} pixels of the set's colour`);
    if (shots) await page.screenshot({ path: join(shots, 'web_engine_1024.png') });
    // The pointer over the graph reads the depth and the set's doses there, with the run's
    // measured ±; leaving the graph takes the reading away.
    const graph = await page.$eval('#e-graph', (c) => {
      const r = c.getBoundingClientRect();
      return { x: r.left + r.width / 2, y: r.top + r.height / 2 };
    });
    await page.mouse.move(graph.x, graph.y);
    await page.waitForFunction(() => !document.getElementById('e-probe').hidden, { timeout: 10000 });
    assert.match(
      await page.$eval('#e-probe', (e) => e.textContent),
      /^depth \d+\.\d5 cm\n10 MV, 10 × 10 cm, 10MV-100K\.data: total \d+\.\d ± \d+\.\d {2}primary \d+\.\d/,
    );
    await page.mouse.move(2, 2);
    await page.waitForFunction(() => document.getElementById('e-probe').hidden, { timeout: 10000 });

    // The browser's file and its run statistics equal kestrun.mjs's for the same conditions,
    // 2 workers there.
    await page.click('button[aria-label="Download 10MV-100K.data"]');
    const data = (await waitForFile(dir, '10MV-100K.data')).toString('latin1');
    await page.click('button[aria-label="Download 10MV-100K.stat"]');
    const statistics = (await waitForFile(dir, '10MV-100K.stat')).toString('latin1');
    assert.deepEqual({ data, statistics }, nodeRun('100K', [], '10MV-100K.data', true));
    // The table shows the core's wording of the 10 x 10 cm column, Dosavia's.
    assert.deepEqual(cells.slice(1), await coreCells(data, '10MV-100K.data', 8, statistics));

    // A second set (1 x 1 cm) and the kerma, then the PNG at 1200 x 900 and the CSV.
    await page.click('#e-fields input[value="1"]');
    await page.click('#e-draw');
    await page.click('#e-kerma');
    await page.waitForFunction(() => document.querySelectorAll('#e-table tbody tr').length === 2);
    await page.$eval('#e-png-w', (e) => {
      e.value = '1200';
    });
    await page.$eval('#e-png-h', (e) => {
      e.value = '900';
    });
    await page.click('#e-png');
    const png = await waitForFile(dir, 'depth_dose.png');
    assert.equal(png.subarray(1, 4).toString(), 'PNG');
    assert.equal(png.readUInt32BE(16), 1200);
    assert.equal(png.readUInt32BE(20), 900);
    await page.click('#e-csv');
    const csv = (await waitForFile(dir, 'depth_dose.csv')).toString('utf8');
    assert.ok(csv.startsWith('\uFEFF'));
    const lines = csv.slice(1).split('\r\n');
    assert.equal(lines.pop(), '');
    assert.equal(lines.length, 301);
    const header = lines[0].split(',');
    const relative = ' (its primary water kerma maximum in 0-5 cm = 1)';
    assert.deepEqual(
      header,
      [
        'Depth [cm]',
        '10 MV Primary water kerma 10MV-100K.data',
        '10 MV 10 × 10 cm Total dose 10MV-100K.data',
        '10 MV 10 × 10 cm Primary dose 10MV-100K.data',
        '10 MV 10 × 10 cm Scatter dose 10MV-100K.data',
        '10 MV 1 × 1 cm Total dose 10MV-100K.data',
        '10 MV 1 × 1 cm Primary dose 10MV-100K.data',
        '10 MV 1 × 1 cm Scatter dose 10MV-100K.data',
      ].map((name, i) => (i === 0 ? name : name + relative)),
    );
    assert.equal(lines[1].split(',')[0], '0.05');
    // The value table as TSV: machine names in the header, a row a set, named after the result.
    await page.click('#e-tsv');
    const tsv = (await waitForFile(dir, '10MV-100K.tsv')).toString('utf8').split('\n');
    assert.equal(tsv.pop(), '');
    assert.deepEqual(tsv[0].split('\t'), [
      'set',
      'energy',
      'field_cm',
      'd_max_cm',
      'd_max_u_cm',
      'surface_pct',
      'surface_u_pct',
      'd10_pct',
      'd10_u_pct',
      'tpr20_10',
      'tpr20_10_u',
      'build_up',
      'uncertainty',
      'seed',
      'ssd_cm',
      'transport',
      'phantom',
    ]);
    assert.deepEqual(
      tsv
        .slice(1)
        .map((row) => row.split('\t'))
        .map((c) => [c[0], c[2], c[11], c[12], c[13], c[14], c[15], c[16]]),
      [
        ['10MV-100K.data', '10', 'yes', 'measured', '0', '', 'exact', 'water'],
        ['10MV-100K.data', '1', 'yes', 'measured', '0', '', 'exact', 'water'],
      ],
    );

    // The clinical geometry: a point source at SSD 100 cm. Every set is measured again in it
    // (the cells are the core's for that SSD), D10 falls with the inverse square, TPR20,10 stays
    // the parallel beam's; the graph's title, the legend, the CSV and the TSV name it.
    await page.click('#e-point');
    await page.waitForFunction(() => /SSD 100 cm$/.test(document.querySelector('#e-table tbody td').textContent));
    const ssdCells = await page.$$eval('#e-table tbody tr:first-child td', (tds) => tds.map((t) => t.textContent));
    assert.equal(ssdCells[0], '10 MV, 10 × 10 cm, 10MV-100K.data, SSD 100 cm');
    assert.deepEqual(ssdCells.slice(1), await coreCells(data, '10MV-100K.data', 8, statistics, 100));
    assert.ok(
      parseFloat(ssdCells[3]) < parseFloat(cells[3]) - 5,
      `D10 ${ssdCells[3]} at SSD 100 against ${cells[3]} parallel`,
    );
    assert.equal(ssdCells[4].split(' ')[0], cells[4].split(' ')[0]);
    if (shots) await page.screenshot({ path: join(shots, 'web_engine_ssd100_1024.png') });
    for (const file of ['depth_dose.csv', '10MV-100K.tsv']) fs.rmSync(join(dir, file));
    await page.click('#e-csv');
    const ssdHeader = (await waitForFile(dir, 'depth_dose.csv')).toString('utf8').split('\r\n')[0].split(',');
    assert.equal(ssdHeader.length, 8);
    for (const name of ssdHeader.slice(1)) assert.match(name, /approximated for a point source at SSD 100 cm/);
    await page.click('#e-tsv');
    const ssdTsv = (await waitForFile(dir, '10MV-100K.tsv')).toString('utf8').split('\n').slice(1, 3);
    assert.deepEqual(
      ssdTsv.map((row) => row.split('\t')[14]),
      ['100', '100'],
    );
    // A distance outside 50-150 cm is said, and the curves stay at SSD 100.
    await page.$eval('#e-ssd', (e) => {
      e.value = '20';
      e.dispatchEvent(new Event('change'));
    });
    assert.match(await page.$eval('#notice', (e) => e.textContent), /The SSD "20" cannot be used/);
    assert.match(await page.$eval('#e-table tbody td', (e) => e.textContent), /SSD 100 cm$/);
    await page.$eval('#e-ssd', (e) => {
      e.value = '100';
    });
    await page.click('#e-parallel');
    await page.waitForFunction(() => /10MV-100K\.data$/.test(document.querySelector('#e-table tbody td').textContent));
    for (const [w, h, name] of [
      [1920, 1080, 'web_engine_1920_en.png'],
      [390, 844, 'web_engine_phone_en.png'],
    ]) {
      await page.setViewport({ width: w, height: h });
      await new Promise((res) => setTimeout(res, 300));
      if (shots) await page.screenshot({ path: join(shots, name), fullPage: w < 500 });
    }
    assert.deepEqual(errors, []);
    await page.close();
  },
);

test(
  'Stop ends a run and leaves no result; a kept result is listed again and can be removed',
  { skip, timeout: 120000 },
  async () => {
    const { page, errors } = await openPage(
      browser,
      `${url}?screen=engine&lang=en&energy=4&photons=30000000&ssd=80`,
      1024,
      768,
    );
    await page.waitForFunction(() => document.body.dataset.engineReady === '1');
    // The link's SSD is the geometry the curves are drawn in.
    assert.deepEqual(
      await page.evaluate(() => [document.getElementById('e-point').checked, document.getElementById('e-ssd').value]),
      [true, '80'],
    );
    const before = await page.$$eval('#e-saved .saved-name', (b) => b.map((x) => x.textContent));
    assert.ok(before.includes('10MV-100K.data'), "the first test's result is kept across visits");
    await page.click('#e-start');
    await page.waitForFunction(
      () =>
        document.getElementById('e-progress').value > 0 || /bin/.test(document.getElementById('e-status').textContent),
      { timeout: 30000 },
    );
    await page.click('#e-stop');
    await page.waitForFunction(() => document.getElementById('e-status').textContent === 'Stopped', { timeout: 20000 });
    const after = await page.$$eval('#e-saved .saved-name', (b) => b.map((x) => x.textContent));
    assert.deepEqual(after, before);
    await page.click('button[aria-label="Remove 10MV-100K.data"]');
    await page.waitForFunction(
      () => ![...document.querySelectorAll('#e-saved .saved-name')].some((b) => b.textContent === '10MV-100K.data'),
    );
    assert.deepEqual(errors, []);
    await page.close();
  },
);

// The record IndexedDB keeps under a result's name (its text), or null; `text` given, it is
// put there first.
function keptResult(page, name, text) {
  return page.evaluate(
    (n, t) =>
      new Promise((resolve, reject) => {
        const request = indexedDB.open('dosavia', 1);
        request.onupgradeneeded = () => request.result.createObjectStore('results', { keyPath: 'name' });
        request.onerror = () => reject(request.error);
        request.onsuccess = () => {
          const tx = request.result.transaction('results', t === null ? 'readonly' : 'readwrite');
          const store = tx.objectStore('results');
          if (t !== null) store.put({ name: n, text: t, saved: 0 });
          const got = store.get(n);
          tx.oncomplete = () => resolve(got.result?.text ?? null);
          tx.onerror = () => reject(tx.error);
        };
      }),
    name,
    text ?? null,
  );
}

// Stop and Esc act from the moment Start is pressed, while the workers still load and
// prepare: the run ends without a result, an older result of the name stays, and the status
// line follows a language switch.
for (const how of ['Stop', 'Esc'])
  test(
    `${how} while the run is prepared stops it and keeps the older result of its name`,
    { skip, timeout: 120000 },
    async () => {
      const { page, errors } = await openPage(
        browser,
        `${url}?screen=engine&lang=en&energy=6&photons=20000`,
        1024,
        768,
      );
      await page.waitForFunction(() => document.body.dataset.engineReady === '1');
      await keptResult(page, '6MV-20K.data', 'older');
      const shown = await page.evaluate((key) => {
        document.getElementById('e-start').click();
        const status = document.getElementById('e-status').textContent;
        if (key) document.dispatchEvent(new KeyboardEvent('keydown', { key: 'Escape', bubbles: true }));
        else document.getElementById('e-stop').click();
        return status;
      }, how === 'Esc');
      assert.equal(shown, 'Loading…');
      await page.waitForFunction(() => !document.getElementById('e-start').disabled, { timeout: 60000 });
      assert.equal(await page.$eval('#e-status', (e) => e.textContent), 'Stopped');
      // A run that went on would have replaced it by now.
      await new Promise((res) => setTimeout(res, 3000));
      assert.equal(await keptResult(page, '6MV-20K.data'), 'older');
      await page.click('#lang-switch');
      assert.equal(await page.$eval('#e-status', (e) => e.textContent), '中止しました');
      await page.evaluate(
        () =>
          new Promise((resolve) => {
            indexedDB.open('dosavia', 1).onsuccess = (e) => {
              const tx = e.target.result.transaction('results', 'readwrite');
              tx.objectStore('results').delete('6MV-20K.data');
              tx.oncomplete = resolve;
            };
          }),
      );
      assert.deepEqual(errors, []);
      await page.close();
    },
  );

// The statistics IndexedDB keeps with a result, or null.
function keptStatistics(page, name) {
  return page.evaluate(
    (n) =>
      new Promise((resolve, reject) => {
        const request = indexedDB.open('dosavia', 1);
        request.onerror = () => reject(request.error);
        request.onsuccess = () => {
          const got = request.result.transaction('results', 'readonly').objectStore('results').get(n);
          got.onsuccess = () => resolve(got.result?.statistics ?? null);
          got.onerror = () => reject(got.error);
        };
      }),
    name,
  );
}

// An upload is read as the desktop reads a result file: refused unread over the readers'
// limit (it would be kept and loaded on every visit), refused with a byte-order mark or in
// UTF-16 (not decoded into a result first), and nothing of a refused file is kept. A result
// chosen with its run statistics (NAME.stat) is kept with them and its table measured;
// another run's statistics under its name are said, not kept, and its table stays
// estimated ("*", explained under the table); statistics alone are said.
test(
  'uploads are refused as the desktop refuses them, and nothing of them is kept',
  { skip, timeout: 120000 },
  async () => {
    const good = Buffer.from(nodeRun('20K', [], '10MV-20K.data'), 'latin1');
    const seeded = nodeRun('20K', ['--seed', '3'], '10MV-20K.data', true);
    const dir = fs.mkdtempSync(join(os.tmpdir(), 'dosavia-up-'));
    const cases = [
      { name: 'big.data', bytes: Buffer.concat([good, Buffer.alloc(4 << 20, 0x20)]), said: /more than 4194304 bytes/ },
      { name: 'bom.data', bytes: Buffer.concat([Buffer.from([0xef, 0xbb, 0xbf]), good]), said: /line \d+/ },
      {
        name: 'utf16.data',
        bytes: Buffer.concat([Buffer.from([0xff, 0xfe]), Buffer.from(good.toString('latin1'), 'utf16le')]),
        said: /line \d+/,
      },
      { name: 'good.data', bytes: good, kept: true, dmax: /\*$/ },
      {
        name: 'seeded.data',
        bytes: Buffer.from(seeded.data, 'latin1'),
        stat: seeded.statistics,
        kept: true,
        attached: true,
        dmax: /^\d\.\d\d ± \d\.\d\d$/,
        legend: /, seed 3$/,
      },
      {
        name: 'other.data',
        bytes: good,
        stat: seeded.statistics,
        kept: true,
        dmax: /\*$/,
        said: /other\.stat is not the run statistics of other\.data/,
      },
      {
        name: 'lonely.stat',
        bytes: Buffer.from(seeded.statistics, 'latin1'),
        said: /lonely\.stat cannot be read alone/,
      },
      // Statistics over the readers' limit are said, not dropped without a word.
      {
        name: 'oversized.data',
        bytes: good,
        stat: seeded.statistics + ' '.repeat(4 << 20),
        kept: true,
        dmax: /\*$/,
        said: /oversized\.stat[\s\S]*more than 4194304 bytes/,
      },
      // Numbers edited under an intact checksum: no run gives them, and the reason is said.
      {
        name: 'edited.data',
        bytes: Buffer.from(seeded.data, 'latin1'),
        stat: seeded.statistics.replace(/(curve total 8\r\n1 )(\d)/, (m, a, d) => a + String((Number(d) + 3) % 10)),
        kept: true,
        dmax: /\*$/,
        said: /edited\.stat is not the run statistics of edited\.data[\s\S]*edited\.stat: not used: /,
      },
    ];
    const { page, errors } = await openPage(browser, `${url}?screen=engine&lang=en&energy=6&photons=20000`, 1024, 768);
    try {
      await page.waitForFunction(() => document.body.dataset.engineReady === '1');
      for (const c of cases) {
        const files = [join(dir, c.name)];
        fs.writeFileSync(files[0], c.bytes);
        if (c.stat) {
          files.push(join(dir, c.name.replace(/\.data$/, '.stat')));
          fs.writeFileSync(files[1], c.stat, 'latin1');
        }
        await page.evaluate(() => {
          document.getElementById('notice').textContent = '';
        });
        await (await page.$('#e-file')).uploadFile(...files);
        if (c.kept) {
          await page.waitForFunction(
            (n) => [...document.querySelectorAll('#e-saved .saved-name')].some((b) => b.textContent === n),
            { timeout: 20000 },
            c.name,
          );
          assert.equal(await keptResult(page, c.name), c.bytes.toString('latin1'));
          assert.equal(await keptStatistics(page, c.name), c.attached ? c.stat : null, c.name);
          if (c.said) assert.match(await page.$eval('#notice', (e) => e.textContent), c.said, c.name);
          // Drawn, the set's row says how its uncertainties were found.
          const rows = await page.$$eval('#e-table tbody tr', (r) => r.length);
          await page.click('#e-draw');
          await page.waitForFunction((n) => document.querySelectorAll('#e-table tbody tr').length === n + 1, {}, rows);
          const cells = await page.$$eval('#e-table tbody tr:last-child td', (tds) => tds.map((t) => t.textContent));
          assert.match(cells[1], c.dmax, c.name);
          if (c.legend) assert.match(cells[0], c.legend, c.name);
          const note = await page.$eval('#e-table-note', (e) => (e.hidden ? '' : e.textContent));
          if (!c.attached) assert.match(note, /^\* estimated/, c.name);
          await page.click('#e-clear');
        } else {
          await page.waitForFunction(
            (n) => document.getElementById('notice').textContent.includes(n),
            { timeout: 20000 },
            c.name,
          );
          const notice = await page.$eval('#notice', (e) => e.textContent);
          if (c.name.endsWith('.data')) assert.match(notice, /cannot be read as a result file/i, c.name);
          assert.match(notice, c.said, `${c.name}: ${notice}`);
          assert.equal(await keptResult(page, c.name), null, c.name);
        }
      }
      // One at a time: a removal lists the kept results anew.
      for (const c of cases.filter((k) => k.kept)) {
        await page.click(`button[aria-label="Remove ${c.name}"]`);
        await page.waitForFunction(
          (n) => ![...document.querySelectorAll('#e-saved .saved-name')].some((b) => b.textContent === n),
          {},
          c.name,
        );
      }
      assert.deepEqual(errors, []);
    } finally {
      await page.close();
      fs.rmSync(dir, { recursive: true, force: true });
    }
  },
);

// Three compared sets on a 1024x768 projector, in the projector mode too (its larger text):
// the graph keeps a usable height, every row (the no-electron ones too) is in view with its
// name on few lines and all four values beside it, and a set removed by its ✕ comes back
// with 元に戻す in its place and colour.
for (const [lang, projector] of [
  ['en', false],
  ['en', true],
  ['ja', true],
])
  test(
    `three compared sets at 1024x768 stay in view under a usable graph (${lang}${projector ? ', projector' : ''})`,
    { skip, timeout: 120000 },
    async () => {
      const link = `${url}?screen=engine&lang=${lang}&energy=10&photons=20000&field=10&seed=7&without=electron-transport&run=1`;
      const { page, errors } = await openPage(browser, link, 1024, 768);
      try {
        await waitForRun(page);
        if (projector) {
          // The graph's smallest text from here on: the projector mode's is read from the back.
          await page.evaluate(() => {
            window.graphTextPx = Infinity;
            const fillText = CanvasRenderingContext2D.prototype.fillText;
            CanvasRenderingContext2D.prototype.fillText = function (...args) {
              if (this.canvas.id === 'e-graph')
                window.graphTextPx = Math.min(window.graphTextPx, parseFloat(this.font.match(/([\d.]+)px/)[1]));
              return fillText.apply(this, args);
            };
          });
          await page.click('#projector');
        }
        for (const [field, rows] of [
          ['1', 2],
          ['5', 3],
        ]) {
          await page.click(`#e-fields input[value="${field}"]`);
          await page.click('#e-draw');
          await page.waitForFunction((n) => document.querySelectorAll('#e-table tbody tr').length === n, {}, rows);
        }
        const seen = await page.evaluate(() => {
          const views = document.querySelector('.engine-views').getBoundingClientRect();
          const cell = getComputedStyle(document.querySelector('#e-table td'));
          const lineHeight = parseFloat(cell.lineHeight) || 1.2 * parseFloat(cell.fontSize);
          const padding = parseFloat(cell.paddingTop) + parseFloat(cell.paddingBottom);
          const table = document.getElementById('e-table');
          return {
            graph: document.getElementById('e-graph').getBoundingClientRect().height,
            cutOff: table.scrollWidth - table.clientWidth,
            rows: [...document.querySelectorAll('#e-table tbody tr')].map((tr) => {
              const box = tr.getBoundingClientRect();
              return {
                inView: box.top >= views.top && box.bottom <= Math.min(views.bottom, innerHeight) + 1,
                lines: Math.round((tr.cells[0].getBoundingClientRect().height - padding) / lineHeight),
              };
            }),
          };
        });
        assert.ok(seen.graph >= 220, `graph ${seen.graph} px`);
        assert.ok(seen.cutOff <= 0, `table ${seen.cutOff} px wider than its box`);
        if (projector) {
          const px = await page.evaluate(() => window.graphTextPx);
          // even the smallest, the axis note, above the 14 px it has on a screen
          assert.ok(px >= 15.5, `graph text ${px} px in the projector mode`);
        }
        for (const row of seen.rows) {
          assert.ok(row.inView, JSON.stringify(seen.rows));
          assert.ok(row.lines <= 4, JSON.stringify(seen.rows));
        }
        const names = () => page.$$eval('#e-table tbody tr td:first-child', (tds) => tds.map((t) => t.textContent));
        const before = await names();
        await page.click('#e-table tbody tr:nth-child(2) .remove-set');
        await page.waitForFunction(() => document.querySelectorAll('#e-table tbody tr').length === 2);
        assert.deepEqual(await names(), [before[0], before[2]]);
        await page.click('#e-undo');
        await page.waitForFunction(() => document.querySelectorAll('#e-table tbody tr').length === 3);
        assert.deepEqual(await names(), before);
        assert.equal(await page.$eval('#e-undo', (e) => e.hidden), true);
        assert.deepEqual(errors, []);
      } finally {
        // The projector mode is kept for the next page of the site: the later tests open without it.
        if (projector) await page.evaluate(() => localStorage.removeItem('dosavia-projector'));
        await page.close();
      }
    },
  );

// A switched run from a link: the box ticked, the tagged name before and after the run, the
// legend's note in the page's language, the kerma-like curve without build-up in the table,
// and the file the one kestrun.mjs writes with the same --without.
test(
  'a deep-linked run without electron transport is named, noted and computed as kestrun.mjs --without',
  { skip, timeout: 300000 },
  async () => {
    const link = `${url}?screen=engine&lang=en&energy=10&photons=20000&field=10&without=electron-transport&seed=7&run=1`;
    const { page, errors } = await openPage(browser, link, 1024, 768);
    const dir = await downloadsTo(page);
    await waitForRun(page);
    const ticked = await page.$$eval('#e-switches input', (boxes) =>
      boxes.filter((b) => b.checked).map((b) => b.dataset.option),
    );
    assert.deepEqual(ticked, ['electron-transport']);
    assert.equal(await page.$eval('#e-result-name', (e) => e.value), '10MV-20K-noe.data');
    assert.match(await page.$eval('#e-status', (e) => e.textContent), /Finished: 10MV-20K-noe\.data/);
    const cells = await page.$$eval('#e-table tbody tr td', (tds) => tds.map((t) => t.textContent));
    assert.equal(await page.$eval('#e-seed', (e) => e.value), '7');
    assert.equal(cells[0], '10 MV, 10 × 10 cm, 10MV-20K-noe.data [without electron and positron transport], seed 7');
    // The maximum lies at the surface: said as such, never as a d_max.
    assert.equal(cells[1], 'at the surface: no build-up');
    // Without electron transport the dose is the kerma, near its maximum at the surface.
    assert.ok(parseFloat(cells[2]) > 75, `surface ${cells[2]} %`);
    await page.click('button[aria-label="Download 10MV-20K-noe.data"]');
    const data = (await waitForFile(dir, '10MV-20K-noe.data')).toString('latin1');
    await page.click('button[aria-label="Download 10MV-20K-noe.stat"]');
    const statistics = (await waitForFile(dir, '10MV-20K-noe.stat')).toString('latin1');
    assert.deepEqual(
      { data, statistics },
      nodeRun('20K', ['--without', 'electron-transport', '--seed', '7'], '10MV-20K-noe.data', true),
    );
    assert.deepEqual(cells.slice(1), await coreCells(data, '10MV-20K-noe.data', 8, statistics));
    // Unticked, the name is the full simulation's again.
    await page.click('#e-switches input[data-option="electron-transport"]');
    await page.waitForFunction(() => document.getElementById('e-result-name').value === '10MV-20K.data');
    await page.click('#e-switches input[data-option="electron-transport"]');
    if (shots) await page.screenshot({ path: join(shots, 'web_engine_without_1024.png') });
    await page.setViewport({ width: 390, height: 844 });
    await new Promise((res) => setTimeout(res, 300));
    if (shots) await page.screenshot({ path: join(shots, 'web_engine_without_phone.png'), fullPage: true });
    await page.click('button[aria-label="Remove 10MV-20K-noe.data"]');
    assert.deepEqual(errors, []);
    await page.close();
  },
);

// The accurate transport from a link: the box ticked and the switches resting, the result
// marked -acc before and after the run, the legend's note, and the very files kestrun.mjs
// --accurate writes for Joken.dat's marked name.
test(
  'a deep-linked accurate run is marked, noted and computed as kestrun.mjs --accurate',
  { skip, timeout: 300000 },
  async () => {
    const link = `${url}?screen=engine&lang=en&energy=10&photons=20000&field=10&accurate=1&seed=7&run=1`;
    const { page, errors } = await openPage(browser, link, 1024, 768);
    const dir = await downloadsTo(page);
    await waitForRun(page);
    assert.equal(await page.$eval('#e-accurate', (e) => e.checked), true);
    assert.deepEqual(await page.$$eval('#e-switches input', (boxes) => boxes.filter((b) => !b.disabled)), []);
    assert.equal(await page.$eval('#e-result-name', (e) => e.value), '10MV-20K-acc.data');
    const cells = await page.$$eval('#e-table tbody tr td', (tds) => tds.map((t) => t.textContent));
    assert.equal(cells[0], '10 MV, 10 × 10 cm, 10MV-20K-acc.data [accurate transport], seed 7');
    await page.click('button[aria-label="Download 10MV-20K-acc.data"]');
    const data = (await waitForFile(dir, '10MV-20K-acc.data')).toString('latin1');
    await page.click('button[aria-label="Download 10MV-20K-acc.stat"]');
    const statistics = (await waitForFile(dir, '10MV-20K-acc.stat')).toString('latin1');
    assert.match(statistics, /\r\ntransport accurate\r\n/);
    assert.deepEqual(
      { data, statistics },
      nodeRun('20K-acc', ['--accurate', '--seed', '7'], '10MV-20K-acc.data', true),
    );
    // Unticked, the name is the exact run's again and the switches are free.
    await page.click('#e-accurate');
    await page.waitForFunction(() => document.getElementById('e-result-name').value === '10MV-20K.data');
    assert.equal(await page.$eval('#e-switches input', (b) => b.disabled), false);
    await page.click('button[aria-label="Remove 10MV-20K-acc.data"]');
    assert.deepEqual(errors, []);
    await page.close();
  },
);

// A slab phantom from a link: the accurate transport resting ticked, the result marked with
// the preset, the layers shaded behind the curves, the legend naming the phantom with its
// values at the interfaces in place of d_max alone, and the very files kestrun.mjs --phantom
// writes for the preset's layers.
test(
  'a deep-linked lung slab run draws its layers and interface values, computed as kestrun.mjs --phantom',
  { skip, timeout: 300000 },
  async () => {
    const link = `${url}?screen=engine&lang=en&energy=10&photons=20000&field=10&phantom=lung&seed=7&run=1`;
    const { page, errors } = await openPage(browser, link, 1024, 768);
    const dir = await downloadsTo(page);
    await waitForRun(page);
    assert.deepEqual(await page.$eval('#e-accurate', (e) => [e.checked, e.disabled]), [true, true]);
    assert.equal(await page.$eval('#e-phantom', (e) => e.value), 'lung');
    assert.equal(await page.$eval('#e-result-name', (e) => e.value), '10MV-20K-lung.data');
    assert.equal(await page.$eval('#e-graph', (e) => e.dataset.bands), 'lung');
    const cells = await page.$$eval('#e-table tbody tr td', (tds) => tds.map((t) => t.textContent));
    assert.match(
      cells[0],
      /^10 MV, 10 × 10 cm, 10MV-20K-lung\.data.*Lung slab.* — .*3–13 cm: before [\d.]+ ± [\d.]+, inside /,
    );
    if (shots) await page.screenshot({ path: join(shots, 'engine_phantom.png') });
    await page.click('button[aria-label="Download 10MV-20K-lung.data"]');
    const data = (await waitForFile(dir, '10MV-20K-lung.data')).toString('latin1');
    await page.click('button[aria-label="Download 10MV-20K-lung.stat"]');
    const statistics = (await waitForFile(dir, '10MV-20K-lung.stat')).toString('latin1');
    assert.match(statistics, /\r\nphantom water 3 lung 10 water 17\r\n/);
    const phantom = { file: 'Phantom.dat', text: 'water 3\nlung 10\n', data: ['lung20.dat', 'ELACC-lung.dat'] };
    assert.deepEqual(
      { data, statistics },
      nodeRun('20K-lung', ['--phantom', 'Phantom.dat', '--seed', '7'], '10MV-20K-lung.data', true, phantom),
    );
    // Back in water the name is the plain run's and the accurate box as it was.
    await page.select('#e-phantom', 'water');
    await page.waitForFunction(() => document.getElementById('e-result-name').value === '10MV-20K.data');
    assert.deepEqual(await page.$eval('#e-accurate', (e) => [e.checked, e.disabled]), [false, false]);
    await page.click('button[aria-label="Remove 10MV-20K-lung.data"]');
    assert.deepEqual(errors, []);
    await page.close();
    // Layers of no preset, written out in the link: marked -slab, and named in the legend from
    // the run's statistics, which alone know them.
    const slab = await openPage(
      browser,
      `${url}?screen=engine&lang=en&energy=10&photons=5000&field=10&phantom=water:2,air:3&seed=7&run=1`,
      1024,
      768,
    );
    await waitForRun(slab.page);
    const name = await slab.page.$eval('#e-result-name', (e) => e.value);
    assert.match(name, /^10MV-5000-slab\.data$|^10MV-5K-slab\.data$/);
    assert.equal(await slab.page.$eval('#e-graph', (e) => e.dataset.bands), 'air');
    const legend = await slab.page.$eval('#e-table tbody tr td', (td) => td.textContent);
    assert.match(legend, /water 2 cm, air 3 cm.* — .*2–5 cm: before /);
    await slab.page.click(`button[aria-label="Remove ${name}"]`);
    assert.deepEqual(slab.errors, []);
    await slab.page.close();
  },
);

// The layer editor: it opens on the phantom in force, every edit is read by the core, a row
// the engine would refuse is named and Start rests until the rows read, and the edited layers
// run, marked -slab and named by the link, the table and the CSV.
test(
  'layers edited on the engine screen are refused by row or run, named in link, table and CSV',
  { skip, timeout: 300000 },
  async () => {
    const { page, errors } = await openPage(
      browser,
      `${url}?screen=engine&lang=en&energy=10&photons=2000&field=10&seed=3`,
      1024,
      768,
    );
    await page.waitForFunction(() => document.body.dataset.engineReady === '1');
    await page.click('#e-edit-layers');
    const rowsShown = () =>
      page.$$eval('#e-layer-rows li', (items) =>
        items.map((li) => `${li.querySelector('select').value}:${li.querySelector('input').value}`).join(','),
      );
    await page.waitForFunction(() => document.querySelectorAll('#e-layer-rows li').length === 2);
    // Opened on water, it shows the lung slab's rows and chooses them.
    assert.equal(await rowsShown(), 'water:3,lung:10');
    await page.waitForFunction(() => document.getElementById('e-phantom').value === 'lung');
    // The box's text replaced as a whole, as a paste would (a triple click selects it in
    // Chromium only).
    const typeThickness = (row, text) =>
      page.$eval(
        `#e-layer-rows li:nth-child(${row}) input`,
        (box, typed) => {
          box.value = typed;
          box.dispatchEvent(new Event('input', { bubbles: true }));
        },
        text,
      );
    // A thickness the engine would refuse: named with its row, Start resting, the lung kept.
    await typeThickness(2, '-1');
    await page.waitForFunction(() => /line 2/.test(document.getElementById('e-layer-problem').textContent));
    assert.equal(await page.$eval('#e-start', (b) => b.disabled), true);
    assert.equal(await page.$eval('#e-phantom', (e) => e.value), 'lung');
    // Air of 3 cm in place of the lung, a row added and the first taken away: air 3, water 1.
    await typeThickness(2, '3');
    await page.select('#e-layer-rows li:nth-child(2) select', 'air');
    await page.click('#e-add-layer');
    await page.click('#e-layer-rows li:nth-child(1) button');
    await page.waitForFunction(() => document.getElementById('e-phantom').value === 'air:3');
    assert.equal(await rowsShown(), 'air:3,water:1');
    assert.equal(await page.$eval('#e-layer-problem', (p) => p.textContent), '');
    assert.equal(await page.$eval('#e-result-name', (e) => e.value), '10MV-2K-slab.data');
    if (shots) {
      await page.screenshot({ path: join(shots, 'web_engine_layers_1024_en.png') });
      // On a phone the editor lies under the run's boxes: the screen scrolled to it.
      await page.setViewport({ width: 390, height: 844 });
      await page.$eval('#e-layers', (e) => e.scrollIntoView({ block: 'center' }));
      await page.screenshot({ path: join(shots, 'web_engine_layers_phone_en.png') });
      await page.setViewport({ width: 1024, height: 768 });
    }
    await page.click('#e-start');
    await waitForRun(page);
    const legend = await page.$eval('#e-table tbody tr td', (td) => td.textContent);
    assert.match(legend, /10MV-2K-slab\.data.*phantom: air 3 cm — air 0–3 cm: /);
    const csv = await page.evaluate(async () => (await import('./engine.js')).engineScreen.csvText());
    assert.match(csv.split('\r\n')[0], /"10 MV 10 × 10 cm [^",]+ 10MV-2K-slab\.data, phantom: air 3 cm \(/);
    assert.match(await page.evaluate(() => location.search), /phantom=air(%3A|:)3/);
    await page.click('button[aria-label="Remove 10MV-2K-slab.data"]');
    assert.deepEqual(errors, []);
    await page.close();
  },
);

test(
  'a link word naming no part of the physics is said and stays said through the run; the count reads as typed',
  { skip, timeout: 120000 },
  async () => {
    const { page } = await openPage(
      browser,
      `${url}?screen=engine&lang=en&energy=6&photons=2e4&without=electron-transport,gamma&run=1`,
      1024,
      768,
    );
    await page.waitForFunction(() => document.body.dataset.engineReady === '1');
    const ticked = await page.$$eval('#e-switches input', (boxes) =>
      boxes.filter((b) => b.checked).map((b) => b.dataset.option),
    );
    assert.deepEqual(ticked, ['electron-transport']);
    assert.equal(await page.$eval('#e-result-name', (e) => e.value), '6MV-20K-noe.data');
    await page.waitForFunction(
      () =>
        /6MV-20K-noe/.test(document.getElementById('e-status').textContent) &&
        document.getElementById('e-stop').disabled,
      { timeout: 100000 },
    );
    assert.match(await page.$eval('#notice', (e) => e.textContent), /gamma/);
    // A count the engine cannot read is said in the screen's words, not as a conditions file's line.
    await page.$eval('#e-photons', (e) => {
      e.value = '1,5e6';
    });
    await page.click('#e-start');
    await page.waitForFunction(() => /1,5e6/.test(document.getElementById('notice').textContent));
    assert.doesNotMatch(await page.$eval('#notice', (e) => e.textContent), /Joken|line 3/);
    await page.click('button[aria-label="Remove 6MV-20K-noe.data"]');
    await page.close();
  },
);
