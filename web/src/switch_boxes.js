// The physics switches as check boxes, for the visual page and the engine screen alike: one
// box per part of the physics the core can switch off (the core's own list), each labelled
// "without ..." in the page language. The screens differ only in what a change does.
import { language, tr } from './i18n.js';
import { addLinkNotice } from './notice.js';

// Fills `fieldset` with a box per entry of `names` ({ option, ja, en }), ticked where the
// link's `without` words ask; a word that names no part is said in a notice, and the page
// starts with the parts it does name.
export function buildSwitchBoxes(fieldset, names, without, onChange) {
  const unknown = without.filter((option) => !names.some((n) => n.option === option));
  if (unknown.length > 0)
    addLinkNotice(tr('Web', 'リンクの %1 の値「%2」は使えません。既定の値で始めます。', 'without', unknown.join(',')));
  for (const old of fieldset.querySelectorAll('label')) old.remove();
  for (const name of names) {
    const label = document.createElement('label');
    label.className = 'check';
    const box = document.createElement('input');
    box.type = 'checkbox';
    box.dataset.option = name.option;
    box.checked = without.includes(name.option);
    box.addEventListener('change', onChange);
    label.append(box, document.createElement('span'));
    fieldset.append(label);
  }
  labelSwitchBoxes(fieldset, names);
}

// The boxes' labels again, after a language switch.
export function labelSwitchBoxes(fieldset, names) {
  for (const box of fieldset.querySelectorAll('input')) {
    const name = names.find((n) => n.option === box.dataset.option);
    box.nextElementSibling.textContent = tr('Web', '%1 なし', language() === 'en' ? name.en : name.ja);
  }
}
