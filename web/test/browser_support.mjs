// Headless Chromium (Debian's package) driven by puppeteer-core for the page tests.
import { existsSync } from 'node:fs';
import puppeteer from 'puppeteer-core';

export const CHROMIUM = ['/usr/bin/chromium', '/usr/bin/chromium-browser'].find((p) => existsSync(p));

export async function launch() {
  return puppeteer.launch({
    executablePath: CHROMIUM,
    headless: true,
    args: [
      '--no-sandbox', '--disable-gpu', '--disable-quic', '--no-first-run',
      '--disable-background-networking', '--disable-component-update', '--disable-sync',
      '--font-render-hinting=none',
    ],
  });
}

// A page at a viewport size that records console errors and page errors.
export async function openPage(browser, url, width, height, options = {}) {
  const page = await browser.newPage();
  const errors = [];
  page.on('console', (m) => { if (m.type() === 'error') errors.push(m.text()); });
  page.on('pageerror', (e) => errors.push(String(e)));
  await page.setViewport({ width, height, deviceScaleFactor: options.dpr ?? 1, isMobile: options.mobile ?? false, hasTouch: options.mobile ?? false });
  await page.goto(url, { waitUntil: 'load' });
  return { page, errors };
}
