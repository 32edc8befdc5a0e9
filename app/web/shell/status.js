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

// The status panel's texts in the order it draws them: the mode line first,
// the game line last (in Game mode), the rest between; texts drawn on one
// line (a spectrum row) stay together.
function rowsOf(texts, gameMode) {
  const middle = texts.slice(1, gameMode ? -1 : undefined);
  const rows = [];
  for (const text of middle) {
    const last = rows[rows.length - 1];
    if (last && last[0].y === text.y) last.push(text);
    else rows.push([text]);
  }
  return {top: texts.slice(0, 1), middle: rows, bottom: gameMode ? texts.slice(-1) : []};
}

// A text as parts that wrap as wholes: the status lines separate their fields
// by runs of spaces. The panels' light ground needs the colours a quarter darker.
function textInto(element, text) {
  const span = document.createElement('span');
  span.className = 'text';
  const [red, green, blue] = text.colour.match(/\d+/g).map((c) => Math.round(c * 0.75));
  span.style.color = `rgb(${red},${green},${blue})`;
  for (const part of text.text.trim().split(/ {3,}/)) {
    const piece = document.createElement('span');
    piece.className = 'part';
    piece.textContent = part;
    span.append(piece);
  }
  element.append(span);
}

// A row of one long text (the solve's progress) spans the panel's columns.
function rowInto(panel, texts) {
  const row = document.createElement('div');
  row.className = texts.length === 1 && texts[0].text.length > 16 ? 'row wide' : 'row';
  for (const text of texts) textInto(row, text);
  panel.append(row);
}

// Fills the panels; returns whether what they show changed.
export function fillPanels(panels, texts, gameMode) {
  const key = JSON.stringify([texts.map((t) => [t.y, t.text, t.colour]), gameMode]);
  if (panels.shown === key) return false;
  panels.shown = key;
  const {top, middle, bottom} = rowsOf(texts, gameMode);
  panels.top.replaceChildren();
  panels.middle.replaceChildren();
  panels.bottom.replaceChildren();
  top.forEach((text) => rowInto(panels.top, [text]));
  middle.forEach((row) => rowInto(panels.middle, row));
  bottom.forEach((text) => rowInto(panels.bottom, [text]));
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
  for (const panel of [panels.top, panels.middle, panels.bottom]) panel.replaceChildren();
}
