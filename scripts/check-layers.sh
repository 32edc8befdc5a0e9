#!/usr/bin/env bash
# Checks the direction of the includes: core/ uses only the standard library,
# files/ may use core/, app/ may use both, and only the front-end folders (and
# their tests) include Qt, Windows or Emscripten headers. Prints each offending line and
# exits non-zero when there is one.
set -euo pipefail
cd "$(dirname "$0")/.."

status=0
offend() {  # description, grep output
  if [ -n "$2" ]; then
    echo "$1:"
    echo "$2"
    status=1
  fi
}
sources() { git ls-files -- "$@" | grep -E '\.(h|hpp|cpp|cc|rc)$' || true; }
includes() {  # pattern, files...
  local pattern=$1
  shift
  [ $# -eq 0 ] || grep -HnE "^[[:space:]]*#[[:space:]]*include[[:space:]]*[<\"]($pattern)" "$@" || true
}

mapfile -t core < <(sources core)
mapfile -t files < <(sources files)
mapfile -t portable < <(sources core files app bench tests | grep -vE '^(app/qt|app/win32|app/web|tests/qt|tests/windows)/')

offend "core/ includes files/ or app/" "$(includes 'files/|app/' "${core[@]}")"
offend "files/ includes app/" "$(includes 'app/' "${files[@]}")"
offend "portable code includes a Qt header" "$(includes 'Q[A-Za-z]+(>|/)|qt[a-z]*/' "${portable[@]}")"
offend "portable code includes a Windows header" \
  "$(includes '([Ww]indows|winuser|wingdi|winbase|commdlg|shellapi|shlobj|objbase|commctrl)\.h' "${portable[@]}")"

offend "portable code includes an Emscripten header" "$(includes 'emscripten' "${portable[@]}")"

[ $status -eq 0 ] && echo "layers: every include points the right way"
exit $status
