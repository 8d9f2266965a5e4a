// The slab phantom of the browser's visual screen: the choice of the class's presets (the
// core's one list, Dosavia's too), the worker's answer (the phantom in force and its bands),
// and the bands drawn faint and labelled behind the tracks and behind the depth-dose curve,
// so that the class sees where lung, bone or air begins and the electrons run further in it.
// The layers, their data and the dose per gram are the core's; here only choice and drawing.
import { language } from './i18n.js';

// The phantom in force as the worker last said: its link value and its bands
// ({ top, bottom, material, ja, en, shade }, depths in cm).
export const phantom = { link: 'water', bands: [], accurateBefore: false };

// Whether the physics boxes rest: a phantom runs the accurate transport whatever they say.
export const inPhantom = () => phantom.link !== 'water';

// Fills the select with the core's presets ({ key, ja, en }; none: those it holds), in the
// page's language; a link's written-out layers (`link`, the phantom in force) get an option
// of their own.
export function fillPhantomChoice(select, presets = JSON.parse(select.dataset.presets || '[]'), link = phantom.link) {
  const chosen = select.value || link;
  const options = presets.map((p) => new Option(language() === 'en' ? p.en : p.ja, p.key));
  if (!presets.some((p) => p.key === link)) options.push(new Option(link, link));
  select.replaceChildren(...options);
  select.value = presets.some((p) => p.key === chosen) || chosen === link ? chosen : 'water';
  select.dataset.presets = JSON.stringify(presets);
}

// Keeps the worker's answer ({ error, link, bands }) and shows the phantom in force: in a
// phantom the accurate transport runs (its box ticked and resting, the switches with it);
// back in water the box as it was before.
export function takePhantomAnswer(select, accurateBox, answer) {
  const wasWater = phantom.link === 'water';
  if (wasWater && answer.link !== 'water') phantom.accurateBefore = accurateBox.checked;
  if (!wasWater && answer.link === 'water') accurateBox.checked = phantom.accurateBefore ?? false;
  if (answer.link !== 'water') accurateBox.checked = true;
  phantom.link = answer.link;
  phantom.bands = answer.bands;
  const presets = JSON.parse(select.dataset.presets || '[]');
  if (presets.length > 0) fillPhantomChoice(select, presets);
  select.value = answer.link;
  const names = phantom.bands.map((b) => (language() === 'en' ? b.en : b.ja));
  select.closest('.row')?.setAttribute('data-bands', names.join(','));
}

const colour = (shade, alpha) => `rgba(${(shade >> 16) & 255}, ${(shade >> 8) & 255}, ${shade & 255}, ${alpha})`;

// Shades each band (the phantom in force's unless given) between its depths (placed by
// `depthToX`) over the height from `y0` to `y1` [px], its name at its left, `labelY` down:
// the visual screen's and the engine screen's graphs alike.
export function shadeBands(ctx, depthToX, y0, y1, font, labelY = y0 + 3, bands = phantom.bands) {
  ctx.save();
  ctx.font = font;
  ctx.textBaseline = 'top';
  for (const band of bands) {
    const left = depthToX(band.top);
    const right = depthToX(band.bottom);
    if (!(right > left)) continue;
    ctx.fillStyle = colour(band.shade, 0.35);
    ctx.fillRect(left, y0, right - left, y1 - y0);
    ctx.fillStyle = colour(band.shade, 1);
    ctx.fillRect(left, y0, 1.5, y1 - y0);
    ctx.fillRect(right - 1.5, y0, 1.5, y1 - y0);
    ctx.fillStyle = '#333';
    ctx.fillText(language() === 'en' ? band.en : band.ja, left + 3, labelY);
  }
  ctx.restore();
}

// The side view's underlay (SideView.underlay): the bands over the whole lateral extent,
// named under the captions' rows at the top, where the tracks are sparse.
export function sideUnderlay(ctx, map, font) {
  const { w, x: X, y: Y } = map;
  const line = parseFloat(font) * 1.25;
  const top = Y(w.top);
  shadeBands(
    ctx,
    (z) => X(Math.min(Math.max(z, 0), w.left + w.width)),
    top,
    Y(w.top + w.height),
    font,
    top + 3.2 * line,
  );
}

// The depth-dose panel's underlay: the bands over the chart's height.
export function depthUnderlay(ctx, chart, font) {
  const { box } = chart;
  shadeBands(ctx, (z) => chart.X(Math.min(Math.max(z, chart.x0), chart.x1)), box.top, box.bottom, font);
}
