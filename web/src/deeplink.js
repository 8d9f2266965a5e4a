// Deep links: URL parameters that preset a screen and may start it, so that a teacher can put
// a demonstration on a slide, e.g. index.html?screen=visual&lang=en&energy=15&field=1&photons=500&go=1
// or index.html?screen=engine&energy=6&photons=1000000&field=10&run=1; seed=N repeats a
// visual series picture for picture, or an engine run's file; ssd=100 shows the engine's
// curves as those of a point source at that SSD [cm] instead of the parallel beam;
// accurate=1 runs the engine's accurate electron transport (Kestrun --accurate).
// A value that cannot be used is reported and replaced by the default, never half applied.
// A count is read by the core's rule for every count box ("1e5", "100,000", "1,000,000",
// full-width digits), handed in as `readCount`.
import { ENGINE_FIELD_SIDES, SSD_RANGE_CM, VISUAL_FIELD_SIDES } from './field_sizes.js';

export const VISUAL_DEFAULTS = Object.freeze({
  screen: 'menu',
  lang: 'ja',
  energy: '10', // MV of a shipped spectrum, or "mono"
  mono: 2, // MeV of the mono-energetic beam
  field: 4, // side of the square field [cm]
  photons: 100,
  step: 1,
  go: 0,
  run: 0,
  without: [], // parts of the physics switched off on the visual screen
  seed: '', // the random seed as typed in the seed box ('': a fresh one on the visual screen, the default sequence on the engine's)
  ssd: 0, // the engine's curves of a point source at this SSD [cm]; 0: the parallel beam
  accurate: 0, // 1: the accurate electron transport instead of the exact one
});

// The engine screen's own defaults where the link does not set them.
export const ENGINE_DEFAULTS = Object.freeze({ photons: 1000000, field: 10 });

const SCREENS = ['menu', 'visual', 'engine'];
// The explanation pages 1-5 and the references; the lesson sheet.
SCREENS.push('page1', 'page2', 'page3', 'page4', 'page5', 'references', 'lesson');
const ENERGIES = ['4', '6', '10', '15', 'mono'];
// The visual screen's fields; the engine's result files hold 15 and 20 cm besides.
const FIELD_SIDES = VISUAL_FIELD_SIDES;
// A deep link starts at once; a count beyond this would hold a classroom PC for minutes.
export const MAX_LINK_PHOTONS = 1e6;
const MAX_SEED = 2147483647;

const rules = {
  screen: (v) => (SCREENS.includes(v) ? v : undefined),
  lang: (v) => (v === 'ja' || v === 'en' ? v : undefined),
  energy: (v) => (ENERGIES.includes(v) ? v : undefined),
  // A positive number of MeV; the visual screen checks it against the core's photon table
  // (MonoenergeticRangeMeV) once that is loaded, and refuses it there as here.
  mono: (v) => {
    const x = Number(v);
    return /^\d+(\.\d+)?$/.test(v) && x > 0 ? x : undefined;
  },
  field: (v) => {
    const x = Number(v);
    return /^\d+$/.test(v) && ENGINE_FIELD_SIDES.includes(x) ? x : undefined;
  },
  photons: (v, readCount) => {
    // A count with a fraction ("1.5") is refused as the count boxes refuse it, not cut.
    const x = readCount ? readCount(v.normalize('NFKC')) : /^\d+$/.test(v) ? Number(v) : NaN;
    return Number.isInteger(x) && x >= 1 && x <= MAX_LINK_PHOTONS ? x : undefined;
  },
  step: (v) => (v === '0' || v === '1' ? Number(v) : undefined),
  go: (v) => (v === '0' || v === '1' ? Number(v) : undefined),
  // Kestrun's --without words, comma-separated; the screen checks them against the core's list.
  without: (v) => (/^[a-z-]+(,[a-z-]+)*$/.test(v) ? v.split(',') : undefined),
  run: (v) => (v === '0' || v === '1' ? Number(v) : undefined),
  accurate: (v) => (v === '0' || v === '1' ? Number(v) : undefined),
  // A seed as Kestrun's --seed takes it: decimal digits, 0 to 2147483647, leading zeros
  // read away however many.
  seed: (v) => {
    const digits = /^\d+$/.test(v) ? v.replace(/^0+(?=\d)/, '') : '';
    return digits.length >= 1 && digits.length <= 10 && Number(digits) <= MAX_SEED ? digits : undefined;
  },
  ssd: (v) => {
    const x = Number(v);
    return /^\d+(\.\d+)?$/.test(v) && x >= SSD_RANGE_CM[0] && x <= SSD_RANGE_CM[1] ? x : undefined;
  },
};

// { values, problems: [{ name, value }], given } from a query string ("?a=b&..."); `given`
// names the parameters the link set to usable values. `readCount`: the core's count rule
// (typedCount); without it a count must be plain digits.
export function parseDeepLink(search, { readCount } = {}) {
  const params = new URLSearchParams(search);
  const values = { ...VISUAL_DEFAULTS };
  const problems = [];
  const given = [];
  for (const [name, value] of params) {
    const rule = rules[name];
    if (!rule) continue; // unknown parameters belong to other screens or later editions
    // A value given twice, differently (seed=1&seed=2, ssd=100&ssd=abc): which was meant is
    // not known, so neither is applied and both are said.
    const all = params.getAll(name);
    if (name !== 'without' && new Set(all).size > 1) {
      if (!problems.some((p) => p.name === name)) problems.push({ name, value: all.join(', ') });
      continue;
    }
    const parsed = rule(value, readCount);
    if (parsed === undefined) problems.push({ name, value });
    else if (name === 'without' && given.includes(name)) {
      // A list: repeated (without=a&without=b), every one counts.
      values.without = [...new Set([...values.without, ...parsed])];
    } else {
      values[name] = parsed;
      if (!given.includes(name)) given.push(name);
    }
  }
  // An energy given as a number of MeV for a mono-energetic beam implies energy=mono.
  if (params.has('mono') && !params.has('energy') && !problems.some((p) => p.name === 'mono')) values.energy = 'mono';
  // What one screen cannot use: the visual screen's fields end at 10 cm and its beam is
  // parallel, the engine has no mono-energetic beam.
  const reject = (name, fallback) => {
    problems.push({ name, value: params.get(name) });
    values[name] = fallback;
    given.splice(given.indexOf(name), 1);
  };
  if (values.screen === 'engine') {
    if (values.energy === 'mono') reject(params.has('energy') ? 'energy' : 'mono', VISUAL_DEFAULTS.energy);
    for (const [name, value] of Object.entries(ENGINE_DEFAULTS)) if (!given.includes(name)) values[name] = value;
  } else {
    if (given.includes('field') && !FIELD_SIDES.includes(values.field)) reject('field', VISUAL_DEFAULTS.field);
    if (given.includes('ssd')) reject('ssd', VISUAL_DEFAULTS.ssd);
  }
  // As Kestrun refuses --accurate with --without: the switches are experiments on the exact transport.
  if (values.accurate === 1 && values.without.length > 0) reject('accurate', VISUAL_DEFAULTS.accurate);
  return { values, problems, given };
}
