// The depth probe of the visual screen's depth-dose panel: point (or use the arrow keys) at a
// depth and read the dose of the bar under it and the fitted kerma there (the core's fit,
// every 0.1 cm). The dose fit is no reading: it ends at 12 cm and, a smooth model, lies
// below the steep bars of the first centimetre.
import { tr } from './i18n.js';

export class DepthProbe {
  // `canvas` the panel (its depthAxis set by the drawing), `text` the reading's element,
  // `curve()` the curve shown, `redraw()` draws the panel again with the probe.
  constructor(canvas, text, curve, redraw) {
    Object.assign(this, { canvas, text, curve, redraw, cm: undefined });
    canvas.addEventListener('pointerdown', (event) => {
      try {
        canvas.setPointerCapture(event.pointerId); // a drag keeps reading past the edge
      } catch {
        // a pointer the browser no longer tracks
      }
      this.at(event);
    });
    canvas.addEventListener('pointermove', (event) => {
      if (event.pointerType === 'mouse' || event.buttons) this.at(event);
    });
    canvas.addEventListener('keydown', (event) => {
      const now = this.cm ?? 1.5;
      const step = event.shiftKey ? 1 : 0.1;
      const moves = { ArrowLeft: now - step, ArrowRight: now + step, Home: 0, End: 30 };
      if (!(event.key in moves)) return;
      event.preventDefault();
      this.set(moves[event.key]);
    });
  }

  // The dose of the bar and the fitted kerma at the probe's depth [% of the maximum]; null
  // without a curve or a probe.
  values() {
    const c = this.curve();
    if (this.cm === undefined || !c || !c.hasMaximum || c.tooFewPhotons) return null;
    const i = Math.round(this.cm * 10);
    const bar = Math.min(c.dose.length - 1, Math.floor(this.cm / c.binCm + 1e-9));
    return { cm: this.cm, dose: c.dose[bar], kerma: c.kermaFit && i < c.kermaFit.length ? c.kermaFit[i] : NaN };
  }

  reading() {
    const v = this.values();
    if (!v) return null;
    const pct = (x) => (Number.isFinite(x) ? `${x.toFixed(0)} %` : '–');
    return { cm: v.cm, text: tr('Web', '深さ %1 cm: 線量 %2, カーマ %3', v.cm.toFixed(1), pct(v.dose), pct(v.kerma)) };
  }

  set(cm) {
    const zmax = this.canvas.depthAxis?.zmax ?? 20;
    this.cm = Math.round(Math.max(0, Math.min(zmax, cm)) * 10) / 10;
    this.redraw();
    const reading = this.reading();
    this.text.textContent = reading ? reading.text : '';
  }

  at(event) {
    const axis = this.canvas.depthAxis;
    if (!axis) return;
    const x = event.clientX - this.canvas.getBoundingClientRect().left;
    this.set(((x - axis.left) / (axis.right - axis.left)) * axis.zmax);
  }
}
