// The tracks of the visual screen's answers, drawn at once or, in step display at a slow
// rate, a few per frame so that the class sees the electron move (not with reduced motion).
// Before an answer's tracks are drawn the older ones fade by the core's wash; an answer of
// one photon is drawn as the newest, highlighted until the next.
import { BREMSSTRAHLUNG_COLOUR, DELTA_RAY_COLOUR, NEWEST_TRACK } from './draw.js';

// The side view's key under its captions ({ text, colour }, in the language of `tr`): the
// accurate transport's own tracks while it runs, and the newest photon's colour in every
// transport.
export function trackKey(accurate, tr) {
  return [
    ...(accurate
      ? [
          { text: tr('VisualScreen', 'デルタ線の飛跡'), colour: DELTA_RAY_COLOUR },
          { text: tr('VisualScreen', '制動放射光子の飛跡'), colour: BREMSSTRAHLUNG_COLOUR },
        ]
      : []),
    { text: tr('VisualScreen', '黒 = 最新の光子'), colour: NEWEST_TRACK },
  ];
}

export class TrackQueue {
  constructor(side, reducedMotion) {
    Object.assign(this, { side, reducedMotion, pending: [], animating: false });
  }

  queue(segments, points, spreadMs, wash = 0, highlight = false) {
    const { side } = this;
    side.keep(segments, points, wash);
    if (spreadMs < 120 || this.reducedMotion.matches || segments.length < 16) {
      // A batch's final answer brings no photon: the newest stays the newest.
      if (highlight || segments.length > 0 || points.length > 0) side.retireNewest();
      side.washTracks(wash);
      if (highlight) side.drawNewest(segments, points);
      else side.drawTracks(segments, points);
      return;
    }
    this.pending.push({ segments, points, spreadMs, wash, highlight, start: performance.now(), drawn: 0 });
    if (!this.animating) {
      this.animating = true;
      requestAnimationFrame((now) => this.animate(now));
    }
  }

  animate(now) {
    const { pending, side } = this;
    while (pending.length > 0) {
      const job = pending[0];
      const n = job.segments.length / 4;
      const colour = job.highlight ? NEWEST_TRACK : undefined;
      if (!job.begun) {
        side.retireNewest();
        side.washTracks(job.wash);
        job.begun = true;
      }
      const upTo = Math.min(n, Math.ceil((n * (now - job.start)) / job.spreadMs));
      if (upTo > job.drawn) {
        side.drawTracks(job.segments.subarray(4 * job.drawn, 4 * upTo), new Float32Array(0), true, colour);
        job.drawn = upTo;
      }
      if (job.drawn < n && pending.length === 1) break;
      side.drawTracks(job.segments.subarray(4 * job.drawn), job.points, true, colour);
      if (job.highlight) side.newest = { segments: job.segments, points: job.points };
      pending.shift();
    }
    if (pending.length > 0) requestAnimationFrame((t) => this.animate(t));
    else this.animating = false;
  }
}
