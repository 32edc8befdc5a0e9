// The shell's own words in the player's language. The page is written in
// Russian, the program's source language; an element marked data-tr shows
// its text in the language in use, and data-tr-attrs names attributes of it
// to translate too. The translations are the catalogues' own, which the build
// writes into tables.js beside each language's menu bar. A leading
// "Orvanta Public: " (anything before ": " without Cyrillic) stays as it is.
import {languages} from './tables.js';

const storageKey = 'orvanta.language';
let current = 0;
const sources = new WeakMap();

export const languageIndex = () => current;
export const languageCode = () => languages[current].code;
export const menuRowsInUse = () => languages[current].menuRows;
export const languageIndexOf = (code) => Math.max(0, languages.findIndex((language) => language.code === code));

// The text in the language in use; the source itself where the catalogue has none.
export function t(source) {
  const whole = languages[current].texts[source];
  if (whole !== undefined) return whole;
  const cut = source.indexOf(': ');
  if (cut < 0 || /[\u0400-\u04ff]/.test(source.slice(0, cut))) return source;
  const rest = languages[current].texts[source.slice(cut + 2)];
  return rest === undefined ? source : `${source.slice(0, cut + 2)}${rest}`;
}

// `text` with {0}, {1}, ... replaced by the values: a sentence is translated
// whole, its numbers put in afterwards.
export const fill = (text, ...values) => text.replace(/\{(\d+)\}/g, (_, index) => String(values[Number(index)]));

// The player's choice: the page's ?lang=, else the one kept in local storage.
export function rememberedCode(params) {
  if (params.has('lang')) return params.get('lang');
  try {
    return localStorage.getItem(storageKey) || '';
  } catch (error) {
    return '';
  }
}

export function rememberCode(code) {
  try {
    localStorage.setItem(storageKey, code);
  } catch (error) {
    // Not kept: the choice holds for this visit.
  }
}

// The browser's first language, as the desktops read their locale.
export const browserLocale = () => (navigator.languages && navigator.languages[0]) || navigator.language || '';

const normalised = (text) => text.replace(/\s+/g, ' ').trim();

function sourcesOf(element) {
  let kept = sources.get(element);
  if (!kept) {
    kept = {text: element.hasAttribute('data-tr') ? normalised(element.textContent) : null, attributes: {}};
    for (const name of (element.dataset.trAttrs || '').split(' ').filter(Boolean))
      kept.attributes[name] = element.getAttribute(name) || '';
    sources.set(element, kept);
  }
  return kept;
}

// Shows the page's marked words in language `index` (of tables.js's list).
export function useLanguage(index) {
  current = index >= 0 && index < languages.length ? index : 0;
  document.documentElement.lang = languages[current].code;
  for (const element of document.querySelectorAll('[data-tr], [data-tr-attrs]')) {
    const kept = sourcesOf(element);
    if (kept.text !== null) element.textContent = t(kept.text);
    for (const [name, source] of Object.entries(kept.attributes)) element.setAttribute(name, t(source));
  }
  const manifest = document.querySelector('link[rel="manifest"]');
  if (manifest) {
    const base = manifest.getAttribute('href').replace(/(\.[a-z_A-Z]+)?\.webmanifest$/, '');
    manifest.setAttribute('href', current === 0 ? `${base}.webmanifest` : `${base}.${languageCode()}.webmanifest`);
  }
}
