// Touch ways to what only keys did: the stop of a running solve (Esc) and the
// generator's city count (the up and down arrows). The panels name the stop
// for the input at hand: a button to tap after a touch, the key after a key.
// The count in the mode line opens a stepper whose buttons act as the arrows.
const generatorMode = 1;
const countField = 1;  // the mode line's second field: "Городов  8"

export class TouchControls {
  // `keyRelease(virtualKey)` passes a key to the program; `changed()` asks
  // for the panels and the canvas to be shown again.
  constructor({keyRelease, virtualKey, changed}) {
    this.keyRelease = keyRelease;
    this.virtualKey = virtualKey;
    this.changed = changed;
    this.touch = window.matchMedia('(pointer: coarse)').matches;
    this.mode = 0;
    this.stepper = document.getElementById('stepper');
    this.stepperCount = document.getElementById('stepper-count');
    this.overlayStop = document.getElementById('stop-overlay');
    this.anchor = null;  // where the stepper opened: the count's box on the screen

    const input = (touch) => {
      if (touch === this.touch) return;
      this.touch = touch;
      this.changed();
    };
    document.addEventListener('pointerdown', (event) => input(event.pointerType !== 'mouse'), true);
    document.addEventListener('keydown', (event) => {
      if (event.key === 'Escape' && this.stepperOpen()) this.closeStepper();
      input(false);
    }, true);
    // A press outside the stepper closes it (and does nothing else).
    document.addEventListener('pointerdown', (event) => {
      if (!this.stepperOpen() || this.stepper.contains(event.target) || event.target.closest('.count')) return;
      this.closeStepper();
      event.stopPropagation();
      event.preventDefault();
    }, true);
    for (const button of this.stepper.querySelectorAll('button')) {
      button.addEventListener('click', () => {
        this.keyRelease(button.dataset.step === 'up' ? this.virtualKey.up : this.virtualKey.down);
      });
    }
    this.overlayStop.addEventListener('click', () => this.stop());
  }

  stop() {
    this.keyRelease(this.virtualKey.escape);
  }

  // The program ended: nothing of these stays on the page.
  hide() {
    this.closeStepper();
    this.overlayStop.hidden = true;
  }

  // What the panels show depends on.
  key() {
    return [this.touch, this.mode === generatorMode, this.stepperOpen()];
  }

  // After every repaint: the program's mode, the city count its mode line shows.
  update(mode, modeText) {
    this.mode = mode;
    if (mode !== generatorMode) {
      this.closeStepper();
      return;
    }
    const count = modeText ? (modeText.text.match(/-?\d+/) || [''])[0] : '';
    this.stepperCount.textContent = count;
    if (this.stepperOpen()) this.placeStepper();
  }

  // The mode line's field at `index` as a control, or null: the count in
  // Generator mode opens the stepper.
  countField(index, part) {
    if (index !== countField || this.mode !== generatorMode) return null;
    const button = document.createElement('button');
    button.type = 'button';
    button.className = 'count';
    button.textContent = part;
    button.setAttribute('aria-haspopup', 'true');
    button.setAttribute('aria-expanded', String(this.stepperOpen()));
    button.addEventListener('click', () => {
      if (this.stepperOpen()) this.closeStepper();
      // The panel is made again as the count changes: the count found anew.
      else this.openStepper(() => (document.querySelector('#status-top .count') || button).getBoundingClientRect());
    });
    return button;
  }

  // The stop of a running solve in a panel: a button, named for the input.
  stopButton(text, className) {
    const button = document.createElement('button');
    button.type = 'button';
    button.className = `stop part ${className}`;
    button.dataset.text = text;
    button.textContent = this.touch ? 'Прервать поиск' : text;
    button.addEventListener('click', () => this.stop());
    return button;
  }

  // On the canvas (the desktop layout) the stop drawn as text is a button
  // over it after a touch. Returns whether the canvas leaves that text out.
  placeOverlayStop(stop, canvasBox) {
    const show = Boolean(stop && this.touch);
    this.overlayStop.hidden = !show;
    if (!show) return false;
    this.overlayStop.style.left = `${canvasBox.left + stop.x - 6}px`;
    this.overlayStop.style.top = `${canvasBox.top + stop.y}px`;
    return true;
  }

  // A tap on the canvas: whether it was the mode line's count (the desktop
  // layout in Generator mode), which opens the stepper instead of a click.
  tapOnCount(point, modeText, measure) {
    if (this.mode !== generatorMode || !modeText) return false;
    const fields = modeText.text.split(/( {3,})/);
    if (fields.length < 3) return false;
    const before = fields.slice(0, 2).join('');
    const left = modeText.x + measure(before);
    const right = left + measure(fields[2]);
    const hit = point.x >= left - 8 && point.x <= right + 8 && point.y >= modeText.y - 8 && point.y <= modeText.y + 24;
    if (!hit) return false;
    const canvas = document.getElementById('canvas');
    this.openStepper(() => {
      const box = canvas.getBoundingClientRect();
      return {left: box.left + left, right: box.left + right, bottom: box.top + modeText.y + 16};
    });
    return true;
  }

  stepperOpen() {
    return !this.stepper.hidden;
  }

  openStepper(anchor) {
    this.anchor = anchor;
    this.stepper.hidden = false;
    this.placeStepper();
    this.changed();
  }

  closeStepper() {
    if (!this.stepperOpen()) return;
    this.stepper.hidden = true;
    this.anchor = null;
    this.changed();
  }

  // Below the count, within the page's width.
  placeStepper() {
    const box = this.anchor();
    const width = this.stepper.offsetWidth;
    const left = Math.max(4, Math.min(box.left, document.documentElement.clientWidth - width - 4));
    this.stepper.style.left = `${left}px`;
    this.stepper.style.top = `${box.bottom + 4}px`;
  }
}
