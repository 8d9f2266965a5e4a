// Headless Chromium or Firefox ESR (Debian's packages) driven by puppeteer-core for the page
// tests: DOSAVIA_BROWSER=firefox runs them in Firefox (WebDriver BiDi), else Chromium, so that
// schools on either engine are covered (tools/test.sh runs the main page tests in both).
import { existsSync } from 'node:fs';
import { after, before } from 'node:test';
import { dirname, join } from 'node:path';
import { fileURLToPath, pathToFileURL } from 'node:url';
import puppeteer from 'puppeteer-core';

import { serve } from './serve.mjs';

export const BROWSER = process.env.DOSAVIA_BROWSER === 'firefox' ? 'firefox' : 'chrome';
// The browser's program where installed (named CHROMIUM for the tests' skip conditions).
export const CHROMIUM = (
  BROWSER === 'firefox' ? ['/usr/bin/firefox-esr'] : ['/usr/bin/chromium', '/usr/bin/chromium-browser']
).find((p) => existsSync(p));

// The built site (tools/build-web.sh), or the folder DOSAVIA_WEB_DIR names.
export const SITE =
  process.env.DOSAVIA_WEB_DIR ?? join(dirname(fileURLToPath(import.meta.url)), '..', '..', 'build', 'web');

// The site's page as a student opens it from the folder by double-click, with a query.
export function folderUrl(query = '') {
  return `${pathToFileURL(join(SITE, 'index.html')).href}${query}`;
}

export async function launch() {
  if (BROWSER === 'firefox') return puppeteer.launch({ browser: 'firefox', executablePath: CHROMIUM, headless: true });
  return puppeteer.launch({
    executablePath: CHROMIUM,
    headless: true,
    args: [
      '--no-sandbox',
      '--disable-gpu',
      '--disable-quic',
      '--no-first-run',
      '--disable-background-networking',
      '--disable-component-update',
      '--disable-sync',
      '--font-render-hinting=none',
    ],
  });
}

// A new tab. Chromium now and then answers the request for one, made just after another tab
// closed, with "Session with given id not found" (seen about once in twenty page-test runs);
// the tab is then asked for again instead of failing a test that never reached the page.
async function newPage(browser) {
  for (let attempt = 1; ; ++attempt) {
    try {
      return await browser.newPage();
    } catch (e) {
      if (attempt >= 3 || !/Session with given id not found/.test(String(e))) throw e;
      await new Promise((res) => setTimeout(res, 200));
    }
  }
}

// A page at a viewport size that records console errors and page errors.
export async function openPage(browser, url, width, height, options = {}) {
  const page = await newPage(browser);
  const errors = [];
  page.on('console', (m) => {
    if (m.type() === 'error') errors.push(m.text());
  });
  page.on('pageerror', (e) => errors.push(String(e)));
  // The questions before a long batch and before removing a kept result are answered yes.
  page.on('dialog', (d) => d.accept());
  // Touch emulation is Chromium's; Firefox gets the phone's size only.
  const touch = BROWSER === 'chrome' ? { isMobile: options.mobile ?? false, hasTouch: options.mobile ?? false } : {};
  await page.setViewport({ width, height, deviceScaleFactor: options.dpr ?? 1, ...touch });
  await page.goto(url, { waitUntil: 'load' });
  return { page, errors };
}

// Red pixels of the track colour on the visual screen's side view.
export function redPixels(page) {
  return page.$eval('#side', (canvas) => {
    const data = canvas.getContext('2d').getImageData(0, 0, canvas.width, canvas.height).data;
    let n = 0;
    for (let i = 0; i < data.length; i += 4) if (data[i] > 200 && data[i + 1] < 40 && data[i + 2] < 40) n++;
    return n;
  });
}

// Until the visual screen's batch has ended with `total` photons in all.
export async function waitForTotal(page, total, timeout = 20000) {
  await page.waitForFunction(
    (t) => document.getElementById('total').value === String(t) && document.getElementById('stop').disabled,
    { timeout },
    total,
  );
}

// For a test file: the site served on a local port and Chromium started (where installed)
// before its tests, both closed after them; `take` receives { url, browser } once they run.
export function serveSiteInChromium(site, take) {
  let server;
  let browser;
  before(async () => {
    let url;
    ({ server, url } = await serve(site));
    if (CHROMIUM) browser = await launch();
    take({ url, browser });
  });
  after(async () => {
    await browser?.close();
    server?.close();
  });
}
