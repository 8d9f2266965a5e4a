// The engine graph's depth probe: the pointer over the graph (or a tap on it) reads the depth
// under it and each drawn set's total, primary and scatter dose there with the run's measured
// ±, worded by the C++ that Dosavia's probe uses (models/depth_probe.h); the page only places
// the box and asks again as the pointer moves.

// `canvas` the graph, `output` the box over it; `axis()` the depth axis's { left, right } in
// the canvas [CSS px] as last drawn, `sets()` the drawn sets ({ id, field, legend }),
// `ask(args)` the worker's probe call with { sets, depth }.
export function attachDepthProbe(canvas, output, { axis, sets, ask }) {
  let asking = false;
  let wanted = null; // the latest pointer position not yet answered
  const hide = () => {
    wanted = null;
    output.hidden = true;
  };
  const answer = async () => {
    if (asking) return;
    asking = true;
    while (wanted !== null) {
      const x = wanted;
      wanted = null;
      const a = axis();
      const drawn = sets();
      if (!a || a.right <= a.left || drawn.length === 0) {
        output.hidden = true;
        continue;
      }
      const depth = ((x - a.left) / (a.right - a.left)) * 30;
      const probed = await ask({ sets: drawn.map((s) => ({ id: s.id, field: s.field })), depth });
      if (!probed || !probed.heading) {
        output.hidden = true;
        continue;
      }
      output.textContent = [probed.heading, ...probed.values.map((v, i) => `${drawn[i].legend ?? ''}: ${v}`)].join(
        '\n',
      );
      output.hidden = false;
    }
    asking = false;
  };
  const follow = (event) => {
    wanted = event.clientX - canvas.getBoundingClientRect().left;
    answer();
  };
  canvas.addEventListener('pointermove', follow);
  canvas.addEventListener('pointerdown', follow);
  canvas.addEventListener('pointerleave', (event) => {
    // A finger lifted leaves the reading of its tap in view.
    if (event.pointerType === 'mouse') hide();
  });
  return hide;
}
