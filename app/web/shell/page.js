// The site's pages without the program (the index, the manual) in the
// player's language: the one chosen in a game page, else the browser's, by
// the program's own rule (Russian for Russian or none, a language of the
// catalogues for itself, English for any other).
import {languages} from './tables.js';
import {browserLocale, languageIndexOf, rememberedCode, useLanguage} from './texts.js';

function pageLanguage() {
  const codes = languages.map((language) => language.code);
  const prefix = (name) => name.toLowerCase().split(/[-_.@]/)[0];
  const remembered = prefix(rememberedCode(new URLSearchParams(location.search)));
  if (codes.includes(remembered)) return remembered;
  const locale = prefix(browserLocale());
  if (locale === '' || codes.includes(locale)) return locale || codes[0];
  return codes.includes('en') ? 'en' : codes[0];
}

useLanguage(languageIndexOf(pageLanguage()));
