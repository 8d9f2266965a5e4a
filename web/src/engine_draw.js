// Drawing of the engine screen's depth-dose graph: the compared curve sets over depth 0-30 cm
// in per cent of each result's fitted surface kerma (its display scale), and for the picture
// download the legend and the value table under it. The sets are told apart by colour (the
// Okabe-Ito palette, which stays distinct for the common colour-vision deficiencies) and the
// dose components by line style,
// so that no pair depends on red against green. Every number drawn was computed by the C++;
// the frame, grid, ticks and mapping are the page's one chart module's (chart.js).
import { Chart, chartFont, noteLines } from './chart.js';
import { shadeBands } from './visual_phantom.js';

// A set's colour: its family's total colour, from the core's one rule for Dosavia and the
// browser (curveSetColors), given once the screen starts.
let SET_COLORS = ['#000000'];
export function useSetColors(families) {
  SET_COLORS = families.map((family) => family.total);
}
export const KERMA_COLOR = '#444444';
// Total, primary, scatter: solid and thick, dashed, dotted.
export const COMPONENT_STYLES = [
  { dash: [], width: 2.4 },
  { dash: [9, 5], width: 1.6 },
  { dash: [2, 4], width: 1.8 },
];
const KERMA_STYLE = { dash: [12, 4, 2, 4], width: 1.4 };

export function setColor(family) {
  return SET_COLORS[((family % SET_COLORS.length) + SET_COLORS.length) % SET_COLORS.length];
}

// The graph into the box (x, y, w, h) of `ctx`. sets: [{ curves, scale, field, family }],
// curves as the worker gives them ({ kerma, dose }) on the result file's scale, `scale` the
// factor that puts them on the display's (1 if absent), `bands` a phantom result's layers
// (shaded behind the curves); kerma: { curves, scale } of the file whose kerma is drawn, or
// null; texts: { title, geometry, depth, dose, doseScale, empty },
// geometry (the beam's) after the title, doseScale (what 100 % is) under the axis title.
// Returns where the depth axis's 0 and 30 cm lie in the box ({ left, right } [px]), for the
// depth probe.
export function drawGraph(ctx, box, sets, kerma, texts, px = 14) {
  const { x, y, w, h } = box;
  ctx.save();
  ctx.fillStyle = '#fff';
  ctx.fillRect(x, y, w, h);
  const right = x + w - px;
  // The title names the geometry of the curves after a dash, or on a line of its own where
  // the plot is too narrow (a phone).
  ctx.font = chartFont(px * 0.95);
  const whole = texts.geometry ? `${texts.title} — ${texts.geometry}` : texts.title;
  const plotWidth = right - (x + (texts.doseScale ? 4.6 : 3.6) * px);
  const titleLines =
    ctx.measureText(whole).width > plotWidth && texts.geometry ? [texts.title, texts.geometry] : [whole];
  const top = y + (1.1 + 1.1 * titleLines.length) * px;
  const bottom = y + h - 2.6 * px;
  // What 100 % is, beside the dose axis's title: as many lines as the axis needs.
  const scaleLines = texts.doseScale ? noteLines(ctx, texts.doseScale, px * 0.95, bottom - top) : [];
  const left = x + (scaleLines.length ? 4.6 + 1.1 * (scaleLines.length - 1) : 3.6) * px;
  const chart = new Chart(ctx, { left, top, right, bottom }, { x: [0, 30], y: [0, 110] });
  const depths = [0, 5, 10, 15, 20, 25, 30];
  const percents = [0, 20, 40, 60, 80, 100];
  // A phantom result's layers shaded behind everything (the first set run in one names
  // them), so that the class sees where the dose falls and builds up again.
  const bands = sets.find((set) => set.bands?.length > 0)?.bands ?? [];
  shadeBands(ctx, (z) => chart.X(Math.min(Math.max(z, 0), 30)), top, bottom, chartFont(px * 0.8), top + 3, bands);
  chart.grid(depths, percents);
  chart.xTicks(depths, px * 0.9, { gap: 0.3 * px });
  chart.yTicks(percents, px * 0.9, { gap: 0.4 * px });
  chart.frame();
  chart.xTitle(texts.depth, y + h - 0.1 * px, px * 0.95, { baseline: 'bottom' });
  ctx.fillStyle = '#000';
  ctx.font = chartFont(px * 0.95);
  ctx.textAlign = 'center';
  ctx.textBaseline = 'top';
  titleLines.forEach((t, i) => ctx.fillText(t, (left + right) / 2, y + (0.3 + 1.15 * i) * px, right - left));
  chart.yTitle(texts.dose, x + 0.9 * px, px * 0.95, scaleLines);

  chart.clipped(() => {
    // A curve of 0.1 cm bins, drawn at the bins' centres, in the style's width and dashes
    // grown with the text.
    const curve = (values, offset, count, style, color, scale = 1) =>
      chart.polyline(
        count,
        (i) => 0.1 * i + 0.05,
        (i) => 100 * scale * values[offset + i],
        {
          color,
          width: style.width * (px / 14),
          dash: style.dash.map((d) => d * (px / 14)),
        },
      );
    if (kerma) curve(kerma.curves.kerma, 0, 300, KERMA_STYLE, KERMA_COLOR, kerma.scale ?? 1);
    for (const set of sets) {
      // The dose curves end at bin 299, as the desktop's do (the last bin lies at the box's floor).
      for (let k = 0; k < 3; k += 1)
        curve(
          set.curves.dose,
          (k * 10 + (set.field - 1)) * 300,
          299,
          COMPONENT_STYLES[k],
          setColor(set.family),
          set.scale ?? 1,
        );
    }
  });
  if (sets.length === 0 && !kerma) {
    ctx.font = chartFont(px * 0.9);
    ctx.textAlign = 'center';
    ctx.textBaseline = 'middle';
    ctx.fillStyle = '#555';
    ctx.fillText(texts.empty, (left + right) / 2, (top + bottom) / 2);
  }
  ctx.restore();
  return { left, right };
}

// A short sample of a line style in a colour, for legends drawn on a canvas.
export function drawSwatch(ctx, x, y, length, style, color, scale = 1) {
  ctx.save();
  ctx.strokeStyle = color;
  ctx.lineWidth = style.width * scale;
  ctx.setLineDash(style.dash.map((d) => d * scale));
  ctx.beginPath();
  ctx.moveTo(x, y);
  ctx.lineTo(x + length, y);
  ctx.stroke();
  ctx.restore();
}

export const KERMA_LINE = KERMA_STYLE;
