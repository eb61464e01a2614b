// The window's place and scale on the page.
'use strict';

class Arrangement {
  // onScale(scale): called after every change, with the window's scale.
  constructor(form, width, height, onScale) {
    Object.assign(this, { form, width, height, onScale, scale: 1 });
    addEventListener('resize', () => this.fit());
    this.watchPixelRatio();
  }

  // The whole window scales down to fit a smaller viewport, and stands in
  // its middle on a larger one.
  fit() {
    const { form, width, height } = this;
    const view = document.documentElement;
    const scale = Math.min(1, view.clientWidth / width, view.clientHeight / height);
    const left = Math.max(0, Math.floor((view.clientWidth - width * scale) / 2));
    const top = Math.max(0, Math.floor((view.clientHeight - height * scale) / 2));
    form.style.transform = `translate(${left}px, ${top}px)` + (scale < 1 ? ` scale(${scale})` : '');
    this.scale = scale;
    this.onScale(scale);
  }

  // A zoom, or the window moved to another screen: pixels of another size.
  watchPixelRatio() {
    matchMedia(`(resolution: ${devicePixelRatio}dppx)`)
      .addEventListener('change', () => { this.fit(); this.watchPixelRatio(); }, { once: true });
  }
}
