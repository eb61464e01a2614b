// The read-out on the graph: the pointer over it, and a point moved from the
// keyboard, marked by a small cross while the graph has the focus.
'use strict';

// The arrow keys move the point by a hundredth of an axis (a tenth with Shift).
const ARROWS = { ArrowLeft: [-1, 0], ArrowRight: [1, 0], ArrowUp: [0, -1], ArrowDown: [0, 1] };

// act: runs one user action through the core (see start()).
function wireReadout(canvas, picture, session, act) {
  // The pointer's place on the graph box, in twips.
  function twipsAt(event) {
    const r = canvas.getBoundingClientRect();
    return [(event.clientX - r.left) * (picture.width / r.width) * TWIPS_PER_PIXEL,
      (event.clientY - r.top) * (picture.height / r.height) * TWIPS_PER_PIXEL];
  }
  canvas.addEventListener('pointermove', (event) => {
    const [x, y] = twipsAt(event);
    act(() => session.mouseMoved(x, y));
  });

  const cross = document.createElement('div');
  cross.className = 'readout-cross';
  cross.hidden = true;
  cross.style.zIndex = 3;
  canvas.after(cross);
  function placeCross() {
    const [x, y] = session.readoutPoint();
    cross.style.left = `${canvas.offsetLeft + x / TWIPS_PER_PIXEL}px`;
    cross.style.top = `${canvas.offsetTop + y / TWIPS_PER_PIXEL}px`;
  }
  canvas.addEventListener('keydown', (event) => {
    const step = ARROWS[event.key];
    if (!step) return;
    event.preventDefault();
    act(() => session.readoutKey(step[0], step[1], event.shiftKey));
    placeCross();
  });
  canvas.addEventListener('pointerdown', (event) => {
    const [x, y] = twipsAt(event);
    session.placeReadoutPoint(x, y);
    placeCross();
  });
  canvas.addEventListener('focus', () => {
    // Arriving by keyboard, the read-out shows the point at once.
    if (canvas.matches(':focus-visible')) act(() => session.readoutKey(0, 0, false));
    placeCross();
    cross.hidden = false;
  });
  canvas.addEventListener('blur', () => { cross.hidden = true; });
}
