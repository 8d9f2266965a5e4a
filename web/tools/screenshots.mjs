// Screenshots of the browser edition for the README and docs/: the built site served on
// 127.0.0.1 and photographed in headless Chromium after a deep-linked batch (the lesson once
// its sheet is shown).
// Usage: node web/tools/screenshots.mjs <site folder> <output folder>
import { mkdirSync } from 'node:fs';
import { join } from 'node:path';
import { serve } from '../test/serve.mjs';
import { launch, openPage } from '../test/browser_support.mjs';

const [site, out] = process.argv.slice(2);
mkdirSync(out, { recursive: true });
const shots = [
  ['web_menu_1024.png', '?screen=menu', 1024, 768],
  ['web_visual_1024.png', '?screen=visual&energy=10&field=10&photons=20000&step=0&go=1', 1024, 768],
  ['web_visual_1920_en.png', '?screen=visual&lang=en&energy=4&field=4&photons=100000&seed=3&step=0&go=1', 1920, 1080],
  ['web_visual_phone_en.png', '?screen=visual&lang=en&energy=15&field=1&photons=2000&step=0&go=1', 390, 844],
  ['web_lesson_1024_en.png', '?screen=lesson&lang=en', 1024, 768],
  [
    'web_visual_without_electrons_1024.png',
    '?screen=visual&energy=10&field=4&photons=20000&without=electron-transport&seed=7&step=0&go=1',
    1024,
    768,
  ],
  [
    'web_visual_accurate_1024_en.png',
    '?screen=visual&lang=en&energy=15&field=10&photons=300&accurate=1&step=0&go=1&seed=5',
    1024,
    768,
  ],
];
const { server, url } = await serve(site);
const browser = await launch();
for (const [name, query, width, height] of shots) {
  const { page, errors } = await openPage(browser, `${url}index.html${query}`, width, height);
  if (query.includes('screen=lesson'))
    await page.waitForFunction(() => document.getElementById('lesson').dataset.ready);
  if (query.includes('go=1'))
    await page.waitForFunction(
      () => document.getElementById('stop').disabled && Number(document.getElementById('total').value) > 0,
      { timeout: 60000 },
    );
  await page.screenshot({ path: join(out, name), fullPage: width < 600 });
  if (errors.length) console.error(name, errors);
  console.log(join(out, name));
  await page.close();
}
await browser.close();
server.close();
