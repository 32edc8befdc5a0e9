// Passing a map on in the page: the share dialog (the text, a button that
// copies it and, on a phone whose browser has one, the system's share sheet),
// the dialog that asks for a code or a link, and a code in the page's address,
// which opens before anything else (and again whenever the address's '#' part
// changes). The program says what to show; the typed code goes back to it.
import {t} from './texts.js';

function element(tag, properties = {}, children = []) {
  const made = Object.assign(document.createElement(tag), properties);
  for (const child of children) made.append(child);
  return made;
}

// A dialog in the page's usual form: a caption, a line of text, a field, buttons.
function makeDialog(id) {
  const caption = element('div', {className: 'caption', id: `${id}-caption`});
  const said = element('p', {id: `${id}-message`});
  const field = element('input', {id: `${id}-text`, type: 'text', autocomplete: 'off', spellcheck: false});
  const buttons = element('div', {className: 'buttons'});
  const form = element('form', {method: 'dialog'}, [element('p', {}, [field]), buttons]);
  const dialog = element('dialog', {id}, [caption, said, form]);
  dialog.setAttribute('aria-labelledby', caption.id);
  said.setAttribute('role', 'status');
  document.body.append(dialog);
  return {dialog, caption, said, field, buttons, form};
}

function button(text, properties = {}) {
  return element('button', {textContent: text, ...properties});
}

// Copies through the asynchronous clipboard where the page may use it, else
// through the selection, as older browsers and plain-HTTP pages need.
async function copyText(text, field) {
  try {
    await navigator.clipboard.writeText(text);
    return true;
  } catch (error) {
    field.focus();
    field.select();
    try {
      return document.execCommand('copy');
    } catch (ignored) {
      return false;
    }
  }
}

export class MapSharing {
  // `program()` gives the running module (or null), `state` is what the tests read.
  constructor(program, state, closeMenus) {
    this.program = program;
    this.state = state;
    this.closeMenus = closeMenus;
    this.share = makeDialog('share');
    this.share.field.readOnly = true;
    this.share.dialog.style.width = 'min(46em, 90vw)';
    // The code itself, whole, to read out or type: a link shows it after its '#'.
    this.shownCode = element('p', {id: 'share-code'});
    Object.assign(this.shownCode.style, {fontFamily: 'monospace', fontSize: '1.1em', wordBreak: 'break-all'});
    this.share.said.after(this.shownCode);
    // The buttons' words follow the language (data-tr, texts.js).
    const named = (node) => {
      node.setAttribute('data-tr', '');
      return node;
    };
    this.copyButton = button(t('Копировать'), {type: 'button', id: 'share-copy'});
    this.sendButton = named(button(t('Поделиться...'), {type: 'button', id: 'share-send', hidden: true}));
    this.share.buttons.append(this.copyButton, ' ', this.sendButton, ' ', named(button(t('Закрыть'), {value: 'close'})));
    this.copyButton.addEventListener('click', async () => {
      const copied = await copyText(this.share.field.value, this.share.field);
      this.state.copied = copied ? this.share.field.value : null;
      this.copyButton.textContent = copied ? t('Скопировано') : t('Копировать');
      this.share.field.select();
    });
    this.sendButton.addEventListener('click', () => {
      const text = this.share.field.value;
      const isLink = /^https?:/.test(text);
      navigator.share(isLink ? {title: document.title, url: text} : {title: document.title, text}).catch(() => {});
    });

    this.ask = makeDialog('map-code');
    this.ask.dialog.style.width = 'min(46em, 90vw)';
    this.ask.field.placeholder = 'https://...#...';
    this.openButton = named(button(t('Открыть'), {value: 'open', id: 'map-code-open'}));
    this.ask.buttons.append(this.openButton, ' ', named(button(t('Отмена'), {value: 'cancel'})));
    // Taken as the button is pressed: the dialog's close event comes later.
    this.ask.form.addEventListener('submit', (event) => {
      if (event.submitter && event.submitter.value === 'cancel') return;
      event.preventDefault();
      const entry = this.ask.field.value;
      this.ask.dialog.close();
      this.openEntry('_orvanta_open_code', entry);
    });
    for (const {dialog} of [this.share, this.ask]) {
      dialog.addEventListener('pointerdown', (event) => {
        if (event.target !== dialog) return;
        const box = dialog.getBoundingClientRect();
        const inside = event.clientX >= box.left && event.clientX < box.right &&
                       event.clientY >= box.top && event.clientY < box.bottom;
        if (!inside) dialog.close();
      });
    }
    window.addEventListener('hashchange', () => {
      if (location.hash.length > 1) this.openEntry('_orvanta_open_code', location.href);
    });
  }

  isOpen() {
    return this.share.dialog.open || this.ask.dialog.open;
  }

  // The program's services (Module.web): both return at once.
  showShare(title, caption, text) {
    this.closeMenus();
    this.state.shared = {title, caption, text};
    this.share.caption.textContent = title;
    this.share.said.textContent = caption;
    this.share.field.value = text;
    const hash = text.lastIndexOf('#');
    this.shownCode.textContent = hash >= 0 ? text.slice(hash + 1) : '';
    this.shownCode.hidden = hash < 0;
    this.copyButton.textContent = t('Копировать');
    // The system's share sheet on a touch screen, where phones' browsers have one.
    this.sendButton.hidden = !(navigator.share && matchMedia('(pointer: coarse)').matches);
    if (!this.share.dialog.open) this.share.dialog.showModal();
    this.share.field.select();
  }

  askCode(title, message, entry) {
    this.closeMenus();
    this.state.asked = {title, message, entry};
    this.ask.caption.textContent = title;
    this.ask.said.textContent = message;
    this.ask.field.value = entry;
    if (!this.ask.dialog.open) this.ask.dialog.showModal();
    this.ask.field.focus();
    this.ask.field.select();
  }

  // The page's address, when it holds a '#': before the first picture is shown.
  openAddress() {
    if (location.href.includes('#')) this.openEntry('_orvanta_open_starting_code', location.href);
  }

  openEntry(entryPoint, text) {
    const program = this.program();
    if (!program) return;
    const bytes = program.lengthBytesUTF8(text);
    const room = program._orvanta_room_for_bytes(bytes + 1);
    program.stringToUTF8(text, room, bytes + 1);
    program[entryPoint](room);
  }
}
