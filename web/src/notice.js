// The notice lines under the title bar: what was wrong with the link the page was opened with,
// and a problem with the user's last action. Each stays until its close button is pressed;
// the action's line also goes when the action is done again without the problem, and is
// replaced by the next problem. The lines take room from the screen below them, never from
// below the window, so the d_max line stays in view.
import { tr } from './i18n.js';

const lines = { link: '', action: '' };

function render() {
  const notice = document.getElementById('notice');
  notice.replaceChildren();
  for (const kind of ['link', 'action']) {
    if (!lines[kind]) continue;
    const line = document.createElement('p');
    line.className = 'notice-line';
    line.dataset.kind = kind;
    const text = document.createElement('span');
    text.textContent = lines[kind];
    const close = document.createElement('button');
    close.type = 'button';
    close.className = 'notice-close';
    close.textContent = '✕';
    close.setAttribute('aria-label', tr('Web', 'お知らせを閉じる'));
    close.addEventListener('click', () => {
      lines[kind] = '';
      render();
    });
    line.append(text, close);
    notice.append(line);
  }
  notice.hidden = !lines.link && !lines.action;
}

// Adds a sentence about the link (its unusable values); kept until closed.
export function addLinkNotice(text) {
  if (!text) return;
  lines.link = lines.link ? `${lines.link} ${text}` : text;
  render();
}

// The problem with the last action ('' when the action went well).
export function showNotice(text) {
  if (lines.action === (text || '')) return;
  lines.action = text || '';
  render();
}

// The texts shown, for the tests and a screen reader's summary.
export function noticeText() {
  return [lines.link, lines.action].filter(Boolean).join(' ');
}
