// The page's shell around the WebAssembly program: the menu bar, the canvas
// that shows the off-screen picture with the texts drawn over it, keys, mouse
// and touch, the file picker and downloads, the dialogs, the refusal beep,
// the clock's timer and the solve worker. The program calls back through
// Module.web (the functions of `web` below).
'use strict';
(() => {
  const body = document.body;
  const edition = body.dataset.edition === 'profi' ? 'profi' : 'public';
  const testHooks = body.dataset.testHooks === '1';
  const params = new URLSearchParams(location.search);

  // Command identifiers and virtual-key codes, as the program knows them.
  const command = {
    about: 104, exitProgram: 105, eraseAll: 32771, editMap: 32772, readManual: 32773, saveMap: 32774,
    openMap: 32775, startGame: 32777, saveGame: 32779, openGame: 32780, personalNumber: 32781,
    generator: 32783, gridCoarse: 32784, gridMedium: 32785, gridFine: 32786, showSolution: 32787,
  };
  const menuRows = [
    ['&Файл', [['&Открыть Карту...', command.openMap], ['&Сохранить как...', command.saveMap], null,
      ['В&ыход', command.exitProgram]]],
    ['&Генератор', [['&Генератор', command.generator], null, ['Сетка Грубо', command.gridCoarse],
      ['Сетка Средне', command.gridMedium], ['Сетка Точно', command.gridFine]]],
    ['&Редактор', [['&Править Карту', command.editMap], null, ['&Стереть все', command.eraseAll]]],
    ['&Игра', [['&Начать Игру', command.startGame], null, ['&Открыть Игру...', command.openGame],
      ['&Сохранить как...', command.saveGame]]],
    ['&? Помощь', [['&Показать Решение ЗК', command.showSolution], null,
      ['&Читать Руководство...', command.readManual], ['&О программе...', command.about],
      ['&Личный номер...', command.personalNumber]]],
  ];
  const virtualKeys = {
    Escape: 27, Space: 32, ArrowLeft: 37, ArrowUp: 38, ArrowRight: 39, ArrowDown: 40, NumpadAdd: 107, Equal: 187,
  };
  // The keys of the Russian layout, so that Alt and a menu's letter work on
  // whatever layout is active.
  const russianKeys = {
    KeyF: 'а', Comma: 'б', KeyD: 'в', KeyU: 'г', KeyL: 'д', KeyT: 'е', Semicolon: 'ж', KeyP: 'з', KeyB: 'и',
    KeyQ: 'й', KeyR: 'к', KeyK: 'л', KeyV: 'м', KeyY: 'н', KeyJ: 'о', KeyG: 'п', KeyH: 'р', KeyC: 'с',
    KeyN: 'т', KeyE: 'у', KeyA: 'ф', BracketLeft: 'х', KeyW: 'ц', KeyX: 'ч', KeyI: 'ш', KeyO: 'щ',
    BracketRight: 'ъ', KeyS: 'ы', KeyM: 'ь', Quote: 'э', Period: 'ю', KeyZ: 'я', Slash: '.',
  };
  const userStorageKey = 'orvanta.user.txt';
  const longPressMilliseconds = 500;

  const board = document.getElementById('board');
  const canvas = document.getElementById('canvas');
  const context = canvas.getContext('2d', {alpha: false});
  const picture = document.createElement('canvas');
  const pictureContext = picture.getContext('2d', {alpha: false});
  const aboutDialog = document.getElementById('about');
  const personalDialog = document.getElementById('personal');
  const personalText = document.getElementById('personal-text');

  // What the tests read: the texts of the last redraw, beeps, downloads.
  const state = {
    ready: false, ended: false, beeps: 0, texts: [], downloads: [], firstPaintMilliseconds: null,
    lastSolveMilliseconds: null, lastSolveInWorkerMilliseconds: null, solveProgressMessages: 0, workerErrors: 0, font: null,
  };
  let program = null;
  let paintQueued = false;
  let fixedClock = null;
  let brokenWorker = false;  // the tests' way to a worker that fails
  if (testHooks && params.has('clock')) fixedClock = Math.floor(Number(params.get('clock'))) || 0;

  // The largest size of a font with Cyrillic letters whose line box keeps
  // within 16 pixels and whose digits are at most 8 pixels wide: the limits
  // the status texts are laid out for.
  const font = (() => {
    const family = '"DejaVu Sans", "Noto Sans", "Liberation Sans", "Segoe UI", Arial, sans-serif';
    const probe = document.createElement('canvas').getContext('2d');
    for (let pixels = 14; pixels > 6; --pixels) {
      probe.font = `${pixels}px ${family}`;
      const metrics = probe.measureText('ЖйQ|');
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

  // ---- The picture on the canvas -------------------------------------------------

  function queuePaint() {
    if (paintQueued) return;
    paintQueued = true;
    requestAnimationFrame(present);
  }

  // Asks the program for the picture of the board's size and puts it on the
  // canvas: 1:1 at a device pixel ratio of 1, else scaled without smoothing,
  // with the texts drawn over it at the screen's own resolution.
  function present() {
    paintQueued = false;
    if (!program || state.ended) return;
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
    const pixels = program._orvanta_paint(width, height);
    if (!pixels) return;
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
    context.setTransform(scaleX, 0, 0, scaleY, 0, 0);
    context.font = font.css;
    context.textBaseline = 'alphabetic';
    for (const text of state.texts) {
      context.fillStyle = text.colour;
      context.fillText(text.text, text.x, text.y + font.ascent);
    }
    // Since the navigation started.
    if (state.firstPaintMilliseconds === null) state.firstPaintMilliseconds = performance.now();
  }

  // ---- The solve worker ---------------------------------------------------------

  const solver = {
    worker: null,
    startedAt: 0,
    solving: false,
    spawn() {
      const script = brokenWorker ? 'no-such-worker.js' : 'solve-worker.js';
      brokenWorker = false;
      this.worker = new Worker(`${script}?edition=${edition}`);
      this.worker.onmessage = (event) => this.message(event.data);
      // A worker that failed (it could not load, or the solve ran out of
      // memory) ends its solve without a result; the next solve gets a new one.
      this.worker.onerror = (event) => {
        event.preventDefault();
        ++state.workerErrors;
        this.worker.terminate();
        this.worker = null;
        if (this.solving && program) {
          this.solving = false;
          program._orvanta_solve_ended();
        }
      };
    },
    start(bytes) {
      if (!this.worker) this.spawn();
      this.startedAt = performance.now();
      this.solving = true;
      this.worker.postMessage({board: bytes}, [bytes.buffer]);
    },
    // A stopped solve ends with its worker; the next solve gets a fresh one,
    // started now so that it is ready by then.
    stop() {
      this.solving = false;
      if (this.worker) this.worker.terminate();
      this.worker = null;
      if (!state.ended) this.spawn();
    },
    message(message) {
      if (!program) return;
      if (message.type === 'ready') {
        state.workerWarmUpMilliseconds = message.warmUpMilliseconds;
      } else if (message.type === 'progress') {
        ++state.solveProgressMessages;
        program._orvanta_solve_progress(message.value);
      } else if (message.type === 'done') {
        this.solving = false;
        state.lastSolveMilliseconds = performance.now() - this.startedAt;
        state.lastSolveInWorkerMilliseconds = message.milliseconds;
        program.HEAPU8.set(message.board, program._orvanta_transfer_block());
        program._orvanta_solve_ended();
      }
    },
  };

  // ---- Services the program calls ---------------------------------------------------

  let audio = null;
  const web = {
    clockSeconds: () => (fixedClock !== null ? fixedClock : Math.floor(Date.now() / 1000)),
    invalidate: queuePaint,
    setTitle(title) {
      document.title = title;
    },
    showAbout() {
      closeMenus();
      aboutDialog.showModal();
    },
    closeProgram() {
      state.ended = true;
      if (solver.worker) solver.worker.terminate();
      solver.worker = null;
      closeMenus();
      document.getElementById('menubar').hidden = true;
      board.hidden = true;
      document.getElementById('ended').hidden = false;
      window.close();
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
      window.open('help.html', '_blank', 'noopener');
    },
    editPersonalNumber() {
      closeMenus();
      personalText.value = readStoredNumber() ?? '0';
      personalDialog.returnValue = '';
      personalDialog.showModal();
    },
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

  personalDialog.addEventListener('close', () => {
    if (personalDialog.returnValue !== 'save') return;
    try {
      localStorage.setItem(userStorageKey, personalText.value);
    } catch (error) {
      web.beep();
    }
  });

  // ---- Menus ------------------------------------------------------------------------

  const menus = [];
  let openMenu = -1;

  function captionParts(caption) {
    const at = caption.indexOf('&');
    const plain = caption.replace('&', '');
    return {plain, mnemonic: at >= 0 ? caption[at + 1].toLowerCase() : '', at};
  }

  function captionElement(element, caption) {
    const {plain, at} = captionParts(caption);
    if (at < 0) {
      element.textContent = plain;
      return;
    }
    element.append(plain.slice(0, at));
    const letter = document.createElement('u');
    letter.textContent = plain[at];
    element.append(letter, plain.slice(at + 1));
  }

  function buildMenus() {
    const bar = document.getElementById('menubar');
    menuRows.forEach(([caption, items], index) => {
      const menu = document.createElement('div');
      menu.className = 'menu';
      const title = document.createElement('button');
      title.type = 'button';
      title.setAttribute('aria-haspopup', 'true');
      captionElement(title, caption);
      const list = document.createElement('div');
      list.className = 'menu-items';
      list.setAttribute('role', 'menu');
      const entries = [];
      for (const item of items) {
        if (item === null) {
          list.append(document.createElement('hr'));
          continue;
        }
        const button = document.createElement('button');
        button.type = 'button';
        button.setAttribute('role', 'menuitem');
        button.dataset.command = item[1];
        captionElement(button, item[0]);
        button.addEventListener('click', () => {
          closeMenus();
          runCommand(item[1]);
        });
        entries.push({button, mnemonic: captionParts(item[0]).mnemonic});
        list.append(button);
      }
      title.addEventListener('click', () => (openMenu === index ? closeMenus() : showMenu(index, false)));
      title.addEventListener('mouseenter', () => {
        if (openMenu >= 0 && openMenu !== index) showMenu(index, false);
      });
      menu.append(title, list);
      bar.append(menu);
      menus.push({element: menu, entries, mnemonic: captionParts(caption).mnemonic});
    });
  }

  function showMenu(index, focusFirst) {
    closeMenus();
    openMenu = index;
    menus[index].element.classList.add('open');
    if (focusFirst) menus[index].entries[0].button.focus();
  }

  function closeMenus() {
    if (openMenu >= 0) menus[openMenu].element.classList.remove('open');
    openMenu = -1;
    if (document.activeElement && document.activeElement.closest('#menubar')) document.activeElement.blur();
  }

  document.addEventListener('pointerdown', (event) => {
    if (openMenu >= 0 && !event.target.closest('#menubar')) closeMenus();
  }, true);

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
      const staging = program._orvanta_staging(nameBytes + 1 + bytes.length);
      program.stringToUTF8(file.name, staging, nameBytes + 1);
      program.HEAPU8.set(bytes, staging + nameBytes + 1);
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

  // ---- Keys ---------------------------------------------------------------------------

  // Keys pressed while a dialog or a menu had them: their release is theirs too.
  const keysTakenElsewhere = new Set();
  const modalOpen = () => aboutDialog.open || personalDialog.open;

  function virtualKeyOf(event) {
    if (virtualKeys[event.code]) return virtualKeys[event.code];
    if (event.key === '+') return virtualKeys.Equal;
    return 0;
  }

  function menuLetter(event) {
    const key = event.key.length === 1 ? event.key.toLowerCase() : '';
    return {key, russian: russianKeys[event.code] || ''};
  }

  function menuKey(event) {
    const menu = menus[openMenu];
    const items = menu.entries.map((entry) => entry.button);
    const at = items.indexOf(document.activeElement);
    switch (event.key) {
      case 'Escape':
        closeMenus();
        return;
      case 'ArrowDown':
        items[(at + 1) % items.length].focus();
        return;
      case 'ArrowUp':
        items[(at - 1 + items.length) % items.length].focus();
        return;
      case 'ArrowRight':
        showMenu((openMenu + 1) % menus.length, true);
        return;
      case 'ArrowLeft':
        showMenu((openMenu - 1 + menus.length) % menus.length, true);
        return;
      case 'Enter':
      case ' ':
        if (at >= 0) items[at].click();
        return;
      default: {
        const {key, russian} = menuLetter(event);
        const entry = menu.entries.find((e) => e.mnemonic && (e.mnemonic === key || e.mnemonic === russian));
        if (entry) entry.button.click();
      }
    }
  }

  document.addEventListener('keydown', (event) => {
    if (!program || state.ended) return;
    if (modalOpen()) {
      keysTakenElsewhere.add(event.code);
      return;
    }
    if (event.altKey && !event.ctrlKey && !event.metaKey) {
      const {key, russian} = menuLetter(event);
      const index = menus.findIndex((m) => m.mnemonic === key || m.mnemonic === russian);
      if (index >= 0) {
        event.preventDefault();
        keysTakenElsewhere.add(event.code);
        showMenu(index, true);
        return;
      }
    }
    if (openMenu >= 0) {
      event.preventDefault();
      keysTakenElsewhere.add(event.code);
      menuKey(event);
      return;
    }
    if (event.ctrlKey || event.metaKey) return;
    // The accelerators act on the typed character, whichever key made it.
    if (event.key === '?' || event.key === '/') {
      event.preventDefault();
      keysTakenElsewhere.add(event.code);
      runCommand(command.about);
      return;
    }
    if (virtualKeyOf(event)) event.preventDefault();
  });

  document.addEventListener('keyup', (event) => {
    if (keysTakenElsewhere.delete(event.code)) return;
    if (!program || state.ended || modalOpen() || openMenu >= 0 || event.ctrlKey || event.metaKey) return;
    const virtualKey = virtualKeyOf(event);
    if (!virtualKey) return;
    event.preventDefault();
    program._orvanta_key_release(virtualKey);
  });

  // ---- Mouse and touch ------------------------------------------------------------------

  // A tap is a left click; a long press is a right click (the trip starts
  // again from the first city; in the editor the city there is removed).
  let press = null;

  function pointAt(event) {
    const bounds = canvas.getBoundingClientRect();
    return {x: Math.floor(event.clientX - bounds.left), y: Math.floor(event.clientY - bounds.top)};
  }

  function click(right, point) {
    if (program && !state.ended) program._orvanta_click(right ? 1 : 0, point.x, point.y);
  }

  canvas.addEventListener('contextmenu', (event) => event.preventDefault());
  canvas.addEventListener('pointerdown', (event) => {
    if (event.pointerType === 'mouse') {
      if (event.button === 0) click(false, pointAt(event));
      else if (event.button === 2) click(true, pointAt(event));
      return;
    }
    if (!event.isPrimary) return;
    event.preventDefault();
    const point = pointAt(event);
    press = {id: event.pointerId, point, long: false};
    const current = press;
    press.timer = setTimeout(() => {
      current.long = true;
      click(true, current.point);
    }, longPressMilliseconds);
  });
  canvas.addEventListener('pointermove', (event) => {
    if (!press || press.id !== event.pointerId) return;
    const point = pointAt(event);
    if (Math.abs(point.x - press.point.x) > 12 || Math.abs(point.y - press.point.y) > 12) {
      clearTimeout(press.timer);
      press = null;
    }
  });
  canvas.addEventListener('pointerup', (event) => {
    if (!press || press.id !== event.pointerId) return;
    clearTimeout(press.timer);
    if (!press.long) click(false, press.point);
    press = null;
  });
  canvas.addEventListener('pointercancel', () => {
    if (press) clearTimeout(press.timer);
    press = null;
  });

  // ---- Start ----------------------------------------------------------------------------

  buildMenus();
  new ResizeObserver(queuePaint).observe(board);
  window.addEventListener('resize', queuePaint);
  if (window.matchMedia) {
    // A move to a screen of another pixel ratio.
    const watchRatio = () => {
      window.matchMedia(`(resolution: ${window.devicePixelRatio}dppx)`)
        .addEventListener('change', () => { queuePaint(); watchRatio(); }, {once: true});
    };
    watchRatio();
  }

  if (testHooks) {
    window.orvanta = state;
    state.setClock = (seconds) => { fixedClock = seconds; };
    state.breakNextWorker = () => { brokenWorker = true; solver.stop(); };
    state.keyRelease = (virtualKey) => program._orvanta_key_release(virtualKey);
    state.inspect = () => {
      const at = program._orvanta_inspect_board();
      const view = new DataView(program.HEAPU8.buffer);
      // FlatBoard: three doubles, the 248-byte spectrum, five int32, the cities.
      const ints = at + 24 + 248;
      const count = view.getInt32(ints + 12, true);
      const cities = [];
      for (let i = 0; i < Math.max(0, Math.min(count, 18)); ++i)
        cities.push([view.getInt32(ints + 20 + 8 * i, true), view.getInt32(ints + 24 + 8 * i, true)]);
      return {
        mode: program._orvanta_mode(), solved: view.getInt32(ints, true), gridWidth: view.getInt32(ints + 4, true),
        cityCount: count, cities, playerRouteLength: view.getInt32(ints + 16, true),
      };
    };
  }

  createOrvanta({web}).then((module) => {
    program = module;
    solver.spawn();
    program._orvanta_start(Math.floor(board.clientWidth), Math.floor(board.clientHeight));
    present();
    setInterval(() => {
      if (program && !state.ended && !document.hidden) program._orvanta_tick();
    }, 200);
    state.ready = true;
  });
})();
