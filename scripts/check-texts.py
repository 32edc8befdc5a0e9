#!/usr/bin/python3
"""The program's texts against the catalogues of po/LINGUAS.

1. Every catalogue is complete: `msgfmt --check --statistics` reports no
   error, no fuzzy and no untranslated entry.
2. The texts the code marks for translation are extracted (as xgettext reads
   them: RU("...") in C++, t('...') in the web shell's JavaScript, the
   elements marked data-tr and the attributes named by data-tr-attrs in its
   HTML, the quoted texts of its manifest, the Russian values of the desktop
   entries' templates and the Russian <summary>, <p> and <caption> of the
   AppStream template, which the build translates) and every catalogue holds exactly
   these (msgcmp both ways): a new text missing from a catalogue fails, and so
   does an entry no code uses any more.
3. No Cyrillic text of the product code is left unmarked: a string literal
   in C++ or JavaScript outside RU( / t(, a text of the page outside a marked
   element, any text of the Windows resources (their dialogs take every word
   from the catalogue when they open). A single letter is a key, not a text;
   a line may say "not a text" in a comment for other Cyrillic that is data
   (a font probe).

usage: check-texts.py [ROOT]   (the sources' root, by default this checkout)
"""
import html.parser
import os
import re
import subprocess
import sys
import tempfile

ROOT = os.path.abspath(sys.argv[1] if len(sys.argv) > 1 else os.path.join(os.path.dirname(__file__), '..'))
CYRILLIC = re.compile('[\u0400-\u04ff]')
# Product code: every layer and front end. The manuals (help.txt and its
# translations) and the personal-number file (user.txt) are documents of their
# own, not texts of the program.
CODE_DIRS = ('core', 'files', 'app')
failures = []


def files_under(*suffixes):
    for top in CODE_DIRS:
        for folder, _, names in os.walk(os.path.join(ROOT, top)):
            for name in sorted(names):
                if name.endswith(suffixes):
                    yield os.path.join(folder, name)


def relative(path):
    return os.path.relpath(path, ROOT)


def languages():
    codes = []
    with open(os.path.join(ROOT, 'po', 'LINGUAS'), encoding='utf-8') as listing:
        for line in listing:
            line = line.split('#', 1)[0].strip()
            if line:
                codes.append(line)
    return codes


def run(command):
    return subprocess.run(command, capture_output=True, text=True, env={**os.environ, 'LC_ALL': 'C.UTF-8'})


# ---- 1. complete catalogues ---------------------------------------------------------

def check_complete(code):
    path = os.path.join(ROOT, 'po', f'{code}.po')
    if not os.path.exists(path):
        failures.append(f'po/LINGUAS names {code}, but po/{code}.po is missing')
        return
    result = run(['msgfmt', '--check', '--statistics', '-o', os.devnull, path])
    report = (result.stdout + result.stderr).strip()
    if result.returncode != 0 or 'fuzzy' in report or 'untranslated' in report:
        failures.append(f'po/{code}.po is not complete and sound: {report}')


# ---- 2. the marked texts ------------------------------------------------------------

def literals(source, quotes):
    """(offset, text) of every string literal of C++ or JavaScript source,
    comments skipped; escapes are kept as written."""
    i, n = 0, len(source)
    while i < n:
        c = source[i]
        if source.startswith('//', i):
            i = source.find('\n', i)
            i = n if i < 0 else i
        elif source.startswith('/*', i):
            i = source.find('*/', i + 2)
            i = n if i < 0 else i + 2
        elif c in quotes:
            j = i + 1
            while j < n and source[j] != c:
                j += 2 if source[j] == '\\' else 1
            yield i, source[i + 1:j]
            i = j + 1
        else:
            i += 1


class MarkedTexts(html.parser.HTMLParser):
    """The texts of a page: those of elements marked data-tr (white space
    folded, as the shell reads them) and of attributes named by data-tr-attrs;
    Cyrillic anywhere else is reported as unmarked."""

    def __init__(self, path):
        super().__init__(convert_charrefs=True)
        self.path, self.marked, self.unmarked, self.open = path, [], [], []

    def handle_starttag(self, tag, attributes):
        attributes = dict(attributes)
        named = (attributes.get('data-tr-attrs') or '').split()
        for name, value in attributes.items():
            if value and CYRILLIC.search(value):
                (self.marked if name in named else self.unmarked).append(value)
        if tag not in ('meta', 'link', 'input', 'img', 'br', 'hr'):
            self.open.append([tag, 'data-tr' in attributes, ''])

    def handle_endtag(self, tag):
        while self.open:
            name, marked, text = self.open.pop()
            text = ' '.join(text.split())
            if marked and text:
                self.marked.append(text)
            elif CYRILLIC.search(text):
                self.unmarked.append(text)
            if name == tag:
                break

    def handle_data(self, data):
        if self.open:
            self.open[-1][2] += data
        elif CYRILLIC.search(data):
            self.unmarked.append(data.strip())


# The texts of a desktop entry's or AppStream file's template that the build
# writes in every language: a "Key=value" line's value, an element's text.
ENTRY_TEXT = re.compile(r'^[A-Za-z]+=(.*)$|<(summary|p|caption)>([^<]*)</\2>', re.MULTILINE)


def entry_texts(path):
    with open(path, encoding='utf-8') as template:
        content = template.read()
    texts = []
    for match in ENTRY_TEXT.finditer(content):
        text = ' '.join((match.group(1) if match.group(1) is not None else match.group(3)).split())
        if CYRILLIC.search(text):
            texts.append(text)
    left = ENTRY_TEXT.sub('', content)
    for line in left.split('\n'):
        if CYRILLIC.search(line):
            failures.append(f'{relative(path)}: {line.strip()!r} is not a text the build translates')
    return texts


def page_msgid(text):
    """A page's text as the catalogue keys it: a leading "Orvanta Public: "
    (no Cyrillic before ": ") stays out, as the shell keeps it."""
    cut = text.find(': ')
    if cut >= 0 and not CYRILLIC.search(text[:cut]):
        return text[cut + 2:]
    return text


def po_string(text):
    return '"' + text.replace('\\', '\\\\').replace('"', '\\"').replace('\n', '\\n') + '"'


def msgids(path):
    """The msgids of a .po or .pot file as written between the quotes (obsolete
    entries and the header left out)."""
    ids, current, field = [], None, None
    with open(path, encoding='utf-8') as file:
        for line in file:
            line = line.strip()
            if line.startswith('msgid "'):
                current, field = line[7:-1], 'id'
            elif line.startswith('"') and field == 'id':
                current += line[1:-1]
            elif line.startswith('msgstr'):
                if current:
                    ids.append(current)
                current, field = None, None
    return ids


def check_marked(folder):
    cpp = list(files_under('.cpp', '.h'))
    js = list(files_under('.js'))
    templates = list(files_under('.html.in'))
    manifests = list(files_under('.webmanifest.in'))
    parts = []
    cpp_pot = os.path.join(folder, 'cpp.pot')
    result = run(['xgettext', '--from-code=UTF-8', '--language=C++', '--keyword=', '--keyword=RU', '--no-location',
                  '-o', cpp_pot, *cpp])
    if result.returncode != 0:
        failures.append(f'xgettext (C++): {result.stderr.strip()}')
    parts.append(cpp_pot)
    if js:
        js_pot = os.path.join(folder, 'js.pot')
        result = run(['xgettext', '--from-code=UTF-8', '--language=JavaScript', '--keyword=', '--keyword=t',
                      '--no-location', '-o', js_pot, *js])
        if result.returncode != 0:
            failures.append(f'xgettext (JavaScript): {result.stderr.strip()}')
        parts.append(js_pot)
    page_texts = []
    for path in templates:
        with open(path, encoding='utf-8') as page:
            parser = MarkedTexts(path)
            parser.feed(page.read())
        page_texts += [page_msgid(text) for text in parser.marked]
        for text in parser.unmarked:
            failures.append(f'{relative(path)}: unmarked text {text!r} (mark its element data-tr or data-tr-attrs)')
    for path in manifests:
        with open(path, encoding='utf-8') as manifest:
            page_texts += [text for _, text in literals(manifest.read(), '"') if CYRILLIC.search(text)]
    for path in files_under('.desktop.in', '.metainfo.xml.in'):
        page_texts += entry_texts(path)
    pages_po = os.path.join(folder, 'pages.pot')
    with open(pages_po, 'w', encoding='utf-8') as out:
        out.write('msgid ""\nmsgstr ""\n"Content-Type: text/plain; charset=UTF-8\\n"\n\n')
        for text in dict.fromkeys(page_texts):
            out.write(f'msgid {po_string(text)}\nmsgstr ""\n\n')
    parts.append(pages_po)
    template = os.path.join(folder, 'orvanta.pot')
    existing = [p for p in parts if os.path.exists(p)]
    result = run(['msgcat', '--use-first', '-o', template, *existing])
    if result.returncode != 0:
        failures.append(f'msgcat: {result.stderr.strip()}')
        return
    for code in languages():
        catalogue = os.path.join(ROOT, 'po', f'{code}.po')
        if not os.path.exists(catalogue):
            continue
        marked, kept = set(msgids(template)), set(msgids(catalogue))
        missing = run(['msgcmp', '--use-untranslated', catalogue, template])
        if missing.returncode != 0:
            failures.append(f'texts missing from po/{code}.po: {sorted(marked - kept)}')
        unused = run(['msgcmp', '--use-untranslated', template, catalogue])
        if unused.returncode != 0:
            failures.append(f'entries of po/{code}.po that no code uses: {sorted(kept - marked)}')


# ---- 3. unmarked Cyrillic in code ---------------------------------------------------

def check_unmarked(paths, quotes, mark):
    for path in paths:
        with open(path, encoding='utf-8') as file:
            source = file.read()
        lines = source.split('\n')
        for offset, text in literals(source, quotes):
            if not CYRILLIC.search(text) or len(text) == 1:
                continue
            line = source.count('\n', 0, offset)
            if re.search(mark + r'\s*$', source[max(0, offset - 40):offset]) or 'not a text' in lines[line]:
                continue
            failures.append(f'{relative(path)}:{line + 1}: unmarked Cyrillic literal {text!r}')


def main():
    for code in languages():
        check_complete(code)
    with tempfile.TemporaryDirectory() as folder:
        check_marked(folder)
    check_unmarked(files_under('.cpp', '.h'), '"', r'\bRU\(')
    check_unmarked(files_under('.js'), '\'"`', r'\bt\(')
    check_unmarked(files_under('.rc'), '"', r'(?!)')
    for failure in failures:
        print(f'check-texts: {failure}')
    if failures:
        return 1
    print(f'check-texts: po/LINGUAS ({", ".join(languages())}) complete; every marked text translated, none unmarked')
    return 0


if __name__ == '__main__':
    sys.exit(main())
