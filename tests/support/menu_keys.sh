# Where a command of the menu table stands, for the smoke tests that choose
# menu items by keys; sourced by tests/qt/xvfb_smoke.sh and
# tests/windows/smoke.sh, each of which turns the place into its front end's keys.
# menu_place NAME prints "MENU ITEM": the menu's place on the bar and the
# item's place in it, both from 0, separators not counted
# (tests/support/menu_items.txt, held to app/menu_table.cpp by the app tests).
menu_items_file=$(dirname "${BASH_SOURCE[0]}")/menu_items.txt
menu_place() {
  awk -v name="$1" '$1 == name { print $2, $3; found = 1 } END { exit !found }' "$menu_items_file" ||
    { echo "FAILED: no menu item named $1 in $menu_items_file" >&2; return 1; }
}
# repeat KEY COUNT prints KEY COUNT times.
repeat_key() {
  local i
  for ((i = 0; i < $2; ++i)); do printf '%s ' "$1"; done
}
