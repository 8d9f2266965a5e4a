// The engine screen's downloads: the graph with its key, legend and value table as a PNG of
// a chosen size, the curves as CSV and the value table as TSV (both the C++'s text), each
// naming the geometry its curves are shown in.
import { COMPONENT_STYLES, KERMA_COLOR, KERMA_LINE, drawGraph, drawSwatch, setColor } from './engine_draw.js';
import { chartFont } from './chart.js';
import { $, componentNames, estimated, graphTexts, state, tableCells, tableNote } from './engine_state.js';
import { language, tr } from './i18n.js';

export function saveBlob(blob, name) {
  const url = URL.createObjectURL(blob);
  const a = document.createElement('a');
  a.href = url;
  a.download = name;
  document.body.append(a);
  a.click();
  a.remove();
  setTimeout(() => URL.revokeObjectURL(url), 1000);
}

// The graph, then the key, the legend and the value table, at the chosen size.
export function renderPicture(width, height) {
  const canvas = document.createElement('canvas');
  canvas.width = width;
  canvas.height = height;
  const ctx = canvas.getContext('2d');
  ctx.fillStyle = '#fff';
  ctx.fillRect(0, 0, width, height);
  const px = Math.max(10, Math.round(width / 70));
  const rowH = 1.5 * px;
  const note = state.sets.some(estimated);
  // The column titles, each in its column: one too wide for it breaks before its unit
  // ("表面 0–1 mm" over "[%]"), and no title runs into the next ("mm [%]D10").
  const headers = [
    tr('CurveSetLegend', 'エネルギー, 照射野, ファイル'),
    'd_max [cm]',
    tr('CurveSetLegend', '表面 0–1 mm [%]'),
    'D10/Dmax [%]',
    'TPR20,10',
  ];
  const columns = [px * 2.2, width * 0.5, width * 0.66, width * 0.78, width * 0.9];
  const room = (c) => (columns[c + 1] ?? width) - columns[c] - 0.5 * px;
  ctx.font = chartFont(px * 0.9, true);
  const headerLines = headers.map((h, c) => {
    const unit = h.lastIndexOf(' [');
    return ctx.measureText(h).width <= room(c) || unit <= 0 ? [h] : [h.slice(0, unit), h.slice(unit + 1)];
  });
  const headerExtra = headerLines.some((lines) => lines.length > 1) ? 1.1 * px : 0;
  const tableH = rowH * (state.sets.length + (note ? 2 : 1)) + 1.8 * px + headerExtra;
  const graphH = Math.max(height * 0.4, height - tableH - 0.5 * px);
  drawGraph(ctx, { x: 0, y: 0, w: width, h: graphH }, state.sets, state.kerma, graphTexts(), px);
  let y = graphH + 0.9 * px;
  ctx.font = chartFont(px * 0.9);
  ctx.textBaseline = 'middle';
  ctx.fillStyle = '#000';
  let x = px;
  componentNames().forEach((name, k) => {
    drawSwatch(ctx, x, y, 3 * px, COMPONENT_STYLES[k], '#333', px / 14);
    ctx.fillText(name, x + 3.4 * px, y);
    x += 3.8 * px + ctx.measureText(name).width + px;
  });
  if (state.kerma) {
    drawSwatch(ctx, x, y, 3 * px, KERMA_LINE, KERMA_COLOR, px / 14);
    ctx.fillText(`${tr('Figures', '一次線水カーマ')} ${state.kerma.name}`, x + 3.4 * px, y);
  }
  y += rowH;
  ctx.font = chartFont(px * 0.9, true);
  headerLines.forEach((lines, c) => lines.forEach((t, k) => ctx.fillText(t, columns[c], y + k * 1.1 * px, room(c))));
  y += headerExtra;
  ctx.font = chartFont(px * 0.9);
  for (const set of state.sets) {
    y += rowH;
    ctx.fillStyle = setColor(set.family);
    ctx.fillRect(px * 0.6, y - 0.4 * px, px * 1.2, 0.8 * px);
    ctx.fillStyle = '#000';
    tableCells(set).forEach((text, c) =>
      ctx.fillText(text, columns[c], y, (columns[c + 1] ?? width) - columns[c] - 0.5 * px),
    );
  }
  if (note) {
    y += rowH;
    ctx.fillText(tableNote(), px * 0.6, y, width - 1.2 * px);
  }
  return canvas;
}

export function pressPng() {
  const w = Math.max(320, Math.min(4000, Math.floor(Number($('e-png-w').value)) || 1600));
  const h = Math.max(240, Math.min(4000, Math.floor(Number($('e-png-h').value)) || 1200));
  renderPicture(w, h).toBlob((blob) => saveBlob(blob, 'depth_dose.png'), 'image/png');
}

export async function csvText() {
  const names = {
    depth: tr('Figures', '深さ [cm]'),
    kerma: tr('Figures', '一次線水カーマ'),
    dose: componentNames(),
    // Curves of a point source say so, with the scale they keep (the parallel beam's).
    relative:
      state.ssd > 0
        ? tr(
            'Figures',
            '（点線源 SSD %1 cm への近似換算、表面で平行ビームの 0～5 cm の一次線水カーマ最大値 = 1）',
            state.ssd,
          )
        : tr('Figures', '（0～5 cm の一次線水カーマ最大値 = 1）'),
  };
  const sets = state.sets.map((s) => ({ id: s.id, field: s.field, energy: s.energy, file: s.name }));
  // A phantom set's columns name its layers in the page's language.
  await state.total.call('language', { lang: language() });
  const text = await state.total.call('csv', {
    sets,
    kermaId: state.kerma ? state.kerma.id : -1,
    kermaFile: state.kerma ? state.kerma.name : '',
    names,
    ssd: state.ssd,
  });
  // The C++ text starts with the byte-order mark; the UTF-8 decoding that brings it into
  // JavaScript drops a leading one, so it is put back for the file.
  return text.startsWith('\uFEFF') ? text : `\uFEFF${text}`;
}

export async function pressCsv() {
  saveBlob(new Blob([await csvText()], { type: 'text/csv' }), 'depth_dose.csv');
}

// The value table as tab-separated text, one row per drawn set, with machine names in its
// header (the same as Dosavia --plot R --table FILE.tsv).
export function tsvText() {
  const sets = state.sets.map((s) => ({ id: s.id, field: s.field, energy: s.energy, file: s.name, ssd: s.ssd }));
  return state.total.call('tsv', { sets });
}

// Named after the result when every set is drawn from one, else after the graph.
function tsvName() {
  const names = [...new Set(state.sets.map((s) => s.name))];
  return names.length === 1 ? `${names[0].replace(/\.data$/i, '')}.tsv` : 'depth_dose.tsv';
}

export async function pressTsv() {
  if (state.sets.length === 0) return;
  saveBlob(new Blob([await tsvText()], { type: 'text/tab-separated-values' }), tsvName());
}
