// Deep links: URL parameters that preset a screen and may start it, so that a teacher can put
// a demonstration on a slide, e.g. index.html?screen=visual&lang=en&energy=15&field=1&photons=500&go=1.
// A value that cannot be used is reported and replaced by the default, never half applied.

export const VISUAL_DEFAULTS = Object.freeze({
  screen: 'menu',
  lang: 'ja',
  energy: '10', // MV of a shipped spectrum, or "mono"
  mono: 2, // MeV of the mono-energetic beam
  field: 4, // side of the square field [cm]
  photons: 100,
  step: 1,
  go: 0,
});

const SCREENS = ['menu', 'visual'];
// The explanation pages 1-4 and the references.
SCREENS.push('page1', 'page2', 'page3', 'page4', 'references');
const ENERGIES = ['4', '6', '10', '15', 'mono'];
const FIELD_SIDES = [1, 2, 3, 4, 5, 6, 8, 10];
// A deep link starts at once; a count beyond this would hold a classroom PC for minutes.
export const MAX_LINK_PHOTONS = 1e6;

const rules = {
  screen: (v) => (SCREENS.includes(v) ? v : undefined),
  lang: (v) => (v === 'ja' || v === 'en' ? v : undefined),
  energy: (v) => (ENERGIES.includes(v) ? v : undefined),
  mono: (v) => {
    const x = Number(v);
    return /^\d+(\.\d+)?$/.test(v) && x >= 0.1 && x <= 20 ? x : undefined;
  },
  field: (v) => {
    const x = Number(v);
    return /^\d+$/.test(v) && FIELD_SIDES.includes(x) ? x : undefined;
  },
  photons: (v) => {
    const x = Number(v);
    return /^\d+$/.test(v) && x >= 1 && x <= MAX_LINK_PHOTONS ? x : undefined;
  },
  step: (v) => (v === '0' || v === '1' ? Number(v) : undefined),
  go: (v) => (v === '0' || v === '1' ? Number(v) : undefined),
};

// { values, problems: [{ name, value }] } from a query string ("?a=b&...").
export function parseDeepLink(search) {
  const params = new URLSearchParams(search);
  const values = { ...VISUAL_DEFAULTS };
  const problems = [];
  for (const [name, value] of params) {
    const rule = rules[name];
    if (!rule) continue; // unknown parameters belong to other screens or later editions
    const parsed = rule(value);
    if (parsed === undefined) problems.push({ name, value });
    else values[name] = parsed;
  }
  // An energy given as a number of MeV for a mono-energetic beam implies energy=mono.
  if (params.has('mono') && !params.has('energy') && !problems.some((p) => p.name === 'mono'))
    values.energy = 'mono';
  return { values, problems };
}
