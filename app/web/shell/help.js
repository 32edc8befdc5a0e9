// The manual page: it holds every manual, each in a hidden <pre> of its
// language. The one of the page's language (as page.js chose it) is shown,
// for a language without its own the English one, else the Russian, the
// source; its plain text, laid out for its fixed width, is reflowed into
// headings, paragraphs and list entries, so that it reads on a screen of any
// width. Without scripts the page shows every manual as it is. The link back
// closes the manual's own tab where the game opened one, and otherwise leads
// to the game's page.
import {languageCode} from './texts.js';

const manuals = Array.from(document.querySelectorAll('pre.manual'));
const manualIn = (code) => manuals.find((manual) => manual.lang === code);
const pre = manualIn(languageCode()) || manualIn('en') || manualIn('ru') || manuals[0];
for (const other of manuals) if (other !== pre) other.remove();
const indentOf = (line) => line.length - line.trimStart().length;
// "Пробел  Новая карта": a term, two or more spaces, its text.
const termPattern = /^(\S(?:.*?\S)?) {2,}(\S.*)$/;

function entryInto(parent, lines, depth) {
  const entry = document.createElement('p');
  entry.className = depth > 0 ? 'entry sub' : 'entry';
  const first = lines[0].trim();
  const rest = lines.slice(1).map((line) => line.trim()).join(' ');
  const term = first.match(termPattern);
  if (term) {
    const name = document.createElement('b');
    name.textContent = term[1];
    entry.append(name, ` ${[term[2], rest].filter(Boolean).join(' ')}`);
  } else {
    entry.textContent = [first, rest].filter(Boolean).join(' ');
  }
  parent.append(entry);
}

function blockInto(parent, lines) {
  if (lines.length === 2 && /^(=+|-+)$/.test(lines[1].trim())) {
    const heading = document.createElement(lines[1].trim()[0] === '=' ? 'h1' : 'h2');
    heading.textContent = lines[0].trim();
    parent.append(heading);
    return;
  }
  const base = Math.min(...lines.map(indentOf));
  const list = lines.some((line) => indentOf(line) > base || termPattern.test(line.trim()));
  if (!list) {
    const paragraph = document.createElement('p');
    paragraph.textContent = lines.map((line) => line.trim()).join(' ');
    parent.append(paragraph);
    return;
  }
  // A list: an entry starts at the block's own indent, or deeper where a
  // line names a term of its own (a menu's items under the menu's name).
  let entry = null;
  let depth = 0;
  for (const line of lines) {
    const deeper = indentOf(line) > base;
    if (!entry || !deeper || (termPattern.test(line.trim()) && indentOf(line) < entry.column)) {
      if (entry) entryInto(parent, entry.lines, depth);
      depth = deeper ? 1 : 0;
      const term = line.trim().match(termPattern);
      const column = term ? line.indexOf(term[2]) : Infinity;
      entry = {lines: [line], column};
    } else {
      entry.lines.push(line);
    }
  }
  if (entry) entryInto(parent, entry.lines, depth);
}

if (pre) {
  const article = document.createElement('article');
  article.className = 'manual';
  article.lang = pre.lang;
  let block = [];
  for (const line of pre.textContent.split('\n').concat([''])) {
    if (line.trim()) {
      block.push(line);
    } else if (block.length) {
      blockInto(article, block);
      block = [];
    }
  }
  // A group's name (a menu's, above its items) in bold.
  for (const entry of article.querySelectorAll('p.entry:not(.sub)')) {
    if (!entry.nextElementSibling?.matches('p.entry.sub') || entry.querySelector('b')) continue;
    const name = document.createElement('b');
    name.textContent = entry.textContent;
    entry.replaceChildren(name);
  }
  pre.replaceWith(article);
}

const back = document.getElementById('back');
const params = new URLSearchParams(location.search);
const from = params.get('from');
if (from === 'public' || from === 'profi') back.href = `${from}.html${params.has('lang') ? `?lang=${encodeURIComponent(params.get('lang'))}` : ''}`;
back.addEventListener('click', (event) => {
  // A tab the game opened closes; if it stays open, the link is followed.
  if (!from || history.length > 1) return;
  event.preventDefault();
  window.close();
  setTimeout(() => { location.href = back.href; }, 200);
});
