// The menu bar in HTML: drop-down menus opened by a click or by Alt and a
// menu's letter, items chosen by a click, Enter or their letter, arrows to
// move, Escape to close. A press elsewhere while a menu is open only closes
// it, and a drop-down keeps within the page's width.
import {lettersOf, menuRows} from './commands.js';

function captionParts(caption) {
  const at = caption.indexOf('&');
  return {plain: caption.replace('&', ''), mnemonic: at >= 0 ? caption[at + 1].toLowerCase() : '', at};
}

// The caption with its letter underlined.
function captionInto(element, caption) {
  const {plain, at} = captionParts(caption);
  if (at < 0) {
    element.textContent = plain;
    return;
  }
  const letter = document.createElement('u');
  letter.textContent = plain[at];
  element.append(plain.slice(0, at), letter, plain.slice(at + 1));
}

export class MenuBar {
  constructor(bar, runCommand, rows = menuRows) {
    this.bar = bar;
    this.runCommand = runCommand;
    this.menus = [];
    this.openIndex = -1;
    this.setRows(rows);
    document.addEventListener('pointerdown', (event) => {
      if (!this.isOpen() || event.target.closest('#menubar')) return;
      this.close();
      event.stopPropagation();
      event.preventDefault();
    }, true);
  }

  // The menus again from `rows` (a language's menu bar of tables.js).
  setRows(rows) {
    this.close();
    this.menus = [];
    this.bar.replaceChildren();
    rows.forEach(([caption, items], index) => this.addMenu(this.bar, caption, items, index, this.runCommand));
  }

  addMenu(bar, caption, items, index, runCommand) {
    const menu = document.createElement('div');
    menu.className = 'menu';
    menu.setAttribute('role', 'none');
    const title = document.createElement('button');
    title.type = 'button';
    title.setAttribute('role', 'menuitem');
    title.setAttribute('aria-haspopup', 'menu');
    title.setAttribute('aria-expanded', 'false');
    captionInto(title, caption);
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
      // The language in use carries a check mark.
      button.setAttribute('role', item[2] ? 'menuitemradio' : 'menuitem');
      if (item[2]) button.setAttribute('aria-checked', 'true');
      button.dataset.command = item[1];
      captionInto(button, item[0]);
      button.addEventListener('click', () => {
        this.close();
        runCommand(item[1]);
      });
      entries.push({button, mnemonic: captionParts(item[0]).mnemonic});
      list.append(button);
    }
    title.addEventListener('click', () => (this.openIndex === index ? this.close() : this.show(index, false)));
    title.addEventListener('mouseenter', () => {
      if (this.isOpen() && this.openIndex !== index) this.show(index, false);
    });
    menu.append(title, list);
    bar.append(menu);
    this.menus.push({element: menu, title, list, entries, mnemonic: captionParts(caption).mnemonic});
  }

  isOpen() {
    return this.openIndex >= 0;
  }

  show(index, focusFirst) {
    this.close();
    this.openIndex = index;
    const {element, title, list} = this.menus[index];
    element.classList.add('open');
    title.setAttribute('aria-expanded', 'true');
    list.style.left = '';
    const pageWidth = document.documentElement.clientWidth;
    const over = list.getBoundingClientRect().right - pageWidth;
    if (over > 0) list.style.left = `${-Math.min(over, element.getBoundingClientRect().left)}px`;
    if (focusFirst) this.menus[index].entries[0].button.focus();
  }

  close() {
    if (this.isOpen()) {
      this.menus[this.openIndex].element.classList.remove('open');
      this.menus[this.openIndex].title.setAttribute('aria-expanded', 'false');
    }
    this.openIndex = -1;
    if (document.activeElement && document.activeElement.closest('#menubar')) document.activeElement.blur();
  }

  // A key pressed: whether the menu bar took it (Alt and a menu's letter, or
  // any key while a menu is open).
  takeKey(event) {
    if (event.altKey && !event.ctrlKey && !event.metaKey) {
      const letters = lettersOf(event);
      const index = this.menus.findIndex((m) => m.mnemonic && letters.includes(m.mnemonic));
      if (index >= 0) {
        this.show(index, true);
        return true;
      }
    }
    if (!this.isOpen()) return false;
    this.keyInMenu(event);
    return true;
  }

  keyInMenu(event) {
    const items = this.menus[this.openIndex].entries.map((entry) => entry.button);
    const at = items.indexOf(document.activeElement);
    const count = this.menus.length;
    switch (event.key) {
      case 'Escape':
        this.close();
        return;
      case 'ArrowDown':
        items[(at + 1) % items.length].focus();
        return;
      case 'ArrowUp':
        items[(at - 1 + items.length) % items.length].focus();
        return;
      case 'ArrowRight':
        this.show((this.openIndex + 1) % count, true);
        return;
      case 'ArrowLeft':
        this.show((this.openIndex - 1 + count) % count, true);
        return;
      case 'Enter':
      case ' ':
        if (at >= 0) items[at].click();
        return;
      default: {
        const letters = lettersOf(event);
        const entry = this.menus[this.openIndex].entries.find((e) => e.mnemonic && letters.includes(e.mnemonic));
        if (entry) entry.button.click();
      }
    }
  }
}
