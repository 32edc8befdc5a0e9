#!/usr/bin/env bash
# The test of the layer checker itself: in a temporary copy of the tracked
# sources, each of four includes that break a layer's allow-list is planted on
# its own, and check-layers.sh must fail on each; the unchanged copy must pass.
set -euo pipefail
cd "$(dirname "$0")/.."
repo=$PWD
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

fresh_copy() {
  rm -rf "$work/tree"
  mkdir -p "$work/tree"
  git ls-files -z -- core files app bench tests | xargs -0 cp --parents -t "$work/tree"
}

fresh_copy
if ! "$repo/scripts/check-layers.sh" "$work/tree" >/dev/null; then
  echo "check-layers-test: the unchanged sources fail the check"
  "$repo/scripts/check-layers.sh" "$work/tree" || true
  exit 1
fi

failures=0
plant() {  # file include
  fresh_copy
  sed -i "1a #include $2" "$work/tree/$1"
  if "$repo/scripts/check-layers.sh" "$work/tree" >"$work/out" 2>&1; then
    echo "check-layers-test: planting $2 in $1 passes the check"
    failures=$((failures + 1))
  elif ! grep -qF "$1" "$work/out"; then
    echo "check-layers-test: planting $2 in $1 fails, but the report does not name $1"
    failures=$((failures + 1))
  else
    echo "check-layers-test: $2 in $1 is refused"
  fi
}

plant app/renderer.cpp '"app/qt/qt_text.h"'
plant core/board.cpp '<unistd.h>'
plant files/records.cpp '"tests/support/temp_dir.h"'
plant app/controller.cpp '"app/web/web_platform.h"'

[ "$failures" -eq 0 ]
