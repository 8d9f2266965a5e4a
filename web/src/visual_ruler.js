// The ruler on the side view: a drag with the mouse or a pen lays a straight line between two
// points of the water and reads its length in cm, so that a class can measure how far an
// electron ran or how deep the tracks reach. It stays over the tracks until the next drag; a
// click without a drag takes it away. A finger still scrolls the page (a phone's view is the
// page's full width). While the line is dragged, the picture under it is put back from a
// copy at each move, and drawn whole again at the end with the tracks that came meanwhile.
const CLICK_PX = 4;

export function attachRuler(side) {
  const canvas = side.canvas;
  let drag = null;
  const at = (event) => {
    const rect = canvas.getBoundingClientRect();
    return [event.clientX - rect.left, event.clientY - rect.top];
  };
  canvas.addEventListener('pointerdown', (event) => {
    if (event.pointerType === 'touch' || event.button !== 0 || !side.map) return;
    const px = at(event);
    side.ruler = null;
    side.redraw();
    drag = { px, a: side.worldAt(...px), copy: side.ctx.getImageData(0, 0, canvas.width, canvas.height) };
    canvas.setPointerCapture(event.pointerId);
    event.preventDefault();
  });
  canvas.addEventListener('pointermove', (event) => {
    if (!drag) return;
    const px = at(event);
    if (Math.hypot(px[0] - drag.px[0], px[1] - drag.px[1]) < CLICK_PX) return;
    side.ruler = { a: drag.a, b: side.worldAt(...px) };
    side.ctx.putImageData(drag.copy, 0, 0);
    side.drawRuler();
  });
  const end = () => {
    if (!drag) return;
    drag = null;
    side.redraw();
  };
  canvas.addEventListener('pointerup', end);
  canvas.addEventListener('pointercancel', end);
}
