// The read-out on the graph: the pointer over it, a finger on it, and a
// point moved from the keyboard, marked by a small cross while the graph has
// the focus; with the exact solution shown, the core's note beside the point.

// The arrow keys move the point by a hundredth of an axis (a tenth with Shift).
const ARROWS = { ArrowLeft: [-1, 0], ArrowRight: [1, 0], ArrowUp: [0, -1], ArrowDown: [0, 1] };

// label: the read-out's caption; box: the graph box's row of the core's
// layout, its size in twips and in CSS pixels; noteSize: the note's, in
// twips; act: runs one user action through the core (see start()).
// Returns what follows a new arrangement and what shows the note.
export function wireReadout(canvas, label, { box, noteSize }, arrangement, session, act) {
  // The pointer's place on the graph box, in twips, however the box is scaled.
  function twipsAt(event) {
    const r = canvas.getBoundingClientRect();
    return [((event.clientX - r.left) / r.width) * box.width, ((event.clientY - r.top) / r.height) * box.height];
  }
  // The read-out and the keyboard's point, both where the pointer is.
  function readAt(event) {
    const [x, y] = twipsAt(event);
    act(() => session.mouseMoved(x, y));
    session.placeReadoutPoint(x, y);
    placeCross();
  }

  const cross = document.createElement('div');
  cross.className = 'readout-cross';
  cross.hidden = true;
  cross.style.zIndex = 3;
  canvas.after(cross);
  function placeCross() {
    const [x, y] = session.readoutPoint();
    const [left, top] = arrangement.pointIn(canvas, (x / box.width) * box.pixels.width,
      (y / box.height) * box.pixels.height);
    cross.style.left = `${left}px`;
    cross.style.top = `${top}px`;
  }

  // The note, scaled with the graph (more on a narrow screen, to be read)
  // and placed by the core in the box's twips, which it tells the core.
  const note = document.createElement('div');
  note.className = 'readout-note';
  note.hidden = true;
  note.style.zIndex = 3;
  note.setAttribute('aria-live', 'polite');
  canvas.after(note);
  const twipsToPixels = box.pixels.width / box.width;
  Object.assign(note.style, { width: `${noteSize.width * twipsToPixels}px`, height: `${noteSize.height * twipsToPixels}px` });
  function placeNote() {
    const graphScale = arrangement.scaleOfElement(canvas);
    const noteScale = arrangement.readableScale(note, graphScale);
    note.style.transform = `scale(${noteScale})`;
    session.setReadoutNoteSize(noteSize.width * noteScale / graphScale, noteSize.height * noteScale / graphScale);
  }
  function showNote(text, left, top) {
    note.hidden = !text;
    if (!text) return;
    if (note.textContent !== text) note.textContent = text;
    const [x, y] = arrangement.pointIn(canvas, left * twipsToPixels, top * twipsToPixels);
    Object.assign(note.style, { left: `${x}px`, top: `${y}px` });
  }
  // The pointer gone from the graph takes the note with it; so does the
  // focus, unless the pointer is still there.
  canvas.addEventListener('pointerleave', (event) => {
    if (event.pointerType !== 'touch' && document.activeElement !== canvas) act(() => session.readoutLeft());
  });

  // Fingers: one puts the read-out where it touches and drags it; a second
  // makes it a pinch, which zooms the page, and the read-out goes back to
  // what it was before the first finger came down.
  const fingers = new Set();
  let pinched = false, before = null;
  function fingerDown(event) {
    fingers.add(event.pointerId);
    if (fingers.size === 1) {
      pinched = false;
      before = { point: session.readoutPoint(), text: label.textContent };
      readAt(event);
    } else if (!pinched) {
      pinched = true;
      session.placeReadoutPoint(...before.point);
      label.textContent = before.text;
      placeCross();
    }
  }
  function fingerUp(event) {
    fingers.delete(event.pointerId);
  }

  canvas.addEventListener('pointerdown', (event) => {
    if (event.pointerType === 'touch') return fingerDown(event);
    const [x, y] = twipsAt(event);
    session.placeReadoutPoint(x, y);
    placeCross();
  });
  canvas.addEventListener('pointermove', (event) => {
    if (event.pointerType !== 'touch') {
      const [x, y] = twipsAt(event);
      act(() => session.mouseMoved(x, y));
    } else if (fingers.has(event.pointerId) && !pinched) {
      readAt(event);
    }
  });
  canvas.addEventListener('pointerup', fingerUp);
  canvas.addEventListener('pointercancel', fingerUp);

  canvas.addEventListener('keydown', (event) => {
    const step = ARROWS[event.key];
    if (!step) return;
    event.preventDefault();
    act(() => session.readoutKey(step[0], step[1], event.shiftKey));
    placeCross();
  });
  // A press on the graph focuses it as well; a focus that no press brought
  // (Tab, or the focus given back after a message) shows the point at once.
  // Not :focus-visible: WebKit does not match it on arriving by Tab.
  let pressed = false;
  canvas.addEventListener('pointerdown', () => { pressed = true; }, { capture: true });
  addEventListener('pointerup', () => { pressed = false; }, { capture: true });
  canvas.addEventListener('focus', () => {
    if (!pressed) act(() => session.readoutKey(0, 0, false));
    placeCross();
    cross.hidden = false;
  });
  canvas.addEventListener('blur', () => {
    cross.hidden = true;
    if (!canvas.matches(':hover')) act(() => session.readoutLeft());
  });
  // A new arrangement: the note's scale, and the cross where it belongs; the
  // note comes back at the pointer's next move.
  function fit() {
    note.hidden = true;
    placeNote();
    placeCross();
  }
  return { fit, showNote };
}
