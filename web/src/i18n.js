// The interface language of the browser edition. The Japanese texts are the keys, exactly as
// Dosavia's source code writes them; English comes from Dosavia's translation file (through
// texts.js, generated at build time), so both programs say the same.
import { TEXTS } from './texts.js';

let current = 'ja';

export function setLanguage(lang) {
  current = lang === 'en' ? 'en' : 'ja';
  if (typeof document !== 'undefined') document.documentElement.lang = current;
}

export function language() {
  return current;
}

// The text `ja` of context `ctx` in the interface language, with %1, %2, ... filled in.
export function tr(ctx, ja, ...args) {
  const table = TEXTS[ctx];
  if (!table || !(ja in table)) throw new Error(`text without a source: ${ctx} "${ja}"`);
  const text = current === 'en' ? table[ja] : ja;
  return text.replace(/%(\d)/g, (m, n) => (args[n - 1] !== undefined ? String(args[n - 1]) : m));
}

// A worker's failure in the interface language: by its problem code where it has one (the
// workers send codes, never words), else as the error says it.
export function errorText(error) {
  const args = error?.problem?.args ?? [];
  if (error?.problem?.code === 'failed') return tr('Web', '計算が %1 で失敗しました (%2)', ...args);
  if (error?.problem?.code === 'busy') return tr('Web', 'バッチの実行中は %1 できません', ...args);
  return String(error?.message ?? error);
}

// Every element with data-tr="<context>|<Japanese text>" gets its text; data-tr-attr names an
// attribute (aria-label, title, placeholder) to set instead of the text.
export function translatePage(root) {
  for (const el of root.querySelectorAll('[data-tr]')) {
    const [ctx, ja] = el.dataset.tr.split('|');
    const text = tr(ctx, ja);
    if (el.dataset.trAttr) el.setAttribute(el.dataset.trAttr, text.trim());
    // A hyphen inside a word ("build-up") does not end a line: a non-breaking one instead.
    else el.textContent = text.trim().replace(/(\w)-(\w)/g, '$1\u2011$2');
  }
}
