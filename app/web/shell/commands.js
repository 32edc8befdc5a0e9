// The program's command identifiers, its menu bar, and the virtual-key codes
// of the keys it acts on, as the desktops have them.

export const command = {
  about: 104, exitProgram: 105, eraseAll: 32771, editMap: 32772, readManual: 32773, saveMap: 32774,
  openMap: 32775, startGame: 32777, saveGame: 32779, openGame: 32780, personalNumber: 32781,
  generator: 32783, gridCoarse: 32784, gridMedium: 32785, gridFine: 32786, showSolution: 32787,
};

// Each menu: its caption and its items; null is a separator. "&" marks the
// letter that chooses it with Alt (the menu) or alone (an item of an open menu).
export const menuRows = [
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

// The virtual-key code of a key event, or 0 for a key the program ignores.
// "+" on the main keyboard is the "=" key, shifted or not.
export function virtualKeyOf(event) {
  if (virtualKeys[event.code]) return virtualKeys[event.code];
  if (event.key === '+') return virtualKeys.Equal;
  return 0;
}

// The letters of the Russian layout by key, so that a menu's letter works on
// whatever layout is active.
const russianKeys = {
  KeyF: 'а', Comma: 'б', KeyD: 'в', KeyU: 'г', KeyL: 'д', KeyT: 'е', Semicolon: 'ж', KeyP: 'з', KeyB: 'и',
  KeyQ: 'й', KeyR: 'к', KeyK: 'л', KeyV: 'м', KeyY: 'н', KeyJ: 'о', KeyG: 'п', KeyH: 'р', KeyC: 'с',
  KeyN: 'т', KeyE: 'у', KeyA: 'ф', BracketLeft: 'х', KeyW: 'ц', KeyX: 'ч', KeyI: 'ш', KeyO: 'щ',
  BracketRight: 'ъ', KeyS: 'ы', KeyM: 'ь', Quote: 'э', Period: 'ю', KeyZ: 'я', Slash: '.',
};

// The letters a key event may stand for: the typed one, and the Russian one.
export function lettersOf(event) {
  return [event.key.length === 1 ? event.key.toLowerCase() : '', russianKeys[event.code] || ''];
}
