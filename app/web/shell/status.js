// The layout for small and narrow screens. Where the desktop layout would put
// the status texts over the board or cut them off, they leave the picture for
// panels around it: the mode line above the board, the game line below, and
// what lies between (the solve's progress, the Profi spectrum) beside the
// board in landscape or below it in portrait. The panels wrap and shrink with
// the page; the board gets what is left.

// Room the desktop layout needs: the game line with a grade and the mode line
// in full, both clear of the board (which keeps a tenth of the limiting side
// above and below it) and, in Profi, the spectrum's columns to the left of the
// board and its 20 rows above the game line.
const desktopMinWidth = 640;
const desktopMinHeight = 280;
const profiMinHeight = 402;
const spectrumRight = 112;

export function needsCompactLayout(width, height, profi) {
  if (width < desktopMinWidth || Math.min(width, height) < desktopMinHeight) return true;
  if (!profi) return false;
  const boardLeft = (width - 0.8 * Math.min(width, height)) / 2;
  return height < profiMinHeight || boardLeft < spectrumRight;
}

// The status panel's texts by what they say, in the order it draws them: the
// mode line first, then a running solve's three progress rows (the last names
// the way to stop it), the Profi spectrum (its header, then rows of a length
// and a count drawn on one line), and the game line last (in Game mode).
export function rolesOf(texts, solving, gameMode) {
  const mode = texts[0] || null;
  const game = gameMode && texts.length > 1 ? texts[texts.length - 1] : null;
  const middle = texts.slice(1, game ? -1 : undefined);
  const progress = solving ? middle.slice(0, 3) : [];
  const rows = [];
  for (const text of middle.slice(progress.length)) {
    const last = rows[rows.length - 1];
    if (last && last[0].y === text.y) last.push(text);
    else rows.push([text]);
  }
  return {mode, progress, stop: progress.length === 3 ? progress[2] : null, spectrum: rows, game};
}

// A status line's fields: the lines separate them by runs of spaces.
function fieldsOf(text) {
  return text.trim().split(/ {3,}/);
}

// A text as parts that wrap as wholes. The panels' light ground needs the
// colours a quarter darker. `field` turns the part at an index into a control.
function textInto(element, text, field) {
  const span = document.createElement('span');
  span.className = 'text';
  const [red, green, blue] = text.colour.match(/\d+/g).map((c) => Math.round(c * 0.75));
  span.style.color = `rgb(${red},${green},${blue})`;
  fieldsOf(text.text).forEach((part, index) => {
    const piece = (field && field(index, part)) || document.createElement('span');
    piece.classList.add('part');
    if (!piece.textContent) piece.textContent = part;
    // A screen reader reads these texts whole from spoken.js; the controls stay.
    if (piece.localName !== 'button') piece.setAttribute('aria-hidden', 'true');
    span.append(piece);
  });
  element.append(span);
}

// A row of one long text and the solve's progress span the panel's columns.
function rowInto(panel, texts, {field = null, wide = texts.length === 1 && texts[0].text.length > 16} = {}) {
  const row = document.createElement('div');
  row.className = wide ? 'row wide' : 'row';
  for (const text of texts) textInto(row, text, field);
  panel.append(row);
  return row;
}

// Fills the panels; returns whether what they show changed. `controls` makes
// the mode line's city count and the stop of a running solve tappable.
// On one map the panel between keeps the room it took (a solve's progress
// that ends), so that the board does not move.
export function fillPanels(panels, texts, {solving, gameMode, controls, mapKey}) {
  const key = JSON.stringify([texts.map((t) => [t.y, t.text, t.colour]), solving, gameMode, controls.key()]);
  if (panels.shown === key) return false;
  panels.shown = key;
  const middleStyle = panels.middle.style;
  if (panels.mapKey !== mapKey) {
    panels.mapKey = mapKey;
    middleStyle.minWidth = middleStyle.minHeight = '';
  } else {
    const style = getComputedStyle(panels.middle);
    const across = parseFloat(style.paddingLeft) + parseFloat(style.paddingRight);
    const down = parseFloat(style.paddingTop) + parseFloat(style.paddingBottom);
    middleStyle.minWidth = `${panels.middle.offsetWidth - across}px`;
    middleStyle.minHeight = `${panels.middle.offsetHeight - down}px`;
  }
  const roles = rolesOf(texts, solving, gameMode);
  panels.top.replaceChildren();
  panels.middle.replaceChildren();
  panels.bottom.replaceChildren();
  if (roles.mode) rowInto(panels.top, [roles.mode], {field: (index, part) => controls.countField(index, part)});
  const middle = roles.progress.map((text) => [text]).concat(roles.spectrum);
  const header = roles.spectrum[0];
  for (const row of middle) {
    if (row[0] === roles.stop) panels.middle.append(controls.stopButton(roles.stop.text, 'wide'));
    else if (roles.progress.includes(row[0]) || row === header) rowInto(panels.middle, row, {wide: true});
    else rowInto(panels.middle, row);
  }
  // Below the board the spectrum's rows ("length count") run down columns as
  // wide as the widest row.
  let widest = 0;
  for (const row of panels.middle.querySelectorAll(':scope > .row:not(.wide)')) {
    const gap = parseFloat(getComputedStyle(row).columnGap) || 0;
    const parts = Array.from(row.children, (child) => child.offsetWidth);
    widest = Math.max(widest, parts.reduce((sum, width) => sum + width, 0) + gap * (parts.length - 1));
  }
  panels.middle.style.setProperty('--column', `${Math.ceil(widest) + 1}px`);
  if (roles.game) rowInto(panels.bottom, [roles.game]);
  // Beside the board the rows run in as many columns as the height needs.
  const lineHeight = parseFloat(getComputedStyle(panels.middle).lineHeight) || 16;
  const rowsFit = Math.max(1, Math.floor((panels.middle.parentElement.clientHeight - panels.top.offsetHeight -
                                          panels.bottom.offsetHeight - 8) / lineHeight));
  panels.middle.style.setProperty('--rows', String(Math.max(1, Math.ceil(middle.length / Math.ceil(middle.length / rowsFit)))));
  return true;
}

export function clearPanels(panels) {
  if (panels.shown === '') return;
  panels.shown = '';
  panels.mapKey = null;
  panels.middle.style.minWidth = panels.middle.style.minHeight = '';
  for (const panel of [panels.top, panels.middle, panels.bottom]) panel.replaceChildren();
}
