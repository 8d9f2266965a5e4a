// The tracks of the visual screen's answers, drawn at once or, in step display at a slow
// rate, a few per frame so that the class sees the electron move (not with reduced motion).
export class TrackQueue {
  constructor(side, reducedMotion) {
    Object.assign(this, { side, reducedMotion, pending: [], animating: false });
  }

  queue(segments, points, spreadMs) {
    this.side.keep(segments, points);
    if (spreadMs < 120 || this.reducedMotion.matches || segments.length < 16) {
      this.side.drawTracks(segments, points);
      return;
    }
    this.pending.push({ segments, points, spreadMs, start: performance.now(), drawn: 0 });
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
      const upTo = Math.min(n, Math.ceil((n * (now - job.start)) / job.spreadMs));
      if (upTo > job.drawn) {
        side.drawTracks(job.segments.subarray(4 * job.drawn, 4 * upTo), new Float32Array(0));
        job.drawn = upTo;
      }
      if (job.drawn < n && pending.length === 1) break;
      side.drawTracks(job.segments.subarray(4 * job.drawn), job.points);
      pending.shift();
    }
    if (pending.length > 0) requestAnimationFrame((t) => this.animate(t));
    else this.animating = false;
  }
}
