#!/usr/bin/env bash
# The test of the layer checker itself: in a temporary copy of the tracked
# sources (a git work tree of its own, as the checker reads git's list), each
# fault is planted on its own and check-layers.sh must fail on it and name the
# file: includes that break a layer's allow-list, in tracked files, in a new
# file not yet added to git and in files of every C++ extension; a function
# added to a new seam header without being listed; and a seam function renamed
# in its header but not in the list; the web page's boundary broken on either
# side or in its list. The unchanged copy must pass.
set -euo pipefail
cd "$(dirname "$0")/.."
repo=$PWD
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

mkdir -p "$work/base"
git ls-files -z -- .gitignore core files app bench tests | xargs -0 cp --parents -t "$work/base"
git -C "$work/base" init -q && git -C "$work/base" add -A
git -C "$work/base" -c core.hooksPath=/dev/null -c user.name=check -c user.email=check@localhost commit -qm base
cp -a "$work/base" "$work/tree"
# Back to the copy as committed, every planted file gone.
fresh_copy() {
  git -C "$work/tree" reset -q --hard
  git -C "$work/tree" clean -fdxq
}

fresh_copy
if ! "$repo/scripts/check-layers.sh" "$work/tree" >/dev/null; then
  echo "check-layers-test: the unchanged sources fail the check"
  "$repo/scripts/check-layers.sh" "$work/tree" || true
  exit 1
fi

failures=0
expect_refused() {  # file what
  if "$repo/scripts/check-layers.sh" "$work/tree" >"$work/out" 2>&1; then
    echo "check-layers-test: $2 passes the check"
    failures=$((failures + 1))
  elif ! grep -qF "$1" "$work/out"; then
    echo "check-layers-test: $2 fails, but the report does not name $1"
    failures=$((failures + 1))
  else
    echo "check-layers-test: $2 is refused"
  fi
}
plant() {  # file include: into a tracked file
  fresh_copy
  sed -i "1a #include $2" "$work/tree/$1"
  expect_refused "$1" "planting $2 in $1"
}
plant_new() {  # file include [add]: a new file, left untracked unless "add"
  fresh_copy
  mkdir -p "$(dirname "$work/tree/$1")"
  printf '// planted\n#include %s\n' "$2" >"$work/tree/$1"
  [ "${3:-}" != add ] || git -C "$work/tree" add -- "$1"
  expect_refused "$1" "a new $([ "${3:-}" = add ] && echo tracked || echo untracked) file $1 with $2"
}

plant app/renderer.cpp '"app/qt/qt_text.h"'
plant core/board.cpp '<unistd.h>'
plant files/records.cpp '"tests/support/temp_dir.h"'
plant app/controller.cpp '"app/web/web_platform.h"'

plant_new core/planted_part.cpp '<QWidget>'
plant_new app/planted_part.h '"app/win32/resource_ids.h"'
for extension in cxx cc c++ ipp hh hpp hxx inl tpp mm; do
  plant_new "core/planted_part.$extension" '<windows.h>' add
done
plant_new files/planted_part.h.in '"app/controller.h"' add

# A seam header nobody listed: a new portable header with a platform function.
fresh_copy
printf '#pragma once\nnamespace orvanta::platform {\n\nvoid plantedService(int value);\n\n}  // namespace orvanta::platform\n' \
  >"$work/tree/app/planted_services.h"
expect_refused app/planted_services.h "a new seam header's function that app/front_end.h does not list"

# A seam function renamed in its header, the list left as it was.
fresh_copy
sed -i 's/\bclockSeconds(/calendarSeconds(/' "$work/tree/core/platform.h"
expect_refused clockSeconds "a seam function renamed in core/platform.h but not in app/front_end.h"

# The web page's boundary: an export the page never calls, a hook calling a
# method the page's web object lacks, a list left behind by the code.
fresh_copy
printf 'extern "C" EMSCRIPTEN_KEEPALIVE int orvanta_planted() { return 0; }\n' >>"$work/tree/app/web/web_main.cpp"
expect_refused orvanta_planted "an export the web page never calls"
fresh_copy
sed -i 's/Module\.web\.beep()/Module.web.plantedBeep()/' "$work/tree/app/web/window_services.cpp"
expect_refused plantedBeep "a hook calling a method the web page lacks"
fresh_copy
sed -i '/orvanta_tick/d' "$work/tree/app/web/js_boundary.md"
expect_refused js_boundary.md "a boundary list that lacks an export"

[ "$failures" -eq 0 ]
