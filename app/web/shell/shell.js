// The page's shell around the WebAssembly program: the canvas that shows the
// off-screen picture with the texts drawn over it, the services the program
// calls (through Module.web), keys, the file picker and downloads, the
// dialogs, the refusal beep and the clock's timer. The menu bar, the pointer,
// the small-screen panels and the solve worker have modules of their own.
import {characterKeys, command, virtualKeyOf} from './commands.js';
import {MenuBar} from './menus.js';
import {attachPointer} from './pointer.js';
import {MapSharing} from './share.js';
import {Solver} from './solver.js';
import {Spoken} from './spoken.js';
import {TouchControls} from './controls.js';
import {clearPanels, fillPanels, needsCompactLayout, rolesOf} from './status.js';
import {flatBoard, virtualKey} from './tables.js';
import {
  browserLocale, languageCode, languageIndexOf, menuRowsInUse, rememberCode, rememberedCode, useLanguage,
} from './texts.js';

const body = document.body;
const edition = body.dataset.edition === 'profi' ? 'profi' : 'public';
const testHooks = body.dataset.testHooks === '1';
const params = new URLSearchParams(location.search);
const userStorageKey = 'orvanta.user.txt';

const screenBox = document.getElementById('screen');
const board = document.getElementById('board');
const panels = {
  top: document.getElementById('status-top'), middle: document.getElementById('status-middle'),
  bottom: document.getElementById('status-bottom'), shown: '',
};
const gameMode = 2;
const canvas = document.getElementById('canvas');
const context = canvas.getContext('2d', {alpha: false});
const picture = document.createElement('canvas');
const pictureContext = picture.getContext('2d', {alpha: false});
const aboutDialog = document.getElementById('about');
const personalDialog = document.getElementById('personal');
const personalText = document.getElementById('personal-text');

// What the tests read: the texts of the last redraw, beeps, downloads, times.
const state = {
  ready: false, ended: false, beeps: 0, texts: [], downloads: [], firstPaintMilliseconds: null,
  lastSolveMilliseconds: null, lastSolveInWorkerMilliseconds: null, workerWarmUpMilliseconds: null,
  solveProgressMessages: 0, workerErrors: 0, font: null,
};
let program = null;
let paintQueued = false;
let fixedClock = null;
if (testHooks && params.has('clock')) fixedClock = Math.floor(Number(params.get('clock'))) || 0;

// The layout is chosen before anything shows, so that nothing moves when the
// program's first picture comes.
body.classList.toggle('compact', needsCompactLayout(screenBox.clientWidth, screenBox.clientHeight, edition === 'profi'));
body.classList.add('laid-out');

const solver = new Solver(edition, state, () => program);
// Built once the program has chosen the language.
const menuBar = new MenuBar(document.getElementById('menubar'), runCommand, []);
const sharing = new MapSharing(() => program, state, () => menuBar.close());
const controls = new TouchControls({
  keyRelease: (key) => {
    if (program && !state.ended) program._orvanta_key_release(key);
  },
  virtualKey, changed: () => queuePaint(),
});
// What the last redraw showed: the program's mode, whether a solve ran.
const shown = {mode: 0, solving: false};
const spoken = new Spoken();

// ---- The picture on the canvas -------------------------------------------------------

// The largest size of a font with Cyrillic letters whose line box keeps
// within 16 pixels and whose digits are at most 8 pixels wide: the limits
// the status texts are laid out for.
const font = (() => {
  const family = '"DejaVu Sans", "Noto Sans", "Liberation Sans", "Segoe UI", Arial, sans-serif';
  const probe = document.createElement('canvas').getContext('2d');
  for (let pixels = 14; pixels > 6; --pixels) {
    probe.font = `${pixels}px ${family}`;
    const metrics = probe.measureText('ЖйQ|');  // not a text: the tallest letters
    const ascent = metrics.fontBoundingBoxAscent ?? pixels * 0.93;
    const descent = metrics.fontBoundingBoxDescent ?? pixels * 0.24;
    const widest = Math.max(...Array.from('0123456789.', (ch) => probe.measureText(ch).width));
    if (ascent + descent <= 16 && widest <= 8) return {css: probe.font, ascent: Math.round(ascent)};
  }
  return {css: `7px ${family}`, ascent: 7};
})();
state.font = font.css;
const measure = document.createElement('canvas').getContext('2d');
measure.font = font.css;

// How long a solve may run before its progress shows: as the desktops wait
// for a solve that long before they go on, a quick solve shows its result
// with no progress line before it.
const quickSolveMilliseconds = 200;
let deferredPaint = null;

function queuePaint() {
  if (paintQueued) return;
  paintQueued = true;
  requestAnimationFrame(present);
}

// Asks the program for the picture of the board's size and puts it on the
// canvas: 1:1 at a device pixel ratio of 1, else scaled without smoothing,
// with the texts drawn over it at the screen's own resolution, or, on a
// small screen, in the panels around it.
function present() {
  paintQueued = false;
  if (!program || state.ended) return;
  const wait = solver.solving ? quickSolveMilliseconds - (performance.now() - solver.startedAt) : 0;
  if (wait > 0) {
    deferredPaint = deferredPaint || setTimeout(() => {
      deferredPaint = null;
      queuePaint();
    }, wait);
    return;
  }
  const compact = needsCompactLayout(screenBox.clientWidth, screenBox.clientHeight, edition === 'profi');
  body.classList.toggle('compact', compact);
  if (!compact) clearPanels(panels);
  // New panel texts change the board's room: the picture is made again for it.
  for (let attempt = 0; attempt < 3; ++attempt) {
    if (!paintPicture(compact)) return;
    if (!compact) break;
    const board = inspectBoard();
    const mapKey = JSON.stringify([board.gridWidth, board.gridHeight, board.cities, innerWidth, innerHeight]);
    const options = {solving: shown.solving, gameMode: shown.mode === gameMode, controls, mapKey};
    if (!fillPanels(panels, state.texts, options)) break;
  }
  spoken.update(rolesOf(state.texts, shown.solving, shown.mode === gameMode), shown.mode, inspectBoard());
  // Since the navigation started.
  if (state.firstPaintMilliseconds === null) state.firstPaintMilliseconds = performance.now();
}

function paintPicture(compact) {
  const width = Math.floor(board.clientWidth);
  const height = Math.floor(board.clientHeight);
  const ratio = window.devicePixelRatio || 1;
  const deviceWidth = Math.max(1, Math.round(width * ratio));
  const deviceHeight = Math.max(1, Math.round(height * ratio));
  if (canvas.width !== deviceWidth || canvas.height !== deviceHeight) {
    canvas.width = deviceWidth;
    canvas.height = deviceHeight;
  }
  canvas.style.width = `${width}px`;
  canvas.style.height = `${height}px`;
  const pixels = program._orvanta_paint(width, height, compact ? 1 : 0);
  if (!pixels) return false;
  shown.mode = program._orvanta_mode();
  shown.solving = program._orvanta_solving() !== 0;
  const roles = rolesOf(state.texts, shown.solving, shown.mode === gameMode);
  controls.update(shown.mode, roles.mode);
  const pictureWidth = program._orvanta_picture_width();
  const pictureHeight = program._orvanta_picture_height();
  if (picture.width !== pictureWidth || picture.height !== pictureHeight) {
    picture.width = pictureWidth;
    picture.height = pictureHeight;
  }
  const bytes = new Uint8ClampedArray(program.HEAPU8.buffer, pixels, pictureWidth * pictureHeight * 4);
  pictureContext.putImageData(new ImageData(bytes, pictureWidth, pictureHeight), 0, 0);
  const scaleX = canvas.width / Math.max(1, width);
  const scaleY = canvas.height / Math.max(1, height);
  context.setTransform(1, 0, 0, 1, 0, 0);
  context.imageSmoothingEnabled = false;
  context.drawImage(picture, 0, 0, pictureWidth * scaleX, pictureHeight * scaleY);
  // On the canvas, after a touch, a button stands for the stop's text.
  const stopButton = controls.placeOverlayStop(compact ? null : roles.stop, canvas.getBoundingClientRect());
  if (compact) return true;
  context.setTransform(scaleX, 0, 0, scaleY, 0, 0);
  context.font = font.css;
  context.textBaseline = 'alphabetic';
  for (const text of state.texts) {
    if (stopButton && text === roles.stop) continue;
    context.fillStyle = text.colour;
    context.fillText(text.text, text.x, text.y + font.ascent);
  }
  return true;
}

// A finger covers some 40 CSS pixels: in a game a tap takes the nearest city
// within that reach, unless another city is about as near; then, as
// everywhere else, the tap is a click where it landed.
const fingerReach = 40;

// The board's outline in the picture ([left, top, right, bottom]) and its
// cities' points as [x, y] pairs.
function boardPoints() {
  const at = program._orvanta_board_points();
  const head = new Int32Array(program.HEAPU8.buffer, at, 5);
  const flat = new Int32Array(program.HEAPU8.buffer, at + 20, 2 * head[4]);
  return {
    outline: [head[0], head[3], head[2], head[1]],
    cities: Array.from({length: head[4]}, (_, i) => [flat[2 * i], flat[2 * i + 1]]),
  };
}

function aimTap(point) {
  if (!program || state.ended || program._orvanta_mode() !== gameMode) return point;
  const near = boardPoints().cities.map(([x, y]) => ({x, y, distance: Math.hypot(x - point.x, y - point.y)}));
  near.sort((a, b) => a.distance - b.distance);
  const [first, second] = near;
  if (!first || first.distance > fingerReach) return point;
  if (second && second.distance < 1.5 * first.distance + 4) return point;
  return {x: first.x, y: first.y};
}

// A copy of the program's board: its mode, cities, grid and the player's trip.
function inspectBoard() {
  const at = program._orvanta_inspect_board();
  const view = new DataView(program.HEAPU8.buffer);
  const int = (offset) => view.getInt32(at + offset, true);
  const count = int(flatBoard.cityCount);
  const cities = [];
  for (let i = 0; i < Math.max(0, Math.min(count, flatBoard.maxCities)); ++i) {
    const city = flatBoard.cities + flatBoard.cityBytes * i;
    cities.push([int(city), int(city + flatBoard.cityY)]);
  }
  const routeLength = Math.max(0, Math.min(int(flatBoard.playerRouteLength), flatBoard.routeCapacity));
  const route = Array.from({length: routeLength}, (_, i) => int(flatBoard.playerRoute + 4 * i));
  return {
    mode: program._orvanta_mode(), solved: int(flatBoard.solved), gridWidth: int(flatBoard.gridWidth),
    gridHeight: int(flatBoard.gridHeight), cityCount: count, cities, playerRouteLength: int(flatBoard.playerRouteLength), route,
  };
}

// ---- Services the program calls --------------------------------------------------------

let audio = null;
const web = {
  clockSeconds: () => (fixedClock !== null ? fixedClock : Math.floor(Date.now() / 1000)),
  invalidate: queuePaint,
  setTitle(title) {
    document.title = title;
  },
  // The caption and the name come from the program, in the language in use.
  showAbout(caption, name) {
    menuBar.close();
    document.getElementById('about-caption').textContent = caption;
    document.getElementById('about-name').textContent = name;
    aboutDialog.showModal();
  },
  closeProgram() {
    state.ended = true;
    solver.end();
    menuBar.close();
    controls.hide();
    document.getElementById('menubar').hidden = true;
    screenBox.hidden = true;
    document.getElementById('ended').hidden = false;
    document.querySelector('#ended a').focus();
  },
  // A short tone and a red flash around the board.
  beep() {
    ++state.beeps;
    try {
      audio = audio || new AudioContext();
      const at = audio.currentTime;
      const tone = audio.createOscillator();
      const gain = audio.createGain();
      tone.frequency.value = 880;
      gain.gain.setValueAtTime(0.15, at);
      gain.gain.exponentialRampToValueAtTime(0.001, at + 0.12);
      tone.connect(gain).connect(audio.destination);
      tone.start(at);
      tone.stop(at + 0.13);
    } catch (error) {
      // No sound to be had: the flash alone.
    }
    board.classList.add('refused');
    setTimeout(() => board.classList.remove('refused'), 180);
  },
  textsBegin() {
    state.texts = [];
  },
  text(x, y, red, green, blue, text) {
    state.texts.push({x, y, colour: `rgb(${red},${green},${blue})`, text, width: measure.measureText(text).width});
  },
  textWidth(text) {
    return Math.ceil(measure.measureText(text).width);
  },
  download(name, bytes) {
    if (testHooks) state.downloads.push({name, bytes: Array.from(bytes)});
    const url = URL.createObjectURL(new Blob([bytes], {type: 'application/octet-stream'}));
    const link = document.createElement('a');
    link.href = url;
    link.download = name;
    document.body.appendChild(link);
    link.click();
    link.remove();
    setTimeout(() => URL.revokeObjectURL(url), 60000);
  },
  readUserFile(buffer, capacity) {
    const text = readStoredNumber();
    if (text === null || !program) return -1;
    return program.stringToUTF8(text, buffer, capacity);
  },
  openManual() {
    // The manual in the game's language, even where that came from ?lang= alone.
    window.open(`help.html?from=${edition}&lang=${languageCode()}`, '_blank', 'noopener');
  },
  editPersonalNumber() {
    menuBar.close();
    personalText.value = readStoredNumber() ?? '0';
    personalDialog.returnValue = '';
    personalDialog.showModal();
  },
  languageChanged(code) {
    rememberCode(code);
    useLanguage(languageIndexOf(code));
    menuBar.setRows(menuRowsInUse());
  },
  showShare: (title, caption, text) => sharing.showShare(title, caption, text),
  askCode: (title, message, entry) => sharing.askCode(title, message, entry),
  startSolve: (bytes) => solver.start(bytes),
  stopSolve: () => solver.stop(),
};

function readStoredNumber() {
  try {
    return localStorage.getItem(userStorageKey);
  } catch (error) {
    return null;
  }
}

// Kept as the button is pressed (the dialog's close event comes later).
personalDialog.querySelector('form').addEventListener('submit', (event) => {
  if (!event.submitter || event.submitter.value !== 'save') return;
  try {
    localStorage.setItem(userStorageKey, personalText.value);
  } catch (error) {
    web.beep();
  }
});

// ---- Files ------------------------------------------------------------------------------

// The open commands ask the browser's file picker first; the program then
// opens the picked file through its usual checks.
const pickers = {
  [command.openMap]: document.getElementById('open-map'),
  [command.openGame]: document.getElementById('open-game'),
};
for (const [id, input] of Object.entries(pickers)) {
  input.addEventListener('change', async () => {
    const file = input.files && input.files[0];
    input.value = '';
    if (!file || !program || state.ended) return;
    // More than any record; the program reads only what it needs.
    const bytes = new Uint8Array(await file.slice(0, 65536).arrayBuffer());
    const nameBytes = program.lengthBytesUTF8(file.name);
    const room = program._orvanta_room_for_bytes(nameBytes + 1 + bytes.length);
    program.stringToUTF8(file.name, room, nameBytes + 1);
    program.HEAPU8.set(bytes, room + nameBytes + 1);
    program._orvanta_open_picked(nameBytes, bytes.length, Number(id));
  });
}

function runCommand(id) {
  if (!program || state.ended) return;
  if (pickers[id]) {
    pickers[id].click();
    return;
  }
  program._orvanta_command(id);
}

// ---- Keys -------------------------------------------------------------------------------

// Keys pressed while a dialog or a menu had them: their release is theirs too.
const keysTakenElsewhere = new Set();
const modalOpen = () => aboutDialog.open || personalDialog.open || sharing.isOpen();
// Enter and Space work the control that has the focus (a menu's title, a
// link); they reach the board only from the board itself or from no control.
const controlKeys = new Set(['Enter', 'NumpadEnter', 'Space']);
const focusOnControl = () => {
  const at = document.activeElement;
  return !!at && at !== document.body && at !== canvas;
};

document.addEventListener('keydown', (event) => {
  if (!program || state.ended) return;
  if (modalOpen()) {
    keysTakenElsewhere.add(event.code);
    return;
  }
  if (menuBar.takeKey(event)) {
    event.preventDefault();
    keysTakenElsewhere.add(event.code);
    return;
  }
  if (controlKeys.has(event.code) && focusOnControl()) {
    keysTakenElsewhere.add(event.code);
    return;
  }
  if (event.ctrlKey || event.metaKey) return;
  // The accelerators act on the typed character, whichever key made it.
  if (characterKeys[event.key]) {
    event.preventDefault();
    keysTakenElsewhere.add(event.code);
    runCommand(characterKeys[event.key]);
    return;
  }
  // No scrolling by the keys the program uses.
  if (virtualKeyOf(event)) event.preventDefault();
});

document.addEventListener('keyup', (event) => {
  if (keysTakenElsewhere.delete(event.code)) return;
  if (!program || state.ended || modalOpen() || menuBar.isOpen() || event.ctrlKey || event.metaKey) return;
  const virtualKey = virtualKeyOf(event);
  if (!virtualKey) return;
  event.preventDefault();
  program._orvanta_key_release(virtualKey);
});

// ---- Start ------------------------------------------------------------------------------

attachPointer(canvas, (right, point) => {
  if (program && !state.ended) program._orvanta_click(right ? 1 : 0, point.x, point.y);
}, aimTap, (point) => !body.classList.contains('compact') &&
   controls.tapOnCount(point, state.texts[0], (text) => measure.measureText(text).width));
const resized = new ResizeObserver(queuePaint);
resized.observe(screenBox);
resized.observe(board);
window.addEventListener('resize', queuePaint);
// A move to a screen of another pixel ratio.
(function watchPixelRatio() {
  window.matchMedia(`(resolution: ${window.devicePixelRatio}dppx)`)
    .addEventListener('change', () => { queuePaint(); watchPixelRatio(); }, {once: true});
})();

if (testHooks) {
  window.orvanta = state;
  state.language = () => languageCode();
  state.setClock = (seconds) => { fixedClock = seconds; };
  state.breakNextWorker = () => { solver.brokenNext = true; solver.stop(); };
  state.keyRelease = (virtualKey) => program._orvanta_key_release(virtualKey);
  state.click = (right, x, y) => program._orvanta_click(right ? 1 : 0, x, y);
  state.cityPoints = () => boardPoints().cities;
  state.boardOutline = () => boardPoints().outline;
  state.inspect = inspectBoard;
}

// The site kept for playing offline; a page without it still plays online.
if ('serviceWorker' in navigator) navigator.serviceWorker.register('service-worker.js').catch(() => {});

// A press on a dialog's backdrop (over the board) only closes the dialog.
for (const dialog of [aboutDialog, personalDialog]) {
  dialog.addEventListener('pointerdown', (event) => {
    if (event.target !== dialog) return;
    const box = dialog.getBoundingClientRect();
    const inside = event.clientX >= box.left && event.clientX < box.right &&
                   event.clientY >= box.top && event.clientY < box.bottom;
    if (!inside) dialog.close();
  });
}

// The program picks the language (core/catalogue.h's rules) from the
// player's choice and the browser's; the shell then shows its words in it.
function startLanguage() {
  const remembered = rememberedCode(params);
  const locale = browserLocale();
  const rememberedBytes = program.lengthBytesUTF8(remembered) + 1;
  const localeBytes = program.lengthBytesUTF8(locale) + 1;
  const room = program._orvanta_room_for_bytes(rememberedBytes + localeBytes);
  program.stringToUTF8(remembered, room, rememberedBytes);
  program.stringToUTF8(locale, room + rememberedBytes, localeBytes);
  useLanguage(program._orvanta_choose_language(room, room + rememberedBytes));
  menuBar.setRows(menuRowsInUse());
}

createOrvanta({web}).then((module) => {
  program = module;
  startLanguage();
  solver.spawn();
  program._orvanta_start(Math.floor(board.clientWidth), Math.floor(board.clientHeight));
  sharing.openAddress();
  present();
  setInterval(() => {
    if (program && !state.ended && !document.hidden) program._orvanta_tick();
  }, 200);
  state.ready = true;
});
