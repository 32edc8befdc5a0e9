# Shared by scripts/test-packages-debian.sh and scripts/test-packages-windows.sh
# (sourced): the project's version, a scratch folder removed at the end, the
# failure count, and a fresh copy of the tree for a second build.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
jobs=$(nproc 2>/dev/null || echo 2)
[ "$jobs" -le 2 ] || jobs=2
version=$(sed -n 's/^project(Orvanta VERSION \([0-9.]*\).*/\1/p' CMakeLists.txt)
release_date=$(sed -n 's/^set(ORVANTA_RELEASE_DATE \([0-9-]*\))/\1/p' CMakeLists.txt)

failures=0
step() { echo; echo "--- $* (at ${SECONDS} s)"; }
failed() { echo "FAILED: $*"; failures=$((failures + 1)); }
as_root=()
[ "$(id -u)" -eq 0 ] || as_root=(sudo)

scratch=$(mktemp -d)
chmod 755 "$scratch"
# Each part adds what it must undo to cleanup_steps; a step that fails makes
# the script fail even when every check passed.
cleanup_steps=()
cleanup() {
  local status=$? undo
  for undo in "${cleanup_steps[@]}"; do
    eval "$undo" || { echo "FAILED: cleaning up: $undo"; status=1; }
  done
  rm -rf "$scratch"
  exit "$status"
}
trap cleanup EXIT

# The tree's files (committed or not, not ignored, no build folders) copied to
# $1, every file with a new time, as a second clone would give them.
copy_tree() {
  mkdir -p "$1"
  git ls-files -z --cached --others --exclude-standard | grep -zv '^build/' | while IFS= read -r -d '' file; do
    [ -e "$file" ] && printf '%s\0' "$file"
  done | tar -c --null -T - | tar -x -m -C "$1"
}

# Prints the hashes of two files; fails unless they are the same bytes.
same_bytes() {  # what first second
  sha256sum "$2" "$3" 2>/dev/null || true
  cmp -s "$2" "$3" || { failed "$1"; return 1; }
}

finish() {
  echo
  echo "$1: $failures failed"
  [ "$failures" -eq 0 ]
}
