#!/usr/bin/env bash
# The test of the texts' check itself: in a temporary copy of the sources and
# catalogues, each fault is planted on its own and check-texts.py must fail on
# it, naming it; the unchanged copy must pass.
set -euo pipefail
cd "$(dirname "$0")/.."
repo=$PWD
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

fresh_copy() {
  rm -rf "$work/tree"
  mkdir -p "$work/tree"
  git ls-files -z -- core files app po | xargs -0 cp --parents -t "$work/tree"
}

fresh_copy
if ! "$repo/scripts/check-texts.py" "$work/tree" >"$work/out" 2>&1; then
  echo "check-texts-test: the unchanged sources fail the check"
  cat "$work/out"
  exit 1
fi

failures=0
plant() {  # what, the text the report must name, then a command run in the copy
  local what=$1 named=$2
  shift 2
  fresh_copy
  (cd "$work/tree" && eval "$@")
  if "$repo/scripts/check-texts.py" "$work/tree" >"$work/out" 2>&1; then
    echo "check-texts-test: $what passes the check"
    failures=$((failures + 1))
  elif ! grep -qF -- "$named" "$work/out"; then
    echo "check-texts-test: $what fails, but the report does not name $named"
    failures=$((failures + 1))
  else
    echo "check-texts-test: $what is refused"
  fi
}

plant "a marked text no catalogue has" "Новый текст" \
  "sed -i '0,/RU(\"Игра\")/s//RU(\"Новый текст\")/' app/status_panel.cpp"
plant "an unmarked Cyrillic literal in C++" "Без пометки" \
  "printf 'const char* kLeft = \"Без пометки\";\\n' >>app/startup.cpp"
plant "an unmarked Cyrillic literal in the shell" "Без пометки" \
  "printf 'export const left = \"Без пометки\";\\n' >>app/web/shell/menus.js"
plant "a Cyrillic text in the Windows resources" "Без пометки" \
  "sed -i 's|DEFPUSHBUTTON \"\", IDC_COPY|DEFPUSHBUTTON \"Без пометки\", IDC_COPY|' app/win32/orvanta.rc"
plant "a desktop entry's text no catalogue has" "Новый текст" \
  "sed -i 's/^GenericName=.*/GenericName=Новый текст/' app/qt/orvanta-public.desktop.in"
plant "a Cyrillic text the AppStream file cannot translate" "Без пометки" \
  "sed -i 's|<name>Orvanta</name>|<name>Без пометки</name>|' app/qt/orvanta.metainfo.xml.in"
plant "an unmarked text of the page" "Без пометки" \
  "sed -i 's|</body>|<p>Без пометки</p></body>|' app/web/shell/edition.html.in"
plant "a fuzzy entry" "fuzzy" \
  "sed -i '0,/^msgid \"&Файл\"/s//#, fuzzy\\nmsgid \"\\&Файл\"/' po/en.po"
plant "an untranslated entry" "untranslated" \
  "sed -i 's/^msgstr \"Grid Fine\"/msgstr \"\"/' po/en.po"
plant "a listed language without its catalogue" "po/xx.po" "echo xx >>po/LINGUAS"
[ "$failures" -eq 0 ]
