// The keyboard-help panel ("?" or its button) and the projector mode (larger text and lines,
// high contrast), a toggle the browser remembers for the next lesson and every open tab of the
// site follows.
const $ = (id) => document.getElementById(id);
const PROJECTOR_KEY = 'dosavia-projector';

function remembered() {
  try {
    return window.localStorage.getItem(PROJECTOR_KEY) === '1';
  } catch {
    return false; // storage refused (a page opened from a folder in some browsers)
  }
}

export function setProjector(on, onChange) {
  document.documentElement.classList.toggle('projector', on);
  $('projector').setAttribute('aria-pressed', String(on));
  try {
    window.localStorage.setItem(PROJECTOR_KEY, on ? '1' : '0');
  } catch {
    // not remembered, still shown
  }
  onChange?.();
}

export function projectorOn() {
  return document.documentElement.classList.contains('projector');
}

// `onChange`: redraws the current screen's canvases after the projector mode changed.
export function enableHelpAndProjector(onChange) {
  const help = $('help');
  $('help-open').addEventListener('click', () => help.showModal());
  document.addEventListener('keydown', (event) => {
    const typing =
      ['INPUT', 'SELECT', 'TEXTAREA'].includes(event.target.tagName) &&
      !['checkbox', 'radio', 'range'].includes(event.target.type);
    if (event.key === '?' && !typing && !help.open) {
      event.preventDefault();
      help.showModal();
    }
  });
  if (remembered()) setProjector(true);
  $('projector').addEventListener('click', () => setProjector(!projectorOn(), onChange));
  // Switched in another tab of the site: this one follows, as the next page opened would.
  window.addEventListener('storage', (event) => {
    if (event.key === PROJECTOR_KEY && (event.newValue === '1') !== projectorOn())
      setProjector(event.newValue === '1', onChange);
  });
}
