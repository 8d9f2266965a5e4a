// The one chart module of the page's canvas graphs (the histogram of the incident photons,
// the visual screen's depth-dose panel and the engine screen's graph), as the desktop has one
// figure_axes: a canvas at the device pixel ratio, a plotting box with its world-to-pixel
// mapping, its grid, frame, tick numbers (never under 14 px), axis titles, polylines and bars.
// Each graph keeps its own look through the options; what a graph shows is its own module's.

// The face of all canvas text: the page's (style.css), with the Japanese fonts a classroom PC
// has, proportional ones only (IPAGothic's Latin letters are monospaced).
const FACES =
  '"Segoe UI", "Hiragino Sans", "Yu Gothic UI", Meiryo, "Noto Sans CJK JP", "DejaVu Sans", "IPAPGothic", system-ui, sans-serif';
export function chartFont(px, bold = false) {
  return `${bold ? 'bold ' : ''}${px}px ${FACES}`;
}

// The smallest text a canvas draws [CSS px], so that numbers read from the back of a room.
export const MIN_TEXT_PX = 14;

// The face of an axis title's note beside the title of face `px`.
const noteFacePx = (px) => Math.max(MIN_TEXT_PX, px * 0.85);

// An axis title's note in lines no longer than `length` px, broken between words (and inside
// a word longer than a line), so that it is never squeezed under the smallest readable face.
export function noteLines(ctx, note, px, length) {
  ctx.save();
  ctx.font = chartFont(noteFacePx(px));
  const fits = (t) => ctx.measureText(t).width <= length;
  const lines = [''];
  for (const word of note.split(/(?<= )/))
    for (const piece of fits(word) ? [word] : [...word]) {
      if (lines.at(-1) && !fits(lines.at(-1) + piece)) lines.push('');
      lines[lines.length - 1] += piece;
    }
  ctx.restore();
  return lines.map((l) => l.trim()).filter(Boolean);
}

// Sizes the canvas's backing store to its box at the device pixel ratio; returns the 2D
// context in CSS pixels and the box size, or null while the canvas is not laid out.
export function prepareCanvas(canvas) {
  const rect = canvas.getBoundingClientRect();
  if (rect.width < 2 || rect.height < 2) return null;
  const dpr = window.devicePixelRatio || 1;
  const w = Math.round(rect.width * dpr);
  const h = Math.round(rect.height * dpr);
  if (canvas.width !== w || canvas.height !== h) {
    canvas.width = w;
    canvas.height = h;
  }
  const ctx = canvas.getContext('2d');
  ctx.setTransform(dpr, 0, 0, dpr, 0, 0);
  ctx.clearRect(0, 0, rect.width, rect.height);
  return { ctx, width: rect.width, height: rect.height };
}

// A plotting box { left, top, right, bottom } [px] of `ctx` showing x from x0 to x1 and y
// from y0 to y1 (y upwards); `yClamp`, when given, is the highest y drawn (a bar taller
// than the box ends at its top).
export class Chart {
  constructor(ctx, box, { x: [x0, x1], y: [y0, y1], yClamp = Infinity }) {
    Object.assign(this, { ctx, box, x0, x1, y0, y1, yClamp });
  }

  X(x) {
    const { left, right } = this.box;
    return left + ((x - this.x0) / (this.x1 - this.x0)) * (right - left);
  }

  Y(y) {
    const { top, bottom } = this.box;
    return bottom - ((Math.min(y, this.yClamp) - this.y0) / (this.y1 - this.y0)) * (bottom - top);
  }

  get width() {
    return this.box.right - this.box.left;
  }

  get height() {
    return this.box.bottom - this.box.top;
  }

  background(color = '#fff') {
    const { ctx, box } = this;
    ctx.fillStyle = color;
    ctx.fillRect(box.left, box.top, this.width, this.height);
  }

  // Grid lines at the world values `xs` (vertical) and `ys` (horizontal).
  grid(xs, ys, { color = '#c8c8c8', width = 1 } = {}) {
    const { ctx, box } = this;
    ctx.save();
    ctx.strokeStyle = color;
    ctx.lineWidth = width;
    ctx.setLineDash([]);
    ctx.beginPath();
    for (const x of xs) {
      ctx.moveTo(this.X(x), box.top);
      ctx.lineTo(this.X(x), box.bottom);
    }
    for (const y of ys) {
      ctx.moveTo(box.left, this.Y(y));
      ctx.lineTo(box.right, this.Y(y));
    }
    ctx.stroke();
    ctx.restore();
  }

  frame({ color = '#000', width = 1 } = {}) {
    const { ctx, box } = this;
    ctx.save();
    ctx.strokeStyle = color;
    ctx.lineWidth = width;
    ctx.setLineDash([]);
    ctx.strokeRect(box.left, box.top, this.width, this.height);
    ctx.restore();
  }

  // Numbers under the box at the world values `xs`, `gap` px below it; a number that would
  // run off the canvas's right edge (`edge` px) is set flush against it.
  xTicks(xs, px, { gap = 3, edge = Infinity, label = String } = {}) {
    const { ctx } = this;
    ctx.save();
    ctx.fillStyle = '#000';
    ctx.font = chartFont(Math.max(MIN_TEXT_PX, px));
    ctx.textBaseline = 'top';
    for (const x of xs) {
      const text = label(x);
      const overrun = this.X(x) + ctx.measureText(text).width / 2 > edge;
      ctx.textAlign = overrun ? 'right' : 'center';
      ctx.fillText(text, overrun ? edge - 1 : this.X(x), this.box.bottom + gap);
    }
    ctx.restore();
  }

  // Numbers left of the box at the world values `ys`, `gap` px from it.
  yTicks(ys, px, { gap = 4, label = String } = {}) {
    const { ctx } = this;
    ctx.save();
    ctx.fillStyle = '#000';
    ctx.font = chartFont(Math.max(MIN_TEXT_PX, px));
    ctx.textAlign = 'right';
    ctx.textBaseline = 'middle';
    for (const y of ys) ctx.fillText(label(y), this.box.left - gap, this.Y(y));
    ctx.restore();
  }

  // An axis title: under the box at `y` px (align 'center' or 'right'), or, for the y axis
  // (`vertical`), turned up and centred at x = `x` px, with an optional second line `note`
  // beside it in a smaller face.
  xTitle(text, y, px, { align = 'center', baseline = 'top' } = {}) {
    const { ctx, box } = this;
    ctx.save();
    ctx.fillStyle = '#000';
    ctx.font = chartFont(Math.max(MIN_TEXT_PX, px));
    ctx.textAlign = align;
    ctx.textBaseline = baseline;
    ctx.fillText(text, align === 'right' ? box.right : (box.left + box.right) / 2, y);
    ctx.restore();
  }

  // `note` is a text or its lines (noteLines), each a line further from the title.
  yTitle(text, x, px, note) {
    const { ctx, box } = this;
    ctx.save();
    ctx.fillStyle = '#000';
    ctx.translate(x, (box.top + box.bottom) / 2);
    ctx.rotate(-Math.PI / 2);
    ctx.textAlign = 'center';
    ctx.textBaseline = 'middle';
    ctx.font = chartFont(Math.max(MIN_TEXT_PX, px));
    ctx.fillText(text, 0, 0, this.height);
    if (note) {
      ctx.font = chartFont(noteFacePx(px));
      (Array.isArray(note) ? note : [note]).forEach((line, i) =>
        ctx.fillText(line, 0, 1.1 * px * (i + 1), this.height),
      );
    }
    ctx.restore();
  }

  // Runs `draw` with the context clipped to the box.
  clipped(draw) {
    const { ctx, box } = this;
    ctx.save();
    ctx.beginPath();
    ctx.rect(box.left, box.top, this.width, this.height);
    ctx.clip();
    draw();
    ctx.restore();
  }

  // A line through the points (x(i), y(i)) for i = 0 .. count-1; style: { color, width,
  // dash }. A point whose y is not finite is skipped.
  polyline(count, x, y, { color = '#000', width = 1, dash = [] } = {}) {
    const { ctx } = this;
    ctx.save();
    ctx.strokeStyle = color;
    ctx.lineWidth = width;
    ctx.setLineDash(dash);
    ctx.beginPath();
    let started = false;
    for (let i = 0; i < count; i += 1) {
      const v = y(i);
      if (!Number.isFinite(v)) continue;
      const p = [this.X(x(i)), this.Y(v)];
      if (started) ctx.lineTo(...p);
      else ctx.moveTo(...p);
      started = true;
    }
    ctx.stroke();
    ctx.restore();
  }

  // A bar from y0 up to y over x .. x + dx, `inset` px narrower on the right.
  bar(x, dx, y, inset = 0) {
    const left = this.X(x);
    this.ctx.fillRect(left, this.Y(y), this.X(x + dx) - left - inset, this.Y(this.y0) - this.Y(y));
  }
}
