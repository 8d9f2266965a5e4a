// The browser edition's page: the screens (menu, visual simulation, engine, explanation pages,
// lesson), the language, deep links and the notice line. Each screen lives in a module of its
// own; this one only routes.
import { parseDeepLink } from './deeplink.js';
import { language, setLanguage, tr, translatePage } from './i18n.js';
import { addLinkNotice } from './notice.js';
import { loadCore } from './core.js';
import { engineScreen } from './engine.js';
import { visualScreen } from './visual.js';
import { pageScreens } from './pages.js';
import { LESSON_BACK_KEY, lessonScreen } from './lesson.js';
import { enableOffline } from './offline.js';
import { enableHelpAndProjector } from './help.js';

const $ = (id) => document.getElementById(id);

// A screen opened from one of the lesson's links offers the way back to its step.
function showLessonBack(current) {
  let back = null;
  try {
    back = window.sessionStorage.getItem(LESSON_BACK_KEY);
  } catch {
    back = null;
  }
  $('lesson-back').hidden = !back || !current || current.id === lessonScreen.id;
  if (back) $('lesson-back').href = back;
}

// A link's count is read by the core's rule, as a typed one, and the simulation screens open
// with the core's values (one table for Dosavia and the browser); the core is loaded only
// for these, so that the menu opens without it. (Not a top-level await: the page opened from
// a folder is one classic script.)
async function linkCore() {
  const params = new URLSearchParams(window.location.search);
  const needed = params.has('photons') || ['visual', 'engine'].includes(params.get('screen'));
  return needed ? loadCore().catch(() => null) : null;
}

linkCore().then((core) => {
  const link = parseDeepLink(window.location.search, { core });
  setLanguage(link.values.lang);

  // The screens besides the menu, by the name a link gives in `screen`.
  const SCREENS = { [visualScreen.id]: visualScreen, [engineScreen.id]: engineScreen, [lessonScreen.id]: lessonScreen };
  for (const screen of pageScreens) SCREENS[screen.id] = screen;
  const current = SCREENS[link.values.screen] ?? null;

  function applyLanguage() {
    translatePage(document.body);
    $('lang-switch').textContent = language() === 'ja' ? 'English' : '日本語';
    $('lang-switch').lang = language() === 'ja' ? 'en' : 'ja';
    $('lang-switch').setAttribute('aria-label', `${tr('Web', '言語')}: ${language() === 'ja' ? 'English' : '日本語'}`);
    document.title = current ? `${current.title()} — Dosavia` : 'Dosavia';
    current?.applyLanguage();
  }

  $('lang-switch').addEventListener('click', () => {
    setLanguage(language() === 'ja' ? 'en' : 'ja');
    const url = new URL(window.location.href);
    url.searchParams.set('lang', language());
    window.history.replaceState(null, '', url);
    applyLanguage();
  });

  // The screen links keep the language.
  for (const a of document.querySelectorAll('a[href^="?screen="]'))
    a.addEventListener('click', (event) => {
      event.preventDefault();
      window.location.search = `${a.getAttribute('href')}&lang=${language()}`;
    });

  new ResizeObserver(() => current?.redraw()).observe(document.querySelector('main'));

  // A screen shows its own section, or the one it shares with others (the explanation pages).
  document.body.dataset.screen = current ? current.id : 'menu';
  for (const section of document.querySelectorAll('main > .screen'))
    section.hidden = section.id !== (current ? (current.section ?? current.id) : 'menu');
  applyLanguage();
  addLinkNotice(
    link.problems
      .map((p) => tr('Web', 'リンクの %1 の値「%2」は使えません。既定の値で始めます。', p.name, p.value))
      .join(' '),
  );
  current?.start(link.values, link.given);
  showLessonBack(current);
  enableHelpAndProjector(() => current?.redraw());
  enableOffline();
});
