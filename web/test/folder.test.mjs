// The site opened from its folder (file://), as a student double-clicks index.html, in headless
// Chromium: there the browser refuses ES modules and worker files, and the page runs from the
// classic folder bundle with workers made from Blobs. The menu and its links, a visual batch
// with its tracks, the explanation pages' figures, an engine run on several workers, in both
// languages, with no console error; and where the browser keeps no results, the engine screen
// says so and still lists the run for as long as the page is open.
// Screenshots with DOSAVIA_SHOTS=<folder>.
import { test, before, after } from 'node:test';
import assert from 'node:assert/strict';
import { existsSync, mkdirSync } from 'node:fs';
import { join } from 'node:path';
import { CHROMIUM, SITE, folderUrl, launch, openPage, redPixels, waitForTotal } from './browser_support.mjs';

const shots = process.env.DOSAVIA_SHOTS;
const JAPANESE = /[\u3040-\u30ff\u3400-\u9fff\uff00-\uffef]/;
const LANGUAGES = [
  { lang: 'ja', menuTitle: JAPANESE, done: /光子/ },
  { lang: 'en', menuTitle: /^[^\u3040-\u30ff\u3400-\u9fff]*$/, done: /300 photons/ },
];
const SIZES = [
  [1024, 768],
  [390, 844],
];
// The side view's two captions on one line, or, where they would overlap, on two.
const CAPTION_LINES = { 1024: '1', 390: '2' };

let browser;
before(async () => {
  if (CHROMIUM) browser = await launch();
});
after(async () => {
  await browser?.close();
});

const skip =
  (!CHROMIUM && 'Debian chromium not installed') ||
  (!existsSync(join(SITE, 'dosavia_folder.js')) && 'the site is not built (tools/build-web.sh)');

async function shoot(page, name) {
  if (!shots) return;
  mkdirSync(shots, { recursive: true });
  await page.screenshot({ path: join(shots, name), fullPage: true });
}

for (const { lang, menuTitle, done } of LANGUAGES)
  for (const [width, height] of SIZES)
    test(
      `from the folder (${lang}, ${width}x${height}): the menu, a visual batch and an explanation page`,
      { skip, timeout: 120000 },
      async () => {
        const { page, errors } = await openPage(browser, folderUrl(`?lang=${lang}`), width, height);
        await page.waitForFunction(() => !document.getElementById('menu').hidden, { timeout: 10000 });
        assert.match(await page.$eval('.menu-title', (e) => e.textContent.trim()), menuTitle);
        // The menu's buttons fit a phone's width: no sideways scrolling.
        const overflow = await page.evaluate(() => document.documentElement.scrollWidth - window.innerWidth);
        assert.ok(overflow <= 0, `menu ${overflow}px wider than the window`);
        await shoot(page, `folder_menu_${lang}_${width}.png`);
        // The menu's link navigates within the folder and keeps the language.
        await Promise.all([page.waitForNavigation(), page.click('#open-visual')]);
        assert.ok(page.url().startsWith('file:'), page.url());
        assert.equal(await page.$eval('#visual', (e) => e.hidden), false);
        assert.equal(await page.evaluate(() => document.documentElement.lang), lang);

        await page.goto(folderUrl(`?screen=visual&lang=${lang}&energy=15&field=1&photons=300&step=0&go=1`), {
          waitUntil: 'load',
        });
        await waitForTotal(page, 300, 30000);
        assert.ok((await redPixels(page)) > 200, 'tracks drawn');
        assert.equal(await page.$eval('#side', (c) => c.dataset.captionLines), CAPTION_LINES[width]);
        assert.match(await page.$eval('#depth-note', (e) => e.textContent), done);
        await shoot(page, `folder_visual_${lang}_${width}.png`);

        await page.goto(folderUrl(`?screen=page3&lang=${lang}`), { waitUntil: 'load' });
        await page.waitForFunction(() => document.getElementById('pages').dataset.ready === 'page3', {
          timeout: 20000,
        });
        assert.equal(await page.$$eval('#page-figures figure', (f) => f.length), 3);
        assert.ok((await page.$eval('#page-text', (e) => e.textContent.trim().length)) > 100, 'the page has its text');
        await shoot(page, `folder_page3_${lang}_${width}.png`);
        assert.deepEqual(errors, []);
        await page.close();
      },
    );

test('from the folder: the language switch works on a page without a server', { skip }, async () => {
  const { page, errors } = await openPage(browser, folderUrl('?screen=page1'), 1024, 768);
  await page.waitForFunction(() => document.getElementById('pages').dataset.ready === 'page1', { timeout: 20000 });
  await page.click('#lang-switch');
  await page.waitForFunction(
    () => document.getElementById('pages').dataset.ready === 'page1' && document.documentElement.lang === 'en',
    { timeout: 20000 },
  );
  assert.match(page.url(), /lang=en/);
  assert.deepEqual(errors, []);
  await page.close();
});

async function engineRun(page) {
  await page.waitForFunction(
    () => document.getElementById('e-stop').disabled && document.querySelectorAll('#e-table tbody tr').length > 0,
    { timeout: 120000 },
  );
  return page.$eval('#e-status', (e) => e.textContent);
}

const savedNames = (page) => page.$$eval('#e-saved .saved-name', (bs) => bs.map((b) => b.textContent));

test(
  'from the folder: an engine run on two workers finishes, draws, and is kept for the next visit',
  { skip, timeout: 300000 },
  async () => {
    const query = '?screen=engine&lang=en&energy=10&photons=100000&field=10';
    const { page, errors } = await openPage(browser, folderUrl(query), 1024, 768);
    await page.waitForFunction(() => document.body.dataset.engineReady === '1', { timeout: 20000 });
    await page.$eval('#e-workers', (e) => {
      e.value = '2';
    });
    await page.click('#e-start');
    assert.match(await engineRun(page), /Finished: 10MV-100K\.data/);
    assert.ok((await page.$$eval('#e-table tbody tr', (r) => r.length)) > 0);
    assert.equal(await page.$eval('#e-store-note', (e) => e.hidden), true);
    await shoot(page, 'folder_engine_en_1024.png');
    await page.goto(folderUrl(query), { waitUntil: 'load' });
    await page.waitForFunction(() => document.body.dataset.engineReady === '1', { timeout: 20000 });
    assert.ok((await savedNames(page)).includes('10MV-100K.data'), 'listed on the next visit');
    assert.deepEqual(errors, []);
    await page.close();
  },
);

// Three ways the browser keeps no results: no IndexedDB at all (some browsers for a page from
// a folder), an IndexedDB that refuses to write (a full disk), and one that never answers.
const UNKEPT = [
  {
    how: 'without IndexedDB',
    size: [1024, 768],
    setUp: () => Object.defineProperty(window, 'indexedDB', { value: undefined }),
  },
  {
    how: 'without IndexedDB',
    size: [390, 844],
    setUp: () => Object.defineProperty(window, 'indexedDB', { value: undefined }),
  },
  {
    how: 'when IndexedDB refuses to write',
    size: [1024, 768],
    setUp: () => {
      IDBObjectStore.prototype.put = () => {
        throw new DOMException('disk full', 'QuotaExceededError');
      };
    },
  },
  {
    how: 'when IndexedDB never answers',
    size: [1024, 768],
    setUp: () => {
      IDBFactory.prototype.open = () => ({});
    },
  },
];

for (const {
  how,
  size: [width, height],
  setUp,
} of UNKEPT)
  test(
    `from the folder ${how}, the engine screen says the results are not kept and lists the run (${width}x${height})`,
    { skip, timeout: 300000 },
    async () => {
      const page = await browser.newPage();
      const errors = [];
      page.on('console', (m) => {
        if (m.type() === 'error') errors.push(m.text());
      });
      page.on('pageerror', (e) => errors.push(String(e)));
      page.on('dialog', (d) => d.accept()); // the question before the removal below
      await page.evaluateOnNewDocument(setUp);
      await page.setViewport({ width, height });
      await page.goto(folderUrl('?screen=engine&lang=en&energy=6&photons=20000&field=4&run=1'), { waitUntil: 'load' });
      assert.match(await engineRun(page), /Finished: 6MV-20K\.data/);
      assert.equal(await page.$eval('#e-store-note', (e) => e.hidden), false);
      assert.match(await page.$eval('#e-store-note', (e) => e.textContent), /cannot keep the results/);
      assert.ok((await savedNames(page)).includes('6MV-20K.data'), 'listed while the page is open');
      await shoot(page, `folder_engine_unkept_en_${width}.png`);
      // Removed, it is gone from the list.
      await page.click('#e-saved button[aria-label="Remove 6MV-20K.data"]');
      await page.waitForFunction(
        () => ![...document.querySelectorAll('#e-saved .saved-name')].some((b) => b.textContent === '6MV-20K.data'),
      );
      assert.deepEqual(errors, []);
      await page.close();
    },
  );
