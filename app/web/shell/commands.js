// The program's command identifiers, its menu bar, and the virtual-key codes
// of the keys it acts on, as the desktops have them. The numbers and captions
// come from tables.js, which the build generates from the program's own tables.
import {characterKeys, command, menuRows, virtualKey} from './tables.js';

export {characterKeys, command, menuRows};

const virtualKeys = {
  Escape: virtualKey.escape, Space: virtualKey.space, ArrowLeft: virtualKey.left, ArrowUp: virtualKey.up,
  ArrowRight: virtualKey.right, ArrowDown: virtualKey.down, NumpadAdd: virtualKey.add, Equal: virtualKey.oemPlus,
  Enter: virtualKey.enter, NumpadEnter: virtualKey.enter, Delete: virtualKey.deleteKey,
  Backspace: virtualKey.backspace, PageUp: virtualKey.pageUp, PageDown: virtualKey.pageDown,
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
