// The explanation pages (pages 1-6 and the references) of the browser edition. Their texts
// are Dosavia's own page table and their figures' numbers Dosavia's figure models, both from
// the C++ core; this module lays the texts out (a paragraph's lines flow together, so that
// the page fits a phone) and draws the figures at the width they get.
import { loadCore } from './core.js';
import { language, tr } from './i18n.js';
import { drawFigure } from './page_figures.js';
import { showNotice } from './notice.js';

const $ = (id) => document.getElementById(id);

// The screens by link name, in the reading order of the core's pages (pages 1-6, then the
// references). Each page names the figures it shows under its captions (Fig.2 is the
// shipped picture).
export const PAGE_SCREENS = ['page1', 'page2', 'page3', 'page4', 'page5', 'page6', 'references'];
const FIG2_PICTURE = 'fig2_electron_absorption.png';

let content = null; // { pages: [...], figures: {...} } from the core
let shown = null; // the screen id shown
let drawnWidths = '';

const pageOf = (id) => content.pages[PAGE_SCREENS.indexOf(id)];
const linkTo = (id) => `?screen=${id}&lang=${language()}`;

// The page's lines as paragraphs: Japanese lines join directly, English ones with a space.
function blocks(page) {
  const out = [];
  const joiner = language() === 'en' ? ' ' : '';
  for (const line of page.lines) {
    const translated = line.kind.startsWith('citation') ? line.text : tr(page.context, line.text);
    const continues = line.kind === 'body' || line.kind === 'citation-more';
    if (continues && out.length)
      out[out.length - 1].text += (line.kind === 'citation-more' ? ' ' : joiner) + translated;
    else out.push({ kind: line.kind, text: translated });
  }
  return out;
}

function renderNav() {
  const nav = $('page-nav');
  nav.setAttribute('aria-label', tr('MenuWindow', '解 説'));
  nav.replaceChildren(
    ...PAGE_SCREENS.map((id) => {
      const a = document.createElement('a');
      a.href = linkTo(id);
      a.textContent = tr(pageOf(id).context, pageOf(id).title);
      if (id === shown) a.setAttribute('aria-current', 'page');
      return a;
    }),
  );
}

function renderText(page) {
  const text = $('page-text');
  const nodes = blocks(page).map((b) => {
    const node = document.createElement(b.kind === 'heading' ? 'h2' : 'p');
    if (b.kind === 'citation') node.className = 'citation';
    node.textContent = b.text;
    return node;
  });
  text.replaceChildren(...nodes);
}

function renderFigures(page) {
  const box = $('page-figures');
  box.hidden = page.captions.length === 0;
  box.replaceChildren(
    ...page.captions.map((caption, k) => {
      const figure = document.createElement('figure');
      figure.dataset.figure = page.figures[k];
      const cap = document.createElement('figcaption');
      cap.id = `page-caption-${k}`;
      cap.textContent = tr(page.context, caption);
      figure.append(cap);
      if (figure.dataset.figure === 'fig2') {
        const img = document.createElement('img');
        img.src = FIG2_PICTURE;
        img.alt = cap.textContent;
        img.width = 628;
        img.height = 472;
        figure.append(img);
      } else {
        figure.append(document.createElement('div'));
      }
      // What the picture says in words, under it in the page's language.
      const note = page.notes?.[k];
      if (note) {
        const p = document.createElement('p');
        p.className = 'figure-note';
        p.textContent = tr(page.context, note);
        figure.append(p);
      }
      return figure;
    }),
  );
  drawnWidths = '';
  drawFigures();
}

// Draws each figure at its box's width; again only when a width changed.
function drawFigures() {
  if (!content || !shown) return;
  const figures = [...$('page-figures').querySelectorAll('figure')].filter((f) => f.dataset.figure !== 'fig2');
  const drawing = (f) => f.querySelector(':scope > div');
  const widths = figures.map((f) => drawing(f).clientWidth).join(',');
  if (widths === drawnWidths) return;
  drawnWidths = widths;
  for (const figure of figures) {
    const svg = drawFigure(figure.dataset.figure, content.figures, drawing(figure).clientWidth);
    svg.setAttribute('role', 'img');
    svg.setAttribute('aria-labelledby', figure.querySelector('figcaption').id);
    drawing(figure).replaceChildren(svg);
  }
}

function render() {
  if (!content || !shown) return;
  const page = pageOf(shown);
  $('page-title').textContent = tr(page.context, page.title);
  renderNav();
  renderText(page);
  const next = $('page-next');
  next.hidden = !page.next;
  if (page.next) {
    next.href = linkTo(PAGE_SCREENS[PAGE_SCREENS.indexOf(shown) + 1]);
    next.textContent = tr(page.context, page.next);
  }
  renderFigures(page);
}

function pageScreen(id) {
  return {
    id,
    section: 'pages',
    title: () => (content ? tr(pageOf(id).context, pageOf(id).title) : 'Dosavia'),
    async start() {
      shown = id;
      try {
        if (!content) {
          const core = await loadCore();
          content = { pages: core.pageTexts(), figures: core.pageFigures() };
        }
      } catch (error) {
        showNotice(tr('Web', 'シミュレーションの準備ができません: %1', error.message));
        return;
      }
      render();
      document.title = `${tr(pageOf(id).context, pageOf(id).title)} — Dosavia`;
      $('pages').dataset.ready = id;
    },
    applyLanguage: render,
    redraw: drawFigures,
  };
}

export const pageScreens = PAGE_SCREENS.map(pageScreen);
