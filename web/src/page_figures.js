// The explanation pages' figures as SVG, drawn at the width they are shown at so that they are
// crisp on any screen and their text keeps its size on a phone. Every number comes from the
// C++ models through the core (pageFigures()); this module only lays them out. The curves
// differ in dash pattern and marker as well as in colour, so that they are told apart in
// grey print and by colour-blind readers.
import { tr } from './i18n.js';

const SVG = 'http://www.w3.org/2000/svg';
const FONT_PX = 14;
const LINE = FONT_PX * 1.35;

function el(tag, attrs = {}, text) {
  const node = document.createElementNS(SVG, tag);
  for (const [k, v] of Object.entries(attrs)) if (v !== undefined && v !== null) node.setAttribute(k, String(v));
  if (text !== undefined) node.textContent = text;
  return node;
}

let measurer = null;
// Width of `text` in the figures' font [px].
function textWidth(text, bold = false) {
  measurer ??= document.createElement('canvas').getContext('2d');
  measurer.font = `${bold ? 'bold ' : ''}${FONT_PX}px ${getComputedStyle(document.documentElement).fontFamily}`;
  return Math.max(
    ...String(text)
      .split('\n')
      .map((t) => measurer.measureText(t).width),
  );
}

// Text at (x, y) (the middle of its line), anchored start, middle or end; several lines
// when `text` holds line breaks.
function label(svg, x, y, text, { anchor = 'start', bold = false, fill = '#000', cls } = {}) {
  const lines = String(text).split('\n');
  const node = el('text', {
    x,
    y: y - ((lines.length - 1) * LINE) / 2,
    'text-anchor': anchor,
    'dominant-baseline': 'central',
    fill,
    'font-weight': bold ? 'bold' : undefined,
    class: cls,
  });
  if (lines.length === 1) node.textContent = text;
  else lines.forEach((t, i) => node.append(el('tspan', { x, dy: i === 0 ? 0 : LINE }, t)));
  svg.append(node);
  return node;
}

function arrow(svg, x1, y1, x2, y2, color, width, both = false) {
  svg.append(el('line', { x1, y1, x2, y2, stroke: color, 'stroke-width': width }));
  const head = (tx, ty, fx, fy) => {
    const len = Math.hypot(tx - fx, ty - fy);
    if (!len) return;
    const ux = (tx - fx) / len;
    const uy = (ty - fy) / len;
    const s = 4 + 2 * width;
    svg.append(
      el('polygon', {
        fill: color,
        points: `${tx},${ty} ${tx - s * ux - 0.5 * s * uy},${ty - s * uy + 0.5 * s * ux} ${tx - s * ux + 0.5 * s * uy},${ty - s * uy - 0.5 * s * ux}`,
      }),
    );
  };
  head(x2, y2, x1, y1);
  if (both) head(x1, y1, x2, y2);
}

function newSvg(width, height) {
  return el('svg', {
    xmlns: SVG,
    width,
    height,
    viewBox: `0 0 ${width} ${height}`,
    'font-size': FONT_PX,
    class: 'figure-svg',
  });
}

// Axes with ticks, numbers and titles; returns the mapping from values to the drawing.
function axes(svg, area, { xMax, xTick, yMax, yTick, yDecimals = 1, xNumbers = true, xTitle, yTitle }) {
  const map = (x, y) => [area.x + (x / xMax) * area.w, area.y + area.h - (y / yMax) * area.h];
  svg.append(el('rect', { x: area.x, y: area.y, width: area.w, height: area.h, fill: 'none', stroke: '#000' }));
  for (let x = 0; x <= xMax + 1e-9; x += xTick) {
    const [px, py] = map(x, 0);
    svg.append(el('line', { x1: px, y1: py, x2: px, y2: py - 5, stroke: '#000' }));
    if (xNumbers) label(svg, px, py + LINE * 0.6, String(Math.round(x * 10) / 10), { anchor: 'middle' });
  }
  for (let y = 0; y <= yMax + 1e-9; y += yTick) {
    const [px, py] = map(0, y);
    svg.append(el('line', { x1: px, y1: py, x2: px + 5, y2: py, stroke: '#000' }));
    label(svg, px - 4, py, y.toFixed(yDecimals), { anchor: 'end' });
  }
  label(svg, area.x + area.w / 2, area.y + area.h + LINE * 1.6, xTitle, { anchor: 'middle' });
  const yLabel = label(svg, 0, 0, yTitle, { anchor: 'middle' });
  yLabel.setAttribute('transform', `translate(${area.x - 44} ${area.y + area.h / 2}) rotate(-90)`);
  return map;
}

function curvePath(map, xs, ys, scale, xMax) {
  let d = '';
  xs.forEach((x, i) => {
    if (x > xMax) return;
    const [px, py] = map(x, scale * ys[i]);
    d += `${i ? 'L' : 'M'}${px.toFixed(1)},${py.toFixed(1)}`;
  });
  return d;
}

// A legend of line samples (with their dash and marker) and names, one per row.
function legend(svg, x, y, rows) {
  rows.forEach((row, i) => {
    const yy = y + i * (LINE + 2) + LINE / 2;
    if (row.marker) svg.append(el('circle', { cx: x + 12, cy: yy, r: 3.5, fill: row.color }));
    else
      svg.append(
        el('line', {
          x1: x,
          y1: yy,
          x2: x + 26,
          y2: yy,
          stroke: row.color,
          'stroke-width': row.width,
          'stroke-dasharray': row.dash,
        }),
      );
    label(svg, x + 32, yy, row.name);
  });
  return rows.length * (LINE + 2);
}

const fieldName = (side) => `${side}×${side} cm²`;

// Fig.1: the tissue-maximum ratio of three fields and the build-up region of the marked one.
const TMR_STYLES = [
  { color: '#0000e6', width: 1.8, dash: '7 4' },
  { color: '#c80000', width: 2.6 },
  { color: '#007a00', width: 1.8, dash: '2 3' },
];

function tmrFigure(data, width) {
  const height = Math.round(Math.min(440, Math.max(300, width * 0.78)));
  const svg = newSvg(width, height);
  const area = { x: 62, y: 12, w: width - 62 - 14, h: height - 12 - 52 };
  const map = axes(svg, area, {
    xMax: 25,
    xTick: 5,
    yMax: 1.2,
    yTick: 0.2,
    xTitle: tr('Figures', '水中の深さ (cm)'),
    yTitle: 'TMR',
  });
  const [x0, yTop] = map(0, 1.2);
  const [xd, yBottom] = map(data.dMax, 0);
  svg.insertBefore(
    el('rect', { x: x0, y: yTop, width: xd - x0, height: yBottom - yTop, fill: '#fff5c8' }),
    svg.firstChild,
  );
  const rows = data.curves.map((curve, k) => {
    const s = TMR_STYLES[k];
    svg.append(
      el('path', {
        d: curvePath(map, data.depth, curve.values, 1, 25),
        fill: 'none',
        stroke: s.color,
        'stroke-width': s.width,
        'stroke-dasharray': s.dash,
      }),
    );
    return { ...s, name: fieldName(curve.side) };
  });
  const names = rows.map((r) => textWidth(r.name));
  legend(svg, area.x + area.w - 44 - Math.max(...names), area.y + 30, rows);
  const [xm, y1] = map(data.dMax, 1.0);
  const [, y2] = map(data.dMax, 1.08);
  svg.append(el('line', { x1: xm, y1: y1 - 4, x2: xm, y2, stroke: '#000' }));
  label(svg, xm + 2, map(0, 1.14)[1], `d_max ≈ ${data.dMax.toFixed(1)} cm (${data.marked}×${data.marked})`);
  label(svg, xm + 2, map(0, 0.25)[1], `← ${tr('Figures', 'ビルドアップ領域')}`);
  return svg;
}

// Fig.7: narrow fields against a broad one and the primary kerma, each field's d_max marked.
const NARROW_STYLES = [
  { color: '#000000', width: 2.2 },
  { color: '#007a00', width: 1.8, dash: '8 4' },
  { color: '#0000e6', width: 1.8, dash: '8 3 2 3' },
  { color: '#c80000', width: 1.8, dash: '2 3' },
];

function narrowFieldFigure(data, width) {
  const rows = data.curves.map((curve, k) => ({ ...NARROW_STYLES[k], name: fieldName(curve.side) }));
  rows.push({ color: '#6e6e6e', width: 1.6, dash: '5 4', name: tr('Figures', '１次カーマ') });
  rows.push({ color: '#000', marker: true, name: 'd_max' });
  const legendWidth = 40 + Math.max(...rows.map((r) => textWidth(r.name)));
  const beside = width >= 480;
  const plotHeight = Math.round(Math.min(380, Math.max(260, width * 0.6)));
  const legendHeight = beside ? 0 : Math.ceil(rows.length / 2) * (LINE + 2) + 8;
  const svg = newSvg(width, plotHeight + legendHeight);
  const area = { x: 62, y: 12, w: width - 62 - 14 - (beside ? legendWidth : 0), h: plotHeight - 12 - 52 };
  const map = axes(svg, area, {
    xMax: 10,
    xTick: 1,
    yMax: 120,
    yTick: 20,
    yDecimals: 0,
    xTitle: tr('Figures', '水中の深さ (cm)'),
    yTitle: tr('Figures', '相対線量 (%)'),
  });
  const kermaStyle = rows[rows.length - 2];
  svg.append(
    el('path', {
      d: curvePath(map, data.depth, data.kerma, 100, 10),
      fill: 'none',
      stroke: kermaStyle.color,
      'stroke-width': kermaStyle.width,
      'stroke-dasharray': kermaStyle.dash,
    }),
  );
  data.curves.forEach((curve, k) => {
    const s = NARROW_STYLES[k];
    svg.append(
      el('path', {
        d: curvePath(map, data.depth, curve.values, 100, 10),
        fill: 'none',
        stroke: s.color,
        'stroke-width': s.width,
        'stroke-dasharray': s.dash,
      }),
    );
    const [px, py] = map(curve.peakDepth, 100 * curve.peakValue);
    svg.append(el('circle', { cx: px, cy: py, r: 3.5, fill: s.color, stroke: '#fff', 'stroke-width': 1 }));
  });
  if (beside) legend(svg, area.x + area.w + 14, area.y + 6, rows);
  else {
    const half = Math.ceil(rows.length / 2);
    legend(svg, 12, plotHeight, rows.slice(0, half));
    legend(svg, width / 2, plotHeight, rows.slice(half));
  }
  return svg;
}

// Fig.3: the unit volumes along the beam, the electrons each releases and the dose.
function longitudinalModelFigure(model, width) {
  const n = model.kerma.length;
  const left =
    Math.max(
      textWidth(tr('Figures', '２次電子')),
      textWidth(tr('Figures', '吸収線量')),
      textWidth(tr('Figures', 'カーマ →')),
    ) + 14;
  const side = Math.min(54, (width - left - 12) / n);
  const xOf = (i) => left + i * side;
  const note = tr('Figures', '飛程 %1 体積、各体積に %2 ずつ', model.range, Math.round(model.share));
  const noteBeside = textWidth(note) <= width - xOf(model.range) - 12;
  const rows = n - model.range + 1;
  const top = 6 + LINE;
  const rowPitch = 13;
  const electronsTop = top + side + 10;
  const doseY = electronsTop + rows * rowPitch + 6 + (noteBeside ? 0 : LINE + 4);
  const svg = newSvg(width, Math.ceil(doseY + LINE + 6));
  label(svg, left - 8, 4 + LINE / 2, tr('Figures', '深さ'), { anchor: 'end' });
  model.kerma.forEach((k, i) => {
    label(svg, xOf(i) + side / 2, 4 + LINE / 2, String(i + 1), { anchor: 'middle' });
    svg.append(el('rect', { x: xOf(i), y: top, width: side, height: side, fill: '#e1f0ff', stroke: '#000' }));
    label(svg, xOf(i) + side / 2, top + side / 2, String(Math.round(k)), { anchor: 'middle' });
  });
  arrow(svg, 4, top + side / 2, left - 6, top + side / 2, '#000', 2);
  label(svg, 4, top + side / 2 - LINE / 2 - 2, tr('Figures', 'Ｘ線'));
  label(svg, 4, top + side / 2 + LINE / 2 + 3, tr('Figures', 'カーマ →'));
  label(svg, 4, electronsTop + rowPitch / 2, tr('Figures', '２次電子'));
  for (let i = 0; i < rows; i++) {
    const y = electronsTop + i * rowPitch + rowPitch / 2;
    arrow(svg, xOf(i) + side * 0.25, y, xOf(i + model.range) - 3, y, '#b40000', 1.5);
  }
  if (noteBeside) label(svg, width - 6, electronsTop + rowPitch / 2, note, { anchor: 'end', fill: '#b40000' });
  else label(svg, 4, electronsTop + rows * rowPitch + LINE / 2 + 4, note, { fill: '#b40000' });
  label(svg, 4, doseY + LINE / 2, tr('Figures', '吸収線量'));
  model.dose.forEach((d, i) =>
    label(svg, xOf(i) + side / 2, doseY + LINE / 2, String(Math.round(d)), { anchor: 'middle', bold: true }),
  );
  return svg;
}

// Fig.4, Fig.5, Fig.8 and Fig.9: the dose of each volume as bars, the kerma as steps; electrons
// of range 1 do not move, so the dose is the kerma from the surface on.
function modelDoseFigure(model, width) {
  const n = model.kerma.length;
  const height = Math.round(Math.min(360, Math.max(260, width * 0.8)));
  const svg = newSvg(width, height);
  const doseName = tr('Figures', model.attenuated ? '１次線量' : '吸収線量');
  const kermaName = tr('Figures', model.attenuated ? '１次カーマ' : 'カーマ');
  const area = { x: 56, y: 12 + 2 * LINE + 8, w: width - 56 - 10, h: height - (12 + 2 * LINE + 8) - 50 };
  const map = axes(svg, area, {
    xMax: n,
    xTick: 1,
    yMax: 120,
    yTick: 20,
    yDecimals: 0,
    xNumbers: false,
    xTitle: tr('Figures', '深さ（単位体積の番号）'),
    yTitle: tr('Figures', 'カーマ・吸収線量'),
  });
  model.dose.forEach((d, i) => {
    const [x1, y1] = map(i + 0.18, d);
    const [x2, y2] = map(i + 0.82, 0);
    svg.append(el('rect', { x: x1, y: y1, width: x2 - x1, height: y2 - y1, fill: '#78aaff', stroke: '#000' }));
    label(svg, (x1 + x2) / 2, y1 - LINE / 2, String(Math.round(d)), { anchor: 'middle' });
    label(svg, (x1 + x2) / 2, y2 + LINE * 0.6, String(i + 1), { anchor: 'middle' });
  });
  let d = '';
  model.kerma.forEach((k, i) => {
    const [xa, ya] = map(i, k);
    const [xb] = map(i + 1, k);
    d += `${i ? 'L' : 'M'}${xa},${ya}L${xb},${ya}`;
  });
  svg.append(el('path', { d, fill: 'none', stroke: '#c80000', 'stroke-width': 2.6 }));
  const ly = 6 + LINE / 2;
  svg.append(el('rect', { x: area.x, y: ly - 5, width: 14, height: 10, fill: '#78aaff', stroke: '#000' }));
  label(svg, area.x + 18, ly, doseName);
  const kx = area.x + 18 + textWidth(doseName) + 14;
  svg.append(el('line', { x1: kx, y1: ly, x2: kx + 20, y2: ly, stroke: '#c80000', 'stroke-width': 2.6 }));
  label(svg, kx + 24, ly, kermaName);
  const by = ly + LINE + 6;
  const region = tr('Figures', model.range <= 1 ? '線量 = カーマ' : model.attenuated ? '過渡平衡' : '２次電子平衡');
  // The name stands before the arrow; a region from the surface on starts after the name.
  const from = Math.max(map(model.range - 1, 0)[0] + 2, area.x + textWidth(region) + 8);
  arrow(svg, from, by, area.x + area.w - 2, by, '#005a00', 1.2, true);
  label(svg, from - 4, by, region, { anchor: 'end', fill: '#005a00' });
  return svg;
}

// Fig.6: the unit volumes across the beam, where the central volume's electrons go, and the
// dose of the central volume in the fields ① to ④.
function lateralModelFigure(model, width) {
  const volumes = 2 * model.reach + 1;
  const centre = model.reach;
  const notes = [tr('Figures', '← 各体積の１次カーマ'), tr('Figures', '← 中央の体積から出る\n　 ２次電子の行き先')];
  const fieldTexts = model.fields.map((f, k) =>
    f.volumes === 1
      ? tr('Figures', '照射野%1 (1 個)：線量 %2', String.fromCodePoint(0x2460 + k), Math.round(f.dose))
      : tr('Figures', '照射野%1 (%2 個)：線量 %3', String.fromCodePoint(0x2460 + k), f.volumes, Math.round(f.dose)),
  );
  const textColumn = Math.max(...notes.map((t) => textWidth(t)), ...fieldTexts.map((t) => textWidth(t))) + 12;
  const side = Math.max(24, Math.min(40, (width - 48 - textColumn) / volumes));
  const beside = 40 + volumes * side + textColumn <= width;
  const s = beside ? side : Math.min(40, (width - 48) / volumes);
  const left = 40;
  const xOf = (i) => left + i * s;
  const right = xOf(volumes) + 6;
  const top = 4 + LINE + 16;
  const rowPitch = LINE + 8;
  const reachY = top + s + 8;
  const fieldsY = reachY + 14 + LINE + 6 + (beside ? 0 : 2 * LINE + 4);
  const height = fieldsY + model.fields.length * (beside ? rowPitch : rowPitch + LINE) + (beside ? 0 : LINE) + 6;
  const svg = newSvg(width, Math.ceil(height));
  label(svg, 4, 4 + LINE / 2, tr('Figures', 'Ｘ線'));
  for (let i = 0; i < volumes; i++) {
    const x = xOf(i) + s / 2;
    arrow(svg, x, 6, x, top - 3, '#5a5a5a', 1.2);
    svg.append(
      el('rect', {
        x: xOf(i),
        y: top,
        width: s,
        height: s,
        fill: i === centre ? '#fff0aa' : '#e1f0ff',
        stroke: '#000',
      }),
    );
    label(svg, x, top + s / 2, String(Math.round(model.kerma)), { anchor: 'middle' });
  }
  const reachLeft = xOf(centre - (model.reach - 1));
  const reachRight = xOf(centre + model.reach);
  arrow(svg, reachLeft + 2, reachY + 4, reachRight - 2, reachY + 4, '#b40000', 1.5, true);
  for (let i = centre - (model.reach - 1); i <= centre + (model.reach - 1); i++)
    label(svg, xOf(i) + s / 2, reachY + 8 + LINE / 2, String(Math.round(i === centre ? model.ownShare : model.share)), {
      anchor: 'middle',
      fill: '#b40000',
    });
  if (beside) {
    label(svg, right, top + s / 2, notes[0]);
    label(svg, right, reachY + LINE / 2 + 4, notes[1], { fill: '#b40000' });
  } else {
    label(svg, 4, reachY + 14 + LINE * 1.5, notes[0].replace('← ', '↑ '));
    label(svg, 4, reachY + 14 + LINE * 2.5 + 4, notes[1].replace('← ', '↑ ').replace(/\n\s*/, ' '), {
      fill: '#b40000',
    });
  }
  model.fields.forEach((f, k) => {
    const y = fieldsY + k * (beside ? rowPitch : rowPitch + LINE) + rowPitch / 2;
    const x1 = xOf(centre - Math.floor(f.volumes / 2)) + 2;
    const x2 = xOf(centre + Math.floor(f.volumes / 2) + 1) - 2;
    svg.append(
      el('path', {
        d: `M${x1},${y - 5}V${y + 5}M${x1},${y}H${x2}M${x2},${y - 5}V${y + 5}`,
        stroke: '#0000a0',
        'stroke-width': 1.8,
        fill: 'none',
      }),
    );
    if (beside) label(svg, right, y, fieldTexts[k]);
    else label(svg, 4, y + LINE, fieldTexts[k]);
  });
  return svg;
}

// Fig.10 to Fig.12: a slab phantom's depth dose (solid) against water's for the same field
// (dashed, in the phantom curve's colour, or black where two phantoms share the field), the
// phantom's layers shaded and named behind the curves.
const INTERFACE_COLOURS = ['#c80000', '#0000e6', '#007a00'];
const BAND_COLOURS = { lung: '#ffe4e1', bone: '#ece6d2', air: '#e1f0ff', bolus: '#e1f5e1' };
const MATERIAL_NAMES = { lung: '肺', bone: '骨', air: '空気', bolus: 'ボーラス', water: '水' };
const PHANTOM_NAMES = { lung: '肺スラブ', bone: '骨スラブ', air: '空気層', bolus: 'ボーラス', water: '水' };

function interfaceFigure(data, width) {
  const rows = data.curves.map((curve) => ({
    color: curve.colour >= 0 ? INTERFACE_COLOURS[curve.colour % INTERFACE_COLOURS.length] : '#000',
    width: curve.water ? 1.6 : 2.2,
    dash: curve.water ? '6 4' : undefined,
    name: `${tr('Figures', PHANTOM_NAMES[curve.water ? 'water' : curve.phantom])} ${fieldName(curve.side)}`,
  }));
  // The legend in two columns where they fit, else in one.
  const twoColumns = width >= 480;
  const half = twoColumns ? Math.ceil(rows.length / 2) : rows.length;
  const plotHeight = Math.round(Math.min(360, Math.max(240, width * 0.6)));
  const svg = newSvg(width, plotHeight + half * (LINE + 2) + 8);
  const area = { x: 62, y: 12, w: width - 62 - 14, h: plotHeight - 12 - 52 };
  const xMax = 20;
  const yMax = 120;
  const toX = (x) => area.x + (x / xMax) * area.w;
  for (const band of data.bands) {
    svg.append(
      el('rect', {
        x: toX(band.from),
        y: area.y,
        width: toX(band.to) - toX(band.from),
        height: area.h,
        fill: BAND_COLOURS[band.material] ?? '#eee',
      }),
    );
  }
  const map = axes(svg, area, {
    xMax,
    xTick: 5,
    yMax,
    yTick: 20,
    yDecimals: 0,
    xTitle: tr('Figures', '表面からの深さ (cm)'),
    yTitle: tr('Figures', '相対線量 (%)'),
  });
  // Each band's name at its top, the next one a line lower, clear of a thin layer's name.
  data.bands.forEach((band, k) =>
    label(svg, toX(band.from) + 3, area.y + LINE / 2 + 2 + k * LINE, tr('Figures', MATERIAL_NAMES[band.material]), {
      fill: '#5a5a5a',
    }),
  );
  data.curves.forEach((curve, k) => {
    const s = rows[k];
    const clipped = curve.values.map((v) => Math.min(v, yMax));
    svg.append(
      el('path', {
        d: curvePath(map, data.depth, clipped, 1, xMax),
        fill: 'none',
        stroke: s.color,
        'stroke-width': s.width,
        'stroke-dasharray': s.dash,
      }),
    );
  });
  legend(svg, 12, plotHeight, rows.slice(0, half));
  if (twoColumns) legend(svg, width / 2, plotHeight, rows.slice(half));
  return svg;
}

// The page figure `name` (fig1, fig3 ... fig12, as the page numbers it) of the core's data,
// `width` px wide, drawn by the function named as Dosavia names the figure (TmrFigure, ...);
// a note when the data behind it cannot be read.
export function drawFigure(name, figures, width) {
  const w = Math.max(280, Math.floor(width));
  const data = figures[name];
  if (!data) {
    const svg = newSvg(w, 60);
    label(svg, w / 2, 30, tr('Figures', '深部線量データがありません'), { anchor: 'middle', fill: '#b40000' });
    return svg;
  }
  switch (name) {
    case 'fig1':
      return tmrFigure(data, w);
    case 'fig3':
      return longitudinalModelFigure(data, w);
    case 'fig4':
    case 'fig5':
    case 'fig8':
    case 'fig9':
      return modelDoseFigure(data, w);
    case 'fig6':
      return lateralModelFigure(data, w);
    case 'fig7':
      return narrowFieldFigure(data, w);
    case 'fig10':
    case 'fig11':
    case 'fig12':
      return interfaceFigure(data, w);
    default:
      throw new Error(`no figure ${name}`);
  }
}
