// The explanation pages in headless Chromium, in both languages, at a projector's and a
// phone's size: no error, every figure drawn, no Japanese left on an English page, no text
// cut off or running out of its box; axe-core finds no serious or critical accessibility
// fault on any screen; and after one visit the whole site works with the network gone.
import { test } from 'node:test';
import assert from 'node:assert/strict';
import { spawnSync } from 'node:child_process';
import { appendFileSync, cpSync, mkdirSync, mkdtempSync, readdirSync, rmSync, utimesSync } from 'node:fs';
import { createRequire } from 'node:module';
import { tmpdir } from 'node:os';
import { dirname, join } from 'node:path';
import { fileURLToPath } from 'node:url';
import { serve } from './serve.mjs';
import { CHROMIUM, openPage, serveSiteInChromium } from './browser_support.mjs';

const repo = join(dirname(fileURLToPath(import.meta.url)), '..', '..');
const site = process.env.DOSAVIA_WEB_DIR ?? join(repo, 'build', 'web');
// Where the pages' screenshots go when asked for (DOSAVIA_SHOTS=folder).
const shots = process.env.DOSAVIA_SHOTS;
const axeSource = createRequire(import.meta.url).resolve('axe-core/axe.min.js');
const JAPANESE = /[\u3040-\u30ff\u3400-\u9fff\uff00-\uffef]/;
const PAGES = [
  { screen: 'page1', figures: 1, svgs: 1 },
  { screen: 'page2', figures: 1, svgs: 0 },
  { screen: 'page3', figures: 3, svgs: 3 },
  { screen: 'page4', figures: 2, svgs: 2 },
  { screen: 'page5', figures: 2, svgs: 2 },
  { screen: 'page6', figures: 3, svgs: 3 },
  { screen: 'references', figures: 0, svgs: 0 },
];
const SIZES = [
  [1024, 768],
  [390, 844],
];

let url;
let browser;
serveSiteInChromium(site, (opened) => ({ url, browser } = opened));

const skip = !CHROMIUM && 'Debian chromium not installed';

async function openScreen(screen, lang, width, height) {
  const opened = await openPage(browser, `${url}index.html?screen=${screen}&lang=${lang}`, width, height);
  await opened.page.waitForFunction(
    (s) => document.getElementById('pages').dataset.ready === s,
    { timeout: 20000 },
    screen,
  );
  // Fig.2's picture is fetched after the page is laid out: until it has loaded or failed, a
  // loaded machine would read it as missing.
  await opened.page.waitForFunction(
    () => [...document.querySelectorAll('#pages figure img')].every((img) => img.complete),
    { timeout: 20000 },
  );
  return opened;
}

// What the reader sees on the page, and every place where text does not fit its box.
function inspect(page) {
  return page.evaluate(() => {
    const root = document.getElementById('pages');
    const texts = [];
    const walker = document.createTreeWalker(root, NodeFilter.SHOW_TEXT);
    for (let node = walker.nextNode(); node; node = walker.nextNode())
      if (node.textContent.trim()) texts.push(node.textContent.trim());
    for (const el of root.querySelectorAll('[aria-label], img[alt]'))
      texts.push(el.getAttribute('aria-label') ?? el.getAttribute('alt'));
    texts.push(document.title);
    const overflows = [];
    if (document.documentElement.scrollWidth > window.innerWidth + 1)
      overflows.push(`page ${document.documentElement.scrollWidth} wide`);
    for (const el of root.querySelectorAll('h1, h2, p, figcaption, a, figure')) {
      if (el.scrollWidth > el.clientWidth + 1)
        overflows.push(`${el.tagName} "${el.textContent.slice(0, 30)}" ${el.scrollWidth} > ${el.clientWidth}`);
    }
    // The least text a classroom reads from the back on a 1024x768 projector [CSS px], as on the desktop.
    const leastPx = 14;
    for (const svg of root.querySelectorAll('svg')) {
      const box = svg.getBoundingClientRect();
      const scale = svg.viewBox.baseVal && svg.viewBox.baseVal.width ? box.width / svg.viewBox.baseVal.width : 1;
      for (const t of svg.querySelectorAll('text')) {
        const px = parseFloat(getComputedStyle(t).fontSize) * scale;
        if (px < leastPx - 0.01) overflows.push(`svg text "${t.textContent}" ${px.toFixed(1)} px, below ${leastPx}`);
        const b = t.getBoundingClientRect();
        const inside =
          b.left >= box.left - 1 && b.top >= box.top - 1 && b.right <= box.right + 1 && b.bottom <= box.bottom + 1;
        if (!inside)
          overflows.push(
            `svg text "${t.textContent}" at ${(b.left - box.left).toFixed(0)},${(b.top - box.top).toFixed(0)} ${b.width.toFixed(0)}x${b.height.toFixed(0)} outside ${box.width.toFixed(0)}x${box.height.toFixed(0)}`,
          );
      }
      if (svg.getBoundingClientRect().width > svg.parentElement.getBoundingClientRect().width + 1)
        overflows.push('svg wider than its figure');
    }
    return {
      texts,
      overflows,
      figures: root.querySelectorAll('figure').length,
      svgs: root.querySelectorAll('figure svg').length,
      shapes: [...root.querySelectorAll('figure svg')].map(
        (svg) => svg.querySelectorAll('path, line, rect, polygon, circle').length,
      ),
      images: [...root.querySelectorAll('figure img')].map((img) => img.complete && img.naturalWidth > 0),
    };
  });
}

for (const [width, height] of SIZES)
  for (const lang of ['ja', 'en'])
    test(`the pages in ${lang} at ${width}x${height}: drawn, in one language, nothing cut off`, { skip }, async () => {
      for (const p of PAGES) {
        const { page, errors } = await openScreen(p.screen, lang, width, height);
        const seen = await inspect(page);
        assert.deepEqual(errors, [], `${p.screen}: console errors`);
        assert.equal(seen.figures, p.figures, `${p.screen}: figures`);
        assert.equal(seen.svgs, p.svgs, `${p.screen}: drawn figures`);
        assert.ok(
          seen.shapes.every((n) => n >= 10),
          `${p.screen}: curves, bars and arrows drawn (${seen.shapes})`,
        );
        assert.ok(seen.images.every(Boolean), `${p.screen}: Fig.2's picture loaded`);
        assert.deepEqual(seen.overflows, [], `${p.screen}: text that does not fit`);
        if (lang === 'en')
          assert.deepEqual(
            seen.texts.filter((t) => JAPANESE.test(t)),
            [],
            `${p.screen}: Japanese on the English page`,
          );
        if (shots) {
          mkdirSync(shots, { recursive: true });
          await page.screenshot({ path: join(shots, `web_${p.screen}_${lang}_${width}.png`), fullPage: true });
        }
        await page.close();
      }
    });

test(
  'the page links lead from page 1 through to the references and Exit to the menu, keeping the language',
  { skip },
  async () => {
    const { page, errors } = await openScreen('page1', 'en', 1024, 768);
    for (const next of ['page2', 'page3', 'page4', 'page5', 'page6', 'references']) {
      await Promise.all([page.waitForNavigation(), page.click('#page-next')]);
      await page.waitForFunction((s) => document.getElementById('pages').dataset.ready === s, { timeout: 20000 }, next);
      assert.equal(new URL(page.url()).searchParams.get('lang'), 'en');
    }
    assert.equal(await page.$eval('#page-next', (a) => a.hidden), true, 'no next page after the references');
    await Promise.all([page.waitForNavigation(), page.click('#page-exit')]);
    assert.equal(await page.$eval('#menu', (s) => s.hidden), false);
    assert.equal(await page.$eval('html', (h) => h.lang), 'en');
    assert.deepEqual(errors, []);
    await page.close();
  },
);

test('the language switch on a page changes its texts and figures', { skip }, async () => {
  const { page, errors } = await openScreen('page3', 'ja', 1024, 768);
  const before = await page.$eval('#pages', (s) => s.textContent);
  assert.match(before, /２次電子平衡/);
  await page.click('#lang-switch');
  const after = await inspect(page);
  assert.deepEqual(
    after.texts.filter((t) => JAPANESE.test(t)),
    [],
  );
  assert.ok(after.texts.some((t) => /electronic equilibrium/.test(t)));
  assert.deepEqual(errors, []);
  await page.close();
});

// axe-core in the page: the violations of impact serious or critical.
async function axeViolations(page) {
  await page.addScriptTag({ path: axeSource });
  return page.evaluate(async () => {
    const result = await window.axe.run(document, { resultTypes: ['violations'] });
    return result.violations
      .filter((v) => v.impact === 'serious' || v.impact === 'critical')
      .map((v) => `${v.id}: ${v.nodes.map((n) => n.target.join(' ')).join(', ')}`);
  });
}

for (const [width, height] of SIZES)
  test(
    `axe-core: no serious or critical accessibility fault on any screen, in either language, at ${width}x${height}`,
    { skip },
    async () => {
      for (const lang of ['ja', 'en'])
        for (const screen of ['menu', 'visual', 'engine', 'lesson', ...PAGES.map((p) => p.screen)]) {
          const { page } =
            screen.startsWith('page') || screen === 'references'
              ? await openScreen(screen, lang, width, height)
              : await openPage(browser, `${url}index.html?screen=${screen}&lang=${lang}`, width, height);
          if (screen === 'visual')
            await page.waitForFunction(() => !document.getElementById('ok').disabled, { timeout: 20000 });
          if (screen === 'engine')
            await page.waitForFunction(() => document.body.dataset.engineReady === '1', { timeout: 20000 });
          if (screen === 'lesson')
            await page.waitForFunction(() => document.getElementById('lesson').dataset.ready, { timeout: 20000 });
          assert.deepEqual(await axeViolations(page), [], `${screen} (${lang}, ${width}x${height})`);
          await page.close();
        }
    },
  );

test('every control is reached by the keyboard and shows where the focus is', { skip }, async () => {
  const { page } = await openScreen('page4', 'en', 1024, 768);
  const reached = [];
  // The title bar's four controls, the seven pages' links, then the page's two buttons.
  for (let i = 0; i < 14; i++) {
    await page.keyboard.press('Tab');
    reached.push(
      await page.evaluate(() => {
        const el = document.activeElement;
        if (el === document.body) return { id: 'body', outlined: true };
        const style = getComputedStyle(el);
        return {
          id: el.id || el.textContent.trim(),
          outlined: style.outlineStyle !== 'none' && parseFloat(style.outlineWidth) >= 2,
        };
      }),
    );
  }
  const ids = reached.map((r) => r.id);
  for (const want of ['lang-switch', 'page-next', 'page-exit'])
    assert.ok(ids.includes(want), `${want} reached: ${ids}`);
  assert.ok(
    reached.every((r) => r.outlined),
    `focus outline on ${reached.filter((r) => !r.outlined).map((r) => r.id)}`,
  );
  await page.close();
});

test(
  'after one visit the site works with the network cut: menu, pages, lesson and a visual batch',
  { skip },
  async () => {
    const own = await serve(site);
    const context = await browser.createBrowserContext();
    const page = await context.newPage();
    const errors = [];
    page.on('pageerror', (e) => errors.push(String(e)));
    await page.setViewport({ width: 1024, height: 768 });
    await page.goto(`${own.url}index.html`, { waitUntil: 'load' });
    await page.evaluate(async () => {
      await navigator.serviceWorker.ready;
      if (!navigator.serviceWorker.controller)
        await new Promise((resolve) =>
          navigator.serviceWorker.addEventListener('controllerchange', resolve, { once: true }),
        );
    });
    // The network cut twice over: the server is gone, and any request that still leaves the
    // browser is refused.
    await new Promise((resolve) => own.server.close(resolve));
    own.server.closeAllConnections?.();
    await page.setRequestInterception(true);
    const leaked = [];
    page.on('request', (request) => {
      if (request.url().startsWith(own.url) && !request.isInterceptResolutionHandled()) {
        leaked.push(request.url());
        request.abort('internetdisconnected');
      } else request.continue();
    });
    for (const p of PAGES) {
      await page.goto(`${own.url}index.html?screen=${p.screen}&lang=en`, { waitUntil: 'load' });
      await page.waitForFunction(
        (s) => document.getElementById('pages').dataset.ready === s,
        { timeout: 20000 },
        p.screen,
      );
      assert.equal(await page.$$eval('figure', (f) => f.length), p.figures, p.screen);
    }
    await page.goto(`${own.url}index.html?screen=lesson&lang=en`, { waitUntil: 'load' });
    await page.waitForFunction(() => document.getElementById('lesson').dataset.ready === 'en', { timeout: 20000 });
    await page.goto(`${own.url}index.html?screen=visual&energy=6&field=10&photons=300&step=0&go=1`, {
      waitUntil: 'load',
    });
    await page.waitForFunction(
      () => document.getElementById('total').value === '300' && document.getElementById('stop').disabled,
      { timeout: 30000 },
    );
    assert.deepEqual(leaked, [], 'requests that went past the cache');
    assert.deepEqual(errors, []);
    await context.close();
  },
);

// A site uploaded while a first visit installs: a file of the new build under the old
// build's list. The worker's check of each file against its version's SHA-256 refuses the
// install, so that no cache of two versions is kept (a page of one build with an engine
// worker of the other); the page runs from the network meanwhile.
test("a file of another build is never installed into a version's cache", { skip, timeout: 120000 }, async () => {
  const dir = mkdtempSync(join(tmpdir(), 'dosavia-sw-mixed-'));
  cpSync(site, dir, { recursive: true });
  appendFileSync(join(dir, 'engine_worker.js'), `// the build of ${Date.now()}\n`);
  const own = await serve(dir);
  const context = await browser.createBrowserContext();
  try {
    const page = await context.newPage();
    const errors = [];
    page.on('pageerror', (e) => errors.push(String(e)));
    await page.goto(`${own.url}index.html?lang=en`, { waitUntil: 'load' });
    const outcome = await page.evaluate(async () => {
      // The page's own registration (the same script and scope), once it exists.
      const registration = await navigator.serviceWorker.register('sw.js', { updateViaCache: 'none' });
      const worker = registration.installing ?? registration.waiting ?? registration.active;
      if (worker && worker.state !== 'redundant' && worker.state !== 'activated')
        await new Promise((resolve) =>
          worker.addEventListener('statechange', () => {
            if (worker.state === 'redundant' || worker.state === 'activated') resolve();
          }),
        );
      return { state: worker?.state, caches: await caches.keys() };
    });
    assert.equal(outcome.state, 'redundant');
    assert.deepEqual(
      outcome.caches.filter((k) => k.startsWith('dosavia-')),
      [],
    );
    assert.deepEqual(errors, []);
  } finally {
    await context.close();
    own.server.close();
    rmSync(dir, { recursive: true, force: true });
  }
});

// A running batch is not lost to a reload: the page asks before it goes (beforeunload), and
// a new version let in by another tab reloads it only when it holds nothing, or on the
// user's word.
test('a running batch keeps its page until the user lets it go', { skip, timeout: 120000 }, async () => {
  const own = await serve(site);
  const context = await browser.createBrowserContext();
  try {
    const page = await context.newPage();
    await page.goto(`${own.url}index.html?screen=visual&lang=en&energy=6&field=10&photons=200000&step=0&go=1`, {
      waitUntil: 'load',
    });
    await page.waitForFunction(() => !document.getElementById('stop').disabled, { timeout: 30000 });
    // The page's own answer to a leave: a dialog while the batch runs.
    const asked = await page.evaluate(() => {
      const event = new Event('beforeunload', { cancelable: true });
      window.dispatchEvent(event);
      return event.defaultPrevented;
    });
    assert.equal(asked, true, 'no beforeunload guard while a batch runs');
    // Another tab's new version: the controller changes under this page.
    await page.evaluate(() => navigator.serviceWorker.dispatchEvent(new Event('controllerchange')));
    await page.evaluate(() => navigator.serviceWorker.dispatchEvent(new Event('controllerchange')));
    assert.equal(await page.$eval('#update', (e) => e.hidden), false);
    assert.match(await page.$eval('#update', (e) => e.textContent), /another tab/);
    assert.equal(await page.$eval('#stop', (e) => e.disabled), false, 'the batch was stopped');
    // Stopped, the series is still on the screen: the page waits for the user's word.
    await page.click('#stop');
    await page.waitForFunction(() => document.getElementById('stop').disabled, { timeout: 30000 });
    await Promise.all([page.waitForNavigation({ timeout: 60000 }), page.click('#update-reload')]);
  } finally {
    await context.close();
    own.server.close();
  }
});

// A new build on a server that sends Last-Modified and no Cache-Control (the default of common
// static servers), with the browser holding the old files as fresh: the new version is seen
// and its cache filled with the new files, while an open page of the old one keeps running on
// the old files and is told to reload; on the user's word it reloads on the new version.
test(
  'a new build reaches an open page past the HTTP cache, and the page is told to reload',
  { skip, timeout: 120000 },
  async () => {
    const dir = mkdtempSync(join(tmpdir(), 'dosavia-sw-'));
    cpSync(site, dir, { recursive: true });
    const yearAgo = new Date(Date.now() - 365 * 24 * 3600 * 1000);
    for (const f of readdirSync(dir)) utimesSync(join(dir, f), yearAgo, yearAgo);
    const own = await serve(dir, { lastModified: true });
    const context = await browser.createBrowserContext();
    try {
      const page = await context.newPage();
      const errors = [];
      page.on('pageerror', (e) => errors.push(String(e)));
      await page.goto(`${own.url}index.html?lang=en`, { waitUntil: 'load' });
      await page.evaluate(async () => {
        await navigator.serviceWorker.ready;
        if (!navigator.serviceWorker.controller)
          await new Promise((resolve) =>
            navigator.serviceWorker.addEventListener('controllerchange', resolve, { once: true }),
          );
      });
      const engineWorker = () => page.evaluate(() => fetch('engine_worker.js').then((r) => r.text()));
      // The new build: another engine worker, and the list that versions it.
      const marker = `// the build of ${Date.now()}`;
      appendFileSync(join(dir, 'engine_worker.js'), `${marker}\n`);
      const made = spawnSync(process.execPath, [join(repo, 'web', 'tools', 'make_precache.mjs'), dir]);
      assert.equal(made.status, 0, String(made.stderr));
      // The browser's check of the worker, as on the next visit.
      own.requests.length = 0;
      await page.evaluate(() => navigator.serviceWorker.getRegistration().then((r) => r.update()));
      await page.waitForFunction(() => !document.getElementById('update').hidden, { timeout: 30000 });
      assert.ok(own.requests.includes('/engine_worker.js'), `asked of the server: ${own.requests}`);
      assert.match(await page.$eval('#update', (e) => e.textContent), /new version/);
      const cached = await page.evaluate(() =>
        caches.keys().then((keys) =>
          Promise.all(
            keys.map((k) =>
              caches
                .open(k)
                .then((c) => c.match('engine_worker.js'))
                .then((r) => r.text()),
            ),
          ),
        ),
      );
      assert.equal(cached.length, 2);
      assert.equal(cached.filter((text) => text.includes(marker)).length, 1, 'the new cache holds the new file');
      // The open page still runs on its own version.
      assert.ok(!(await engineWorker()).includes(marker), 'the old page was given a file of the new version');
      await Promise.all([page.waitForNavigation({ timeout: 30000 }), page.click('#update-reload')]);
      assert.ok((await engineWorker()).includes(marker), 'the reloaded page runs on the new version');
      assert.deepEqual(errors, []);
    } finally {
      await context.close();
      own.server.close();
      rmSync(dir, { recursive: true, force: true });
    }
  },
);
