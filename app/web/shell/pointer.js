// Mouse and touch on the canvas. A mouse button is a click at once; a tap is
// a left click, a long press a right click (the trip starts again from the
// first city; in the editor the city there is removed). A tap goes to the
// point `aim` makes of it (the city the finger meant), unless `tapped` took it
// (a control drawn on the canvas).
const longPressMilliseconds = 500;
const slop = 12;  // pixels a finger may move and still tap

export function attachPointer(canvas, click, aim, tapped = () => false) {
  let press = null;

  const pointAt = (event) => {
    const bounds = canvas.getBoundingClientRect();
    return {x: Math.floor(event.clientX - bounds.left), y: Math.floor(event.clientY - bounds.top)};
  };
  const cancel = () => {
    if (press) clearTimeout(press.timer);
    press = null;
  };

  canvas.addEventListener('contextmenu', (event) => event.preventDefault());
  canvas.addEventListener('pointerdown', (event) => {
    if (event.pointerType === 'mouse') {
      if (event.button === 0) click(false, pointAt(event));
      else if (event.button === 2) click(true, pointAt(event));
      return;
    }
    if (!event.isPrimary) return;
    event.preventDefault();
    cancel();
    const current = {id: event.pointerId, point: pointAt(event), long: false};
    current.timer = setTimeout(() => {
      current.long = true;
      click(true, current.point);
    }, longPressMilliseconds);
    press = current;
  });
  canvas.addEventListener('pointermove', (event) => {
    if (!press || press.id !== event.pointerId) return;
    const point = pointAt(event);
    if (Math.abs(point.x - press.point.x) > slop || Math.abs(point.y - press.point.y) > slop) cancel();
  });
  canvas.addEventListener('pointerup', (event) => {
    if (!press || press.id !== event.pointerId) return;
    clearTimeout(press.timer);
    if (!press.long && !tapped(press.point)) click(false, aim(press.point));
    press = null;
  });
  canvas.addEventListener('pointercancel', cancel);
}
