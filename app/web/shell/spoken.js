// The game as text for a screen reader. The status texts (the mode line, a
// solve's progress, the Profi spectrum as a table, the game line) stand in a
// visually hidden section, since the picture or the panels show them as
// pixels or in pieces; the board has a description (its cities, grid and the
// trip so far); a polite live region announces a change of mode, a solve's
// progress now and then, its end, and the grade of a closed trip.
const gameMode = 2;
// A solve's progress is announced at most this often.
const progressEveryMilliseconds = 5000;

// A status line as words: its fields (four spaces apart; fewer pad a number)
// apart by commas, a label by its colon.
const line = (text) => (text ? text.text.trim().split(/ {4,}/).map((field) => field.replace(/ +/g, ' '))
  .reduce((said, field) => (!said ? field : said.endsWith(':') ? `${said} ${field}` : `${said}, ${field}`), '') : '');

export class Spoken {
  constructor() {
    this.mode = document.getElementById('spoken-mode');
    this.progress = document.getElementById('spoken-progress');
    this.spectrum = document.getElementById('spoken-spectrum');
    this.game = document.getElementById('spoken-game');
    this.board = document.getElementById('board-description');
    this.live = document.getElementById('announcer');
    this.last = null;  // what the previous update saw
    this.progressAt = 0;
  }

  // After every repaint: the roles of the status texts (status.js), the
  // program's mode and its board as the page inspects it.
  update(roles, mode, board) {
    this.mode.textContent = line(roles.mode);
    this.progress.textContent = roles.progress.map((text) => text.text).join(', ');
    this.game.textContent = line(roles.game);
    this.fillSpectrum(roles.spectrum);
    this.board.textContent = describeBoard(board, mode);
    this.announce(roles, mode, board);
  }

  fillSpectrum(rows) {
    const [header, ...entries] = rows;
    this.spectrum.hidden = !header;
    if (!header) return;
    this.spectrum.caption.textContent = header.map((text) => text.text).join(' ');
    const body = this.spectrum.tBodies[0];
    const key = JSON.stringify(entries.map((row) => row.map((text) => text.text)));
    if (body.dataset.key === key) return;
    body.dataset.key = key;
    body.replaceChildren(...entries.map((row) => {
      const tr = document.createElement('tr');
      for (const text of row) {
        const cell = document.createElement('td');
        cell.textContent = text.text.trim();
        tr.append(cell);
      }
      return tr;
    }));
  }

  announce(roles, mode, board) {
    const now = performance.now();
    const solving = roles.progress.length > 0;
    const closed = mode === gameMode && board.playerRouteLength > board.cityCount && board.cityCount > 0;
    const seen = {mode, solving, closed, solved: board.solved === 1, cities: JSON.stringify(board.cities)};
    const last = this.last;
    this.last = seen;
    if (!last) return;
    const said = [];
    if (mode !== last.mode) said.push(line(roles.mode));
    const sameMap = seen.cities === last.cities;
    if (solving && !last.solving) {
      this.progressAt = now;
    } else if (solving && now - this.progressAt >= progressEveryMilliseconds) {
      this.progressAt = now;
      said.push(roles.progress.slice(0, 2).map((text) => text.text).join(' '));
    }
    if (sameMap && seen.solved && !last.solved) said.push('Решение найдено.');
    else if (last.solving && !solving && !seen.solved) said.push('Поиск решения прерван.');
    // The grade: a trip closed, or solved once closed.
    if (closed && roles.game && (!last.closed || (seen.solved && !last.solved))) said.push(line(roles.game));
    if (said.length) this.say(said.join(' '));
  }

  say(text) {
    // The same words again are announced as new.
    this.live.textContent = this.live.textContent === text ? `${text}\u00a0` : text;
  }
}

// The board in words: how many cities on what grid, and the trip so far.
export function describeBoard(board, mode) {
  const cities = board.cities;
  const parts = [`Карта: городов ${board.cityCount}, сетка ${board.gridWidth}x${board.gridHeight}.`];
  if (mode === gameMode && board.route.length > 0) {
    const stops = board.route.map((index) => {
      const city = cities[index];
      return city ? `${index + 1} (${city[0]}, ${city[1]})` : `${index + 1}`;
    });
    const closed = board.playerRouteLength > board.cityCount && board.cityCount > 0;
    parts.push(`Путь ${closed ? 'замкнут' : 'не замкнут'}, городов в пути ${board.route.length - 1}: ${stops.join(' → ')}.`);
  } else {
    parts.push(`Города: ${cities.map(([x, y], index) => `${index + 1} (${x}, ${y})`).join(', ')}.`);
  }
  return parts.join(' ');
}
