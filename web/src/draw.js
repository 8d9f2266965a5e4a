// Drawing for the visual page: canvases at the device pixel ratio (crisp at any size and
// after a resize), the side view with its tracks, the histogram of the incident photons and
// the live depth-dose curve. Everything drawn here was computed by the C++ core; the graphs'
// frames, grids, ticks and mappings are the page's one chart module's (chart.js).
import { Chart, chartFont, MIN_TEXT_PX, prepareCanvas } from './chart.js';

export { prepareCanvas };

const RED = '#e00000';
// The newest photon's tracks while photons are drawn one by one: black on the red of the older.
export const NEWEST_TRACK = '#000000';
// The accurate transport's own tracks, as the desktop draws them: delta rays light magenta,
// bremsstrahlung photons green.
export const DELTA_RAY_COLOUR = '#ff00ff';
export const BREMSSTRAHLUNG_COLOUR = '#008000';
const FIELD_BLUE = '#0000ff';
const GRID = '#c8c8c8';
// The primary part of the dose on the depth-dose panel, apart from the bars' red and the kerma's blue.
const PRIMARY_ORANGE = 'rgb(235, 125, 0)';
const HIST_BLUE = '#1a3fd0';

// Text on the canvases follows the page's text size (15 px on a projector, more on a large
// screen), never below 14 px, so the numbers read from the back of a classroom.
function basePx() {
  const size =
    typeof getComputedStyle === 'function' ? parseFloat(getComputedStyle(document.documentElement).fontSize) : 15;
  return Math.max(14, size || 15);
}

// Lines are drawn this much heavier in the projector mode.
function lineScale() {
  return typeof document !== 'undefined' && document.documentElement.classList.contains('projector') ? 1.7 : 1;
}

const fontPx = chartFont;

// The dose bars' fill: pale on a screen, so that the fits and kerma dots read over them;
// strong in the projector mode, where a pale red washes out to nothing.
function doseBarColour() {
  return lineScale() > 1 ? 'rgba(190, 20, 20, 0.62)' : 'rgba(200, 40, 40, 0.35)';
}

// Depth grid lines every 5 cm (every 5 cm of the magnified view too) short of the right edge.
function depthMarks(right, m) {
  const marks = [];
  for (let z = 5; z < right - 1.5 / m; z += 5) marks.push(z);
  return marks;
}

// The side view of the phantom: depth z across, lateral x down, in a world window that keeps
// its aspect; `magnification` 2 shows the first half of the depth range twice as large.
// Strokes segments (world units, four numbers each) in `colour` inside the view's clip, the
// context saved: the caller draws more inside the clip and restores it.
function strokeClipped(ctx, map, segments, colour) {
  const { w, x: X, y: Y } = map;
  ctx.save();
  ctx.beginPath();
  ctx.rect(X(w.left), Y(w.top), w.width * map.scale, w.height * map.scale);
  ctx.clip();
  ctx.strokeStyle = colour;
  ctx.lineWidth = Math.max(1, Math.min(2, map.scale / 30)) * lineScale();
  ctx.beginPath();
  for (let i = 0; i + 3 < segments.length; i += 4) {
    ctx.moveTo(X(segments[i]), Y(segments[i + 1]));
    ctx.lineTo(X(segments[i + 2]), Y(segments[i + 3]));
  }
  ctx.stroke();
}

export class SideView {
  constructor(canvas, magnification = 1) {
    this.canvas = canvas;
    this.m = magnification;
    this.segments = []; // Float32Arrays of z1, x1, z2, x2
    this.points = []; // Float32Arrays of z, x
    this.washes = []; // how strongly the picture was washed toward its ground before each drawing
    this.newest = null; // the newest photon's tracks, drawn highlighted: { segments, points }
    this.stored = 0;
    this.field = 4;
    this.captions = ['', ''];
    this.badge = ''; // "physics off: ...", while a part of the physics is switched off
    this.extras = []; // the accurate transport's own tracks: { segments, colour }
    this.key = []; // their key under the captions: { text, colour }
    this.underlay = null; // (ctx, map, font): drawn on the water, behind grid and tracks
    this.ruler = null; // a measured line over the tracks: { a: [z, x], b: [z, x] } [cm]
  }

  // World window [cm]: the desktop screen's scale, divided by the magnification.
  window() {
    const m = this.m;
    return { left: -4.4 / m, top: -12.5 / m, width: 24.4 / m, height: 25.0 / m };
  }

  // World to pixels at one scale for both axes, so tracks keep their true shape. At least
  // 20 cm of depth fill the width and at least 14 cm of lateral range the height; where the
  // box has room to spare, more of the 30 cm phantom and of its width is shown.
  mapping(width, height) {
    const full = this.window();
    const m = this.m;
    const scale = Math.min(width / full.width, height / (14 / m));
    const depthShown = Math.min(34.4 / m, width / scale);
    const lateralShown = Math.min(full.height, height / scale);
    const w = { left: full.left, top: -lateralShown / 2, width: depthShown, height: lateralShown };
    const ox = (width - w.width * scale) / 2;
    const oy = (height - w.height * scale) / 2;
    return { scale, x: (z) => ox + (z - w.left) * scale, y: (x) => oy + (x - w.top) * scale, w };
  }

  clearTracks() {
    this.segments = [];
    this.points = [];
    this.washes = [];
    this.newest = null;
    this.extras = [];
    this.stored = 0;
  }

  // Keeps and draws segments of a colour of their own (delta rays, bremsstrahlung photons),
  // over the electrons' red.
  addExtra(segments, colour) {
    if (segments.length === 0) return;
    this.extras.push({ segments, colour });
    this.drawSegments(segments, colour);
    if (this.ctx && this.map) this.drawLabels(this.ctx, this.map);
  }

  // Keeps the tracks for redrawing after a resize, up to a bound; beyond it only the newest
  // are kept (the eye cannot tell millions of red lines apart anyway).
  keep(segments, points, wash = 0) {
    const limit = 8e6;
    this.segments.push(segments);
    this.points.push(points);
    this.washes.push(wash);
    this.stored += segments.length + points.length;
    while (this.stored > limit && this.segments.length > 1) {
      this.stored -= this.segments.shift().length + this.points.shift().length;
      this.washes.shift();
    }
  }

  // Fades what is drawn toward the water's ground by `share` [0, 1] (the core's fade rule),
  // the grid, the axis and the field edges drawn again at full strength over it.
  washTracks(share) {
    if (!(share > 0) || !this.ctx || !this.map) return;
    this.ground(this.ctx, this.map, share);
    this.lines(this.ctx, this.map);
  }

  // The newest photon's tracks, drawn highlighted; the ones highlighted before go back to
  // the red of the older tracks.
  drawNewest(segments, points) {
    this.retireNewest();
    this.newest = { segments, points };
    this.drawTracks(segments, points, true, NEWEST_TRACK);
  }

  retireNewest() {
    if (!this.newest) return;
    const { segments, points } = this.newest;
    this.newest = null;
    this.drawTracks(segments, points, false);
  }

  redraw() {
    const c = prepareCanvas(this.canvas);
    if (!c) return;
    this.ctx = c.ctx;
    this.map = this.mapping(c.width, c.height);
    this.decorate(c.ctx, this.map);
    for (let i = 0; i < this.segments.length; i++) {
      this.washTracks(this.washes[i]);
      this.drawTracks(this.segments[i], this.points[i], false);
    }
    for (const { segments, colour } of this.extras) this.drawSegments(segments, colour);
    if (this.newest) this.drawTracks(this.newest.segments, this.newest.points, false, NEWEST_TRACK);
    this.drawLabels(c.ctx, this.map);
  }

  // The captions, the scale numbers and the badge, drawn over the tracks on a pale backdrop
  // each, so that they stay readable under tens of thousands of tracks.
  drawLabels(ctx, map) {
    const { w, x: X, y: Y } = map;
    const m = this.m;
    const right = w.left + w.width;
    const bottom = w.top + w.height;
    const gridBottom = bottom - 1.9 / m;
    const small = basePx();
    ctx.save();
    ctx.font = fontPx(small);
    const label = (text, x, y, align, colour = '#000') => {
      if (!text) return;
      ctx.textAlign = align;
      ctx.textBaseline = 'top';
      const width = ctx.measureText(text).width;
      const left = align === 'center' ? x - width / 2 : align === 'right' ? x - width : x;
      ctx.fillStyle = 'rgba(255, 255, 255, 0.85)';
      ctx.fillRect(left - 2, y - 1, width + 4, small * 1.2 + 2);
      ctx.fillStyle = colour;
      ctx.fillText(text, x, y);
    };
    const tail = w.left + 0.4 / m;
    const tip = -0.15 / m;
    label('X-ray', X((tail + tip) / 2), Y(-0.25 / m) - small * 1.25, 'center');
    for (const z of depthMarks(right, m)) label(String(z), X(z), Y(gridBottom + 0.15 / m), 'center');
    label('depth in water  cm', X(right - 0.3 / m), Y(gridBottom + 0.95 / m), 'right');
    // Lateral distance from the axis, both sides, wherever the view reaches it.
    const lateral = (m > 1 ? [-5, 5] : [-10, -5, 5, 10]).filter((v) => Math.abs(v) < bottom - 0.4 / m);
    for (const x of lateral) label(String(Math.abs(x)), X(-0.2 / m), Y(x) - small * 0.6, 'right');
    label('cm', X(-0.2 / m), Y(w.top) + small * 0.3, 'right');
    label(this.captions[0], X(0.3 / m), Y(w.top + 0.1 / m), 'left', RED);
    // On a narrow view (a phone, the Japanese captions) the second caption goes under the
    // first rather than over it.
    const room = X(right - 0.3 / m) - X(0.3 / m);
    const wide = ctx.measureText(this.captions[0]).width + ctx.measureText(this.captions[1]).width + small;
    const lines = wide > room ? 2 : 1;
    this.canvas.dataset.captionLines = String(lines);
    label(this.captions[1], X(right - 0.3 / m), Y(w.top + 0.1 / m) + (lines - 1) * small * 1.25, 'right');
    // The key of the accurate transport's own tracks, a row under the captions.
    let keyX = X(0.3 / m);
    for (const { text, colour } of this.key) {
      label(text, keyX, Y(w.top + 0.1 / m) + lines * small * 1.25, 'left', colour);
      keyX += ctx.measureText(text).width + small;
    }
    if (this.badge) drawBadge(ctx, this.badge, X(0.3 / m), Y(gridBottom) - 4, small);
    ctx.restore();
    this.drawRuler();
  }

  // The ruler: black on a white rim over the tracks, a cross tick at each end and its length
  // to a millimetre (about a pixel at the view's scale) beside the far end.
  drawRuler() {
    const { ctx, map, ruler } = this;
    if (!ctx || !map || !ruler) return;
    const { x: X, y: Y } = map;
    const [ax, ay, bx, by] = [X(ruler.a[0]), Y(ruler.a[1]), X(ruler.b[0]), Y(ruler.b[1])];
    const length = Math.hypot(ruler.b[0] - ruler.a[0], ruler.b[1] - ruler.a[1]);
    const pixels = Math.hypot(bx - ax, by - ay) || 1;
    const tick = 6 * lineScale();
    const [nx, ny] = [(-(by - ay) / pixels) * tick, ((bx - ax) / pixels) * tick];
    ctx.save();
    ctx.lineCap = 'round';
    for (const [colour, width] of [
      ['#fff', 4],
      ['#000', 2],
    ]) {
      ctx.strokeStyle = colour;
      ctx.lineWidth = width * lineScale();
      ctx.beginPath();
      ctx.moveTo(ax, ay);
      ctx.lineTo(bx, by);
      for (const [x, y] of [
        [ax, ay],
        [bx, by],
      ]) {
        ctx.moveTo(x - nx, y - ny);
        ctx.lineTo(x + nx, y + ny);
      }
      ctx.stroke();
    }
    const small = basePx();
    ctx.font = fontPx(small * 1.15, true);
    const text = `${length.toFixed(1)} cm`;
    const width = ctx.measureText(text).width + small * 0.5;
    const height = small * 1.45;
    const left = Math.max(0, Math.min(this.canvas.clientWidth - width, bx - width / 2));
    const top = by - height * 1.5 < 0 ? by + height * 0.5 : by - height * 1.5;
    ctx.fillStyle = '#fff';
    ctx.fillRect(left, top, width, height);
    ctx.fillStyle = '#000';
    ctx.textAlign = 'center';
    ctx.textBaseline = 'middle';
    ctx.fillText(text, left + width / 2, top + height / 2);
    ctx.restore();
  }

  // The side view's point [cm: depth z, lateral x] at a position in the canvas [CSS pixels].
  worldAt(px, py) {
    const { x: X, y: Y, w, scale } = this.map;
    return [w.left + (px - X(w.left)) / scale, w.top + (py - Y(w.top)) / scale];
  }

  decorate(ctx, map) {
    this.ground(ctx, map, 1);
    this.lines(ctx, map);
  }

  // The water (and the phantom's layers) under the tracks, laid `share` opaque.
  ground(ctx, map, share) {
    const { w, x: X, y: Y } = map;
    ctx.save();
    ctx.globalAlpha = share;
    ctx.fillStyle = '#fff';
    ctx.fillRect(X(w.left), Y(w.top), w.width * map.scale, w.height * map.scale);
    if (this.underlay) this.underlay(ctx, map, fontPx(basePx()));
    ctx.restore();
  }

  lines(ctx, map) {
    const { w, x: X, y: Y } = map;
    const m = this.m;
    const right = w.left + w.width;
    const bottom = w.top + w.height;
    ctx.save();
    ctx.lineWidth = 1;
    const gridTop = w.top + 1.6 / m;
    const gridBottom = bottom - 1.9 / m;
    ctx.strokeStyle = GRID;
    ctx.beginPath();
    for (const z of depthMarks(right, m)) {
      ctx.moveTo(X(z), Y(gridTop));
      ctx.lineTo(X(z), Y(gridBottom));
    }
    for (const x of (m > 1 ? [-5, 5] : [-10, -5, 5, 10]).filter((v) => Math.abs(v) < bottom - 0.5 / m)) {
      ctx.moveTo(X(0), Y(x));
      ctx.lineTo(X(right), Y(x));
    }
    ctx.stroke();
    ctx.strokeStyle = '#000';
    ctx.beginPath();
    ctx.moveTo(X(0), Y(0));
    ctx.lineTo(X(right), Y(0));
    ctx.stroke();
    ctx.lineWidth = 2;
    ctx.beginPath();
    ctx.moveTo(X(0), Y(w.top));
    ctx.lineTo(X(0), Y(bottom));
    // The beam arrow on the axis.
    const tail = w.left + 0.4 / m;
    const tip = -0.15 / m;
    ctx.moveTo(X(tail), Y(0));
    ctx.lineTo(X(tip), Y(0));
    ctx.moveTo(X(tip - 0.6 / m), Y(-0.35 / m));
    ctx.lineTo(X(tip), Y(0));
    ctx.lineTo(X(tip - 0.6 / m), Y(0.35 / m));
    ctx.stroke();
    // The field edges.
    ctx.strokeStyle = FIELD_BLUE;
    ctx.lineWidth = 1;
    ctx.beginPath();
    for (const x of [-this.field / 2, this.field / 2]) {
      ctx.moveTo(X(w.left), Y(x));
      ctx.lineTo(X(right), Y(x));
    }
    ctx.stroke();
    ctx.restore();
  }

  // Draws segments (world units) in `colour`, clipped to the view.
  drawSegments(segments, colour) {
    const ctx = this.ctx;
    const map = this.map;
    if (!ctx || !map) return;
    strokeClipped(ctx, map, segments, colour);
    ctx.restore();
  }

  // Draws electron and positron steps and absorption points (world units) in red (or the
  // newest photon's colour), clipped to the view, and the labels over them again unless `labels` is false.
  drawTracks(segments, points, labels = true, colour = RED) {
    const ctx = this.ctx;
    const map = this.map;
    if (!ctx || !map) return;
    const { x: X, y: Y } = map;
    strokeClipped(ctx, map, segments, colour);
    ctx.fillStyle = colour;
    const dot = ctx.lineWidth;
    for (let i = 0; i + 1 < points.length; i += 2)
      ctx.fillRect(X(points[i]) - dot / 2, Y(points[i + 1]) - dot / 2, dot, dot);
    ctx.restore();
    if (labels) this.drawLabels(ctx, map);
  }
}

// The "physics off" badge: white text on a dark orange box, bottom-left at (x, y).
function drawBadge(ctx, text, x, y, px) {
  ctx.save();
  ctx.font = fontPx(px, true);
  ctx.textAlign = 'left';
  ctx.textBaseline = 'bottom';
  const width = ctx.measureText(text).width;
  ctx.fillStyle = '#a33c00';
  ctx.fillRect(x - 4, y - px * 1.35, width + 8, px * 1.5);
  ctx.fillStyle = '#fff';
  ctx.fillText(text, x, y);
  ctx.restore();
}

// Axes of a small chart: a plotting box inside the canvas with room for the numbers.
function chartBox(width, height, pad) {
  return { left: pad.left, top: pad.top, right: width - pad.right, bottom: height - pad.bottom };
}

// The histogram of the incident photons: one bar per 50 keV bin up to 15 MeV, in per cent
// of the highest bin, as on the desktop screen.
export function drawHistogram(canvas, counts, caption) {
  const c = prepareCanvas(canvas);
  if (!c) return;
  const { ctx, width, height } = c;
  // The text (ticks and title under the box, the caption over the bars: 4.3 lines) leaves the
  // bars about half the canvas, down to the smallest readable face: the projector's larger
  // text would squash the spectrum's shape, which is what the class reads, to a strip on the
  // short canvas beside the controls.
  const small = Math.max(MIN_TEXT_PX, Math.min(basePx(), (height / 2 - 8) / 4.3));
  const box = chartBox(width, height, { left: 10, top: 8, right: 10, bottom: small * 2.8 });
  // The highest bar ends a line of text below the top, under the caption.
  const boxHeight = box.bottom - box.top;
  canvas.dataset.barsHeight = String(Math.round(boxHeight - small * 1.5));
  const chart = new Chart(ctx, box, { x: [0, 15], y: [0, (100 * boxHeight) / (boxHeight - small * 1.5)] });
  chart.background();
  chart.grid(
    [...Array(14).keys()].map((e) => e + 1),
    [10, 20, 30, 40, 50, 60, 70, 80, 90],
  );
  let highest = 0;
  if (counts) for (let q = 0; q < 300; q++) highest = Math.max(highest, counts[q]);
  if (highest > 0) {
    ctx.strokeStyle = HIST_BLUE;
    ctx.lineWidth = Math.max(1, chart.width / 300);
    ctx.beginPath();
    for (let q = 0; q < 300; q++) {
      if (!counts[q]) continue;
      const x = chart.X(0.05 * q + 0.025);
      ctx.moveTo(x, box.bottom);
      ctx.lineTo(x, chart.Y((100 * counts[q]) / highest));
    }
    ctx.stroke();
  }
  chart.frame({ width: 2 });
  ctx.fillStyle = '#000';
  ctx.font = fontPx(small);
  ctx.textAlign = 'right';
  ctx.textBaseline = 'top';
  ctx.fillText(caption, box.right - 6, box.top + 4);
  chart.xTicks([0, 2, 4, 6, 8, 10, 12, 14], small);
  chart.xTitle('Photon energy  MeV', box.bottom + small * 1.4, small);
}

// The live depth-dose curve: bars of the dose per bin, the staircase of its primary part and
// dots of the primary kerma in per cent of the fitted maximum, the dose's and kerma's fits as
// lines, and the d_max marker, green once its uncertainty is small and grey while it is not.
// Primary dose against kerma shows transient equilibrium; the bars above the staircase are
// the scattered photons' dose.
// With `align` ({ left, right, zmax } in CSS pixels and cm) the depth axis lines up with the
// side view above it, so each bar sits under the tracks that made it.
export function drawDepthDose(canvas, curve, texts, align, reference) {
  const c = prepareCanvas(canvas);
  if (!c) return;
  const { ctx, width, height } = c;
  const small = basePx();
  const box = chartBox(width, height, { left: small * 3, top: small * 1.8, right: 10, bottom: small * 2.6 });
  let zmax = 20;
  if (align && align.right - align.left > 100 && align.left >= small * 2) {
    box.left = align.left;
    box.right = Math.min(width - 4, align.right);
    zmax = align.zmax;
  }
  // The faint curve before the last physics switch, named so that it is not taken for data.
  const showReference = reference && reference.doseFit && reference.doseFit.length > 0;
  const head = depthHead(ctx, texts, showReference, box, width, small);
  box.top = Math.max(box.top, small * (0.5 + 1.3 * head.lines));
  const chart = new Chart(ctx, box, { x: [0, zmax], y: [0, 125], yClamp: 125 });
  // The depth axis, for the probe that reads the curve at a pointed depth.
  canvas.depthAxis = { left: box.left, right: box.right, zmax };
  chart.background();
  // Behind the grid and the bars: the slab phantom's layers, where the texts bring them.
  if (texts.underlay) texts.underlay(ctx, chart, fontPx(small));
  const zstep = zmax > 12 ? 5 : 2;
  const inner = [];
  for (let z = zstep; z < zmax; z += zstep) inner.push(z);
  chart.grid(inner, [25, 50, 75, 100], { color: GRID });
  // A fit every 0.1 cm up to the right edge, as a line.
  const fitLine = (values, style) =>
    chart.polyline(
      Math.min(values.length, Math.floor(zmax * 10 + 1e-9) + 1),
      (i) => 0.1 * i,
      (i) => values[i],
      style,
    );
  // The curve before the last physics switch, faint and dotted, for comparison.
  if (showReference) fitLine(reference.doseFit, { color: 'rgba(90, 90, 90, 0.55)', width: 2.5, dash: [2, 4] });
  if (curve && curve.hasMaximum) {
    drawDepthBins(ctx, chart, curve, zmax);
    // Fits of a curve the screen cannot read yet are thin and faint (the core's one rule,
    // fitsFirm): their shape is not yet the curve's.
    const firm = curve.fitsFirm !== false;
    const line = (values, colour, faint, dash) => {
      if (values && values.length > 0)
        fitLine(
          values,
          firm
            ? { color: colour, width: 2.5 * lineScale(), dash }
            : { color: faint, width: 1.5 * lineScale(), dash: [3, 5] },
        );
    };
    line(curve.doseFit, '#8b0000', 'rgba(139, 0, 0, 0.45)', []);
    line(curve.kermaFit, '#1f4fbf', 'rgba(31, 79, 191, 0.45)', [6, 4]);
    canvas.dataset.fits = firm ? 'firm' : 'faint';
    drawDmaxMarker(ctx, chart, curve, box);
  }
  chart.frame({ width: 1.5 });
  const ticks = [];
  for (let z = 0; z <= zmax + 1e-9; z += zstep) ticks.push(z);
  chart.xTicks(ticks, small, { edge: width });
  chart.xTitle('depth  cm', box.bottom + small * 1.3, small, { align: 'right' });
  chart.yTicks([0, 50, 100], small);
  drawDepthHead(ctx, head, box, width, small);
  if (texts.badge) drawBadge(ctx, texts.badge, box.left + 6, box.top + small * 1.7, small);
  if (texts.probe && texts.probe.cm <= zmax) drawProbe(ctx, chart, texts.probe, box, small);
}

// The panel's title and legend, laid out: they share the top line where the width allows,
// else take a line each. A title wider than the canvas (a phone, a tablet) is broken before
// its bracket; the legend's entries go in rows no wider than the canvas left of the box's
// right edge, never in a face under the smallest readable one.
function depthHead(ctx, texts, showReference, box, width, small) {
  ctx.font = fontPx(small, true);
  let titleLines = [texts.title];
  const cut = texts.title.indexOf(' (');
  if (ctx.measureText(texts.title).width > width - 4 && cut > 0)
    titleLines = [texts.title.slice(0, cut), texts.title.slice(cut + 1)];
  const titleWidth = Math.max(...titleLines.map((t) => ctx.measureText(t).width));
  ctx.font = fontPx(small);
  const legend = [
    [doseBarColour(), texts.dose, 'bar'],
    ...(texts.primary ? [[PRIMARY_ORANGE, texts.primary, 'line']] : []),
    ['#1f4fbf', texts.kerma, 'dash'],
  ];
  if (showReference) legend.push(['rgba(90, 90, 90, 0.75)', texts.reference, 'dots']);
  const entryWidth = ([, label]) => ctx.measureText(label).width + 34;
  const rowWidth = (row) => row.reduce((sum, entry) => sum + entryWidth(entry), 0);
  const legendRows = [];
  for (const entry of legend) {
    const row = legendRows.at(-1);
    if (row && rowWidth(row) + entryWidth(entry) <= box.right - 2) row.push(entry);
    else legendRows.push([entry]);
  }
  const twoLines =
    titleLines.length > 1 || legendRows.length > 1 || titleWidth + rowWidth(legend) > box.right - box.left;
  return { titleLines, legendRows, twoLines, lines: titleLines.length + (twoLines ? legendRows.length : 0) };
}

// The title, and the legend in the top margin right of or under it, so it never hides a bar.
function drawDepthHead(ctx, head, box, width, small) {
  const { titleLines, legendRows, twoLines } = head;
  ctx.fillStyle = '#000';
  ctx.textAlign = 'left';
  ctx.textBaseline = 'top';
  ctx.font = fontPx(small, true);
  // A line still wider than the canvas (the projector's larger face on a phone) is narrowed to
  // it rather than cut at its edge.
  titleLines.forEach((t, i) =>
    ctx.fillText(
      t,
      Math.min(box.left, Math.max(2, width - 2 - ctx.measureText(t).width)),
      2 + i * small * 1.3,
      width - 4,
    ),
  );
  ctx.font = fontPx(small);
  legendRows.forEach((row, r) => {
    let lx = box.right;
    const ly = twoLines ? 2 + small * 1.3 * (titleLines.length + r) : 2;
    for (const [colour, label, kind] of [...row].reverse()) {
      lx -= ctx.measureText(label).width;
      ctx.fillStyle = '#000';
      ctx.fillText(label, lx, ly);
      lx -= 20;
      ctx.fillStyle = colour;
      ctx.strokeStyle = colour;
      if (kind === 'bar') ctx.fillRect(lx, ly + small * 0.15, 14, small * 0.8);
      else {
        ctx.setLineDash(kind === 'dots' ? [2, 4] : kind === 'dash' ? [6, 4] : []);
        ctx.lineWidth = kind === 'line' ? 2 : 2.5;
        ctx.beginPath();
        ctx.moveTo(lx, ly + small * 0.55);
        ctx.lineTo(lx + 16, ly + small * 0.55);
        ctx.stroke();
        ctx.setLineDash([]);
      }
      lx -= 14;
    }
  });
}

// The dose bins as bars, the primary dose as their staircase, the kerma bins as dots.
function drawDepthBins(ctx, chart, curve, zmax) {
  const X = (z) => chart.X(z);
  const Y = (pct) => chart.Y(pct);
  const bin = curve.binCm;
  ctx.fillStyle = doseBarColour();
  for (let i = 0; i < curve.dose.length && i * bin < zmax; i++) {
    const v = curve.dose[i];
    if (v > 0) chart.bar(i * bin, bin, v, 0.5);
  }
  if (curve.primary && curve.primary.length > 0) {
    ctx.strokeStyle = PRIMARY_ORANGE;
    ctx.lineWidth = 2;
    ctx.beginPath();
    for (let i = 0; i < curve.primary.length && i * bin < zmax; i++) {
      const y = Y(Math.max(0, curve.primary[i]));
      if (i === 0) ctx.moveTo(X(0), y);
      else ctx.lineTo(X(i * bin), y);
      ctx.lineTo(X(Math.min(zmax, (i + 1) * bin)), y);
    }
    ctx.stroke();
  }
  ctx.fillStyle = '#1f4fbf';
  for (let i = 0; i < curve.kerma.length && i * bin < zmax; i++) {
    const v = curve.kerma[i];
    if (v > 0) {
      ctx.beginPath();
      ctx.arc(X((i + 0.5) * bin), Y(v), 2.5, 0, 2 * Math.PI);
      ctx.fill();
    }
  }
}

// d_max: a band of its uncertainty and a marker; none while too few photons make it
// meaningless, nor for a curve that has its maximum at the surface (noDmax).
function drawDmaxMarker(ctx, chart, curve, box) {
  if (curve.tooFewPhotons || curve.noDmax) return;
  const X = (z) => chart.X(z);
  const settled = curve.dmaxSettled;
  if (curve.dmaxSigmaCm > 0) {
    ctx.fillStyle = settled ? 'rgba(0, 140, 0, 0.15)' : 'rgba(120, 120, 120, 0.15)';
    const a = Math.max(0, curve.dmaxCm - curve.dmaxSigmaCm);
    ctx.fillRect(X(a), box.top, X(curve.dmaxCm + curve.dmaxSigmaCm) - X(a), box.bottom - box.top);
  }
  ctx.strokeStyle = settled ? '#007a00' : '#8a8a8a';
  ctx.lineWidth = 2;
  ctx.setLineDash(settled ? [] : [4, 4]);
  ctx.beginPath();
  ctx.moveTo(X(curve.dmaxCm), box.top);
  ctx.lineTo(X(curve.dmaxCm), box.bottom);
  ctx.stroke();
  ctx.setLineDash([]);
}

// The probe: a line at the depth read and its reading beside it.
function drawProbe(ctx, chart, probe, box, small) {
  const px = chart.X(probe.cm);
  ctx.strokeStyle = '#000';
  ctx.lineWidth = 1.5;
  ctx.setLineDash([]);
  ctx.beginPath();
  ctx.moveTo(px, box.top);
  ctx.lineTo(px, box.bottom);
  ctx.stroke();
  ctx.font = fontPx(small, true);
  const tw = ctx.measureText(probe.text).width;
  const tx = Math.min(Math.max(box.left + 2, px + 6), box.right - tw - 6);
  const ty = box.bottom - small * 1.8;
  ctx.fillStyle = 'rgba(255, 255, 255, 0.9)';
  ctx.fillRect(tx - 3, ty - 2, tw + 6, small * 1.4);
  ctx.fillStyle = '#000';
  ctx.textAlign = 'left';
  ctx.textBaseline = 'top';
  ctx.fillText(probe.text, tx, ty);
}
