// Deep links: URL parameters that preset a screen and may start it, so that a teacher can put
// a demonstration on a slide, e.g. index.html?screen=visual&lang=en&energy=15&field=1&photons=500&go=1
// or index.html?screen=engine&energy=6&photons=1000000&field=10&run=1; seed=N repeats a
// visual series picture for picture, or an engine run's file; ssd=100 shows the engine's
// curves as those of a point source at that SSD [cm] instead of the parallel beam;
// accurate=1 runs the engine's accurate electron transport (Kestrun --accurate); fade=0 keeps
// every track of the visual screen as drawn instead of fading the older ones;
// screen=lesson&lesson=interfaces opens a lesson other than the first.
// A value that cannot be used is reported and replaced by the default, never half applied.
// A count is read by the core's rule for every count box ("1e5", "100,000", "1,000,000",
// full-width digits), handed in as `readCount`.
import { ENGINE_FIELD_SIDES, SSD_RANGE_CM, VISUAL_FIELD_SIDES } from './field_sizes.js';

// What a link sets besides a screen's boxes, where it does not set it.
export const LINK_DEFAULTS = Object.freeze({
  screen: 'menu',
  lang: 'ja',
  go: 0,
  run: 0,
  seed: '', // the random seed as typed in the seed box ('': a fresh one on the visual screen, the default sequence on the engine's)
  ssd: 0, // the engine's curves of a point source at this SSD [cm]; 0: the parallel beam
  accurate: 0, // 1: the accurate electron transport instead of the exact one
  fade: 1, // 0: the visual screen's older tracks stay as drawn
  phantom: 'water', // a slab phantom: a preset's key or layers "water:2,air:3"
  lesson: 'buildup', // the lesson sheet the lesson screen shows
});

// The lessons of the lesson screen by their names in links, the first the one it opens with.
export const LESSON_NAMES = ['buildup', 'interfaces'];

// The boxes of `screen` as it opens: the core's one table for Dosavia and the browser
// (visualOpening, engineOpening), so that both open alike; none without the core (the menu
// and the pages use none of them).
export function openingValues(core, screen) {
  if (!core) return {};
  const visual = core.visualOpening();
  const values = {
    energy: visual.energy, // MV of a shipped spectrum, or "mono"
    mono: visual.monoMeV, // MeV of the mono-energetic beam
    field: visual.fieldSide, // side of the square field [cm]
    photons: Number(visual.photons),
    step: visual.stepDisplay ? 1 : 0,
    without: visual.without, // parts of the physics switched off
  };
  if (screen !== 'engine') return values;
  const engine = core.engineOpening();
  return {
    ...values,
    energy: engine.energy,
    field: engine.fieldSide,
    photons: Number(engine.photons),
    ssd: engine.ssd,
  };
}

const SCREENS = ['menu', 'visual', 'engine'];
// The explanation pages 1-6 and the references; the lesson sheet.
SCREENS.push('page1', 'page2', 'page3', 'page4', 'page5', 'page6', 'references', 'lesson');
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
  fade: (v) => (v === '0' || v === '1' ? Number(v) : undefined),
  // A preset's key or layers of material:cm, read by the core's phantom-link rule; the
  // layers themselves are judged when the screen runs them.
  phantom: (v, readCount, core) =>
    (core ? core.visualPhantomLinkValid(v) : /^[a-z]+(:[\d.]+)?(,[a-z]+:[\d.]+)*$/.test(v)) ? v : undefined,
  lesson: (v) => (LESSON_NAMES.includes(v) ? v : undefined),
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
// names the parameters the link set to usable values. `core`: the C++ core, whose count rule
// (typedCount) reads a count and whose tables give the screen's opening values; without it
// a count must be plain digits and the boxes' values are left unset.
export function parseDeepLink(search, { core } = {}) {
  const readCount = core?.typedCount;
  const params = new URLSearchParams(search);
  const values = { ...LINK_DEFAULTS };
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
    const parsed = rule(value, readCount, core);
    if (parsed === undefined) problems.push({ name, value });
    else if (name === 'without' && given.includes(name)) {
      // A list: repeated (without=a&without=b), every one counts.
      values.without = [...new Set([...values.without, ...parsed])];
    } else {
      values[name] = parsed;
      if (!given.includes(name)) given.push(name);
    }
  }
  const opening = openingValues(core, values.screen);
  for (const [name, value] of Object.entries(opening)) if (!given.includes(name)) values[name] = value;
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
    if (values.energy === 'mono') reject(params.has('energy') ? 'energy' : 'mono', opening.energy);
  } else {
    if (given.includes('field') && !FIELD_SIDES.includes(values.field)) reject('field', opening.field);
    if (given.includes('ssd')) reject('ssd', LINK_DEFAULTS.ssd);
  }
  // As Kestrun refuses --accurate with --without: the switches are experiments on the exact transport.
  if (values.accurate === 1 && (values.without ?? []).length > 0) reject('accurate', LINK_DEFAULTS.accurate);
  return { values, problems, given };
}
