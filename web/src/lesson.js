// The lesson screen: a lesson's sheet inside the site, in the page's language: the build-up
// lesson, or the one a link names (lesson=interfaces). Its texts are the sheets themselves
// (docs/lesson_*.md, read at build time into lesson_sheets.js), so the screen and the printed
// sheet cannot tell a class different numbers. The students' steps carry the deep links that
// open each experiment prepared and the questions; the teacher's tips carry the answers with
// the spread one run shows, and what the model leaves out. Both print (the students' steps alone, or everything).
import { LESSONS } from './lesson_sheets.js';
import { language, tr } from './i18n.js';
import { LESSON_NAMES } from './deeplink.js';

const $ = (id) => document.getElementById(id);

// Each lesson's name in the list of lessons, by its name in links.
const LESSON_TITLES = { buildup: 'ビルドアップ', interfaces: '境界：肺・空気・骨・ボーラス' };

// The lesson the address names; the first one where it names none or one not known (the
// deep link's notice says so).
function lessonName() {
  const name = new URLSearchParams(window.location.search).get('lesson');
  return LESSON_NAMES.includes(name) && LESSONS[name] ? name : LESSON_NAMES[0];
}

// The lessons as links, the one shown marked.
function renderChoice() {
  const nav = $('lesson-choice');
  nav.setAttribute('aria-label', tr('Web', '授業案の一覧'));
  nav.replaceChildren(
    ...LESSON_NAMES.filter((name) => LESSONS[name]).map((name) => {
      const a = document.createElement('a');
      a.href = `?screen=lesson&lesson=${name}&lang=${language()}`;
      a.textContent = tr('Web', LESSON_TITLES[name]);
      if (name === lessonName()) a.setAttribute('aria-current', 'page');
      return a;
    }),
  );
}

// Inline tokens of a sheet as nodes: links into the site stay links (each opens its
// experiment), code stays code, the rest is text.
function nodes(tokens) {
  return tokens.map((token) => {
    if (token.t === 'text') return document.createTextNode(token.s);
    const tag = { em: 'em', strong: 'strong', code: 'code', link: 'a' }[token.t];
    const node = document.createElement(tag);
    node.textContent = token.s;
    if (token.t === 'link') {
      node.href = token.href;
      node.className = 'lesson-link';
      // The full address, printed after the label: a printed sheet's link is typed or scanned
      // from paper, where a relative one would lead nowhere.
      node.dataset.url = new URL(token.href, window.location.href).href;
      node.addEventListener('click', rememberLesson);
    }
    return node;
  });
}

// The lesson's address, kept for this tab: the screen a link opens offers the way back to
// the step it came from (app.js).
export const LESSON_BACK_KEY = 'dosavia-lesson-back';
function rememberLesson(event) {
  const step = event.currentTarget.closest('section[id]');
  const back = new URL(window.location.href);
  back.hash = step ? step.id : '';
  try {
    window.sessionStorage.setItem(LESSON_BACK_KEY, back.href);
  } catch {
    // Storage refused (a private window's quota): the browser's Back still leads there.
  }
}

function paragraph(tokens, className) {
  const p = document.createElement('p');
  if (className) p.className = className;
  p.append(...nodes(tokens));
  return p;
}

function list(items, className) {
  const ul = document.createElement('ul');
  ul.className = className;
  ul.append(
    ...items.map((tokens) => {
      const li = document.createElement('li');
      li.append(...nodes(tokens));
      return li;
    }),
  );
  return ul;
}

function block(b) {
  return b.kind === 'links' ? list(b.items, 'lesson-links') : paragraph(b.tokens, `lesson-${b.kind}`);
}

function section(title, children, className, id) {
  const s = document.createElement('section');
  s.className = className;
  if (id) s.id = id;
  const h = document.createElement('h3');
  h.textContent = title;
  s.append(h, ...children);
  return s;
}

function render() {
  const sheet = LESSONS[lessonName()][language()];
  renderChoice();
  $('lesson-title').textContent = sheet.title;
  $('lesson-step-list').replaceChildren(
    ...sheet.steps.map((step, i) => section(step.title, step.student.map(block), 'lesson-step', `step-${i + 1}`)),
  );
  // Back from a link's screen: the step it was opened from.
  if (window.location.hash) document.getElementById(window.location.hash.slice(1))?.scrollIntoView();
  $('lesson-tip-list').replaceChildren(
    section(
      tr('Web', '授業の前に'),
      [
        ...sheet.intro.map((tokens) => paragraph(tokens)),
        paragraph([
          {
            t: 'text',
            s: tr(
              'Web',
              'プロジェクターで見せる時は、右上の「プロジェクター」ボタンで文字を大きく、線を太くします。go=1 や run=1 のリンクは、開くとすぐに計算を始めます。',
            ),
          },
        ]),
      ],
      'lesson-tip',
    ),
    ...sheet.steps
      .filter((step) => step.teacher.length > 0)
      .map((step) => section(step.title, step.teacher.map(block), 'lesson-tip')),
    section(sheet.model.title, [list(sheet.model.items, 'lesson-model')], 'lesson-tip'),
  );
  $('lesson').dataset.ready = language();
}

// The students' steps alone, or the whole sheet with the teacher's tips.
function print(stepsOnly) {
  document.body.classList.toggle('print-steps', stepsOnly);
  window.addEventListener('afterprint', () => document.body.classList.remove('print-steps'), { once: true });
  window.print();
}

$('lesson-print-steps').addEventListener('click', () => print(true));
$('lesson-print-all').addEventListener('click', () => print(false));

export const lessonScreen = {
  id: 'lesson',
  title: () => LESSONS[lessonName()][language()].title,
  start: render,
  applyLanguage: render,
  redraw() {},
};
