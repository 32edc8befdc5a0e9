#!/usr/bin/env bash
# One smoke run of a Windows executable under Wine, on the X display and in the
# Wine prefix the caller set up (DISPLAY, WINEPREFIX; see scripts/test-windows.sh):
# the window appears with the edition's title, the first map is drawn, Space
# makes a new map, '?' and '/' open the About box and Escape and Enter close it,
# a map is saved through the real save dialog (512 bytes, version 2), the
# game clock ticks while the window is idle, the manual opens in the text
# viewer, a slow board opened through the dialog is solved beside the window
# (progress; Escs that close a menu, the About box or the Open dialog leave it
# running; Esc in the window and a new map stop it), a resized window is drawn
# anew for its size,
# and the close box during a solve ends the program with exit code 0.
# The program speaks Russian where Wine's UI language (from LOCALE) is
# Russian, English elsewhere (also under C.UTF-8, which Wine takes for US
# English), unless ORVANTA_LANGUAGE_CHOICE (ru, en) is given: then that
# choice is kept beside the program, as a player's choice is.
# Usage: smoke.sh EXE EDITION LOCALE OUTDIR [in-place]
# The program runs from a copy beside a copy of the manual, or with in-place
# from its own folder (an installed program). Leaves its screenshots in
# OUTDIR/EDITION-LOCALE; exits 1 on the first failure.
set -euo pipefail
exe=$(realpath "$1")
edition=$2
locale=$3
work=$(realpath -m "$4/$edition-$locale")
here=$(cd "$(dirname "$0")" && pwd)

case "$edition" in
  public) title='"Orvanta" Public Version 11' ;;
  profi) title='"Orvanta" Profi Release 11' ;;
  *) echo "unknown edition $edition" >&2; exit 2 ;;
esac
language=${ORVANTA_LANGUAGE_CHOICE:-}
if [ -z "$language" ]; then
  case "$locale" in ru*) language=ru ;; *) language=en ;; esac
fi
if [ "$language" = ru ]; then
  about_title='О программе'
  save_title='Сохранить Карту в файл как'
  open_title='Открыть Карту из файла'
  map_title=' - Карта '
  game_save_title='Сохранить Игру в файл как'
  game_title=' - Игра '
  graded_line='Время %3d сек    Городов в пути %2d    Результат в пределах %d %% от решения ЗК'
  manual='help\.txt'
else
  about_title='About'
  save_title='Save Map to File As'
  open_title='Open Map from File'
  map_title=' - Map '
  game_save_title='Save Game to File As'
  game_title=' - Game '
  graded_line='Time %3d s    Cities on route %2d    Result within %d %% of TSP solution'
  manual='help\.en\.txt'
fi

rm -rf "$work"
mkdir -p "$work/documents"
if [ "${5:-}" = in-place ]; then
  program_dir=$(dirname "$exe")
else
  program_dir=$work/program
  mkdir -p "$program_dir"
  cp "$exe" "$(dirname "$exe")"/help*.txt "$program_dir/"
  [ -z "${ORVANTA_LANGUAGE_CHOICE:-}" ] || echo "$ORVANTA_LANGUAGE_CHOICE" >"$program_dir/language.txt"
fi
exe_name=$(basename "$exe")

pid=
log() { echo "[$edition $locale] $*"; }
stop_program() {
  if [ -n "$pid" ] && kill -0 "$pid" 2>/dev/null; then
    kill "$pid" 2>/dev/null || true
    wineserver -k 2>/dev/null || true
  fi
}
fail() {
  log "FAILED: $*"
  import -window root "$work/failure.png" 2>/dev/null || true
  log "screen at the failure: $work/failure.png"
  stop_program
  exit 1
}
trap stop_program EXIT

# Polls a command until it succeeds or the seconds run out.
wait_for() {
  local seconds=$1
  shift
  local end=$((SECONDS + seconds))
  until "$@"; do
    [ "$SECONDS" -lt "$end" ] || return 1
    sleep 0.2
  done
}
visible_named() {  # exact window name -> first matching visible window id
  local id
  for id in $(xdotool search --onlyvisible --name "$1" 2>/dev/null); do
    if [ "$(xdotool getwindowname "$id" 2>/dev/null)" = "$1" ]; then
      echo "$id"
      return 0
    fi
  done
  return 1
}
# The processes of this Wine prefix whose command line matches: another run,
# in another prefix beside this one, has processes of the same names.
prefix_processes() {  # pattern
  local p
  for p in $(pgrep -f "$1"); do
    { tr '\0' '\n' <"/proc/$p/environ"; } 2>/dev/null | grep -qxF "WINEPREFIX=$WINEPREFIX" && echo "$p"
  done
  return 0
}
main_window_titled() { [ "$(xdotool getwindowname "$win" 2>/dev/null)" = "$1" ]; }
is_visible() { visible_named "$1" >/dev/null; }
is_gone() { ! visible_named "$1" >/dev/null; }
focus() { xdotool windowfocus "$1" 2>/dev/null || true; sleep 0.3; }
keys() {  # sends keys one by one, with a pause for Wine to take each
  local k
  for k in "$@"; do
    xdotool key "$k"
    sleep 0.3
  done
}
source "$here/../support/menu_keys.sh"
# Chooses a command of the menu table by keys: F10 to the menu bar, Right to
# the command's menu, Down to open it on its first item, Down to the item.
choose() {  # command name
  local place menu item
  place=$(menu_place "$1") || fail "no menu item $1"
  read -r menu item <<<"$place"
  # shellcheck disable=SC2046
  keys F10 $(repeat_key Right "$menu") Down $(repeat_key Down "$item") Return
}
shot() { import -window "$win" "$work/$1.png"; }
# The close box: the right-most caption button that Wine draws.
click_close_box() {
  focus "$1"
  eval "$(xdotool getwindowgeometry --shell "$1")"
  xdotool mousemove $((X + WIDTH - 14)) $((Y + 12))
  sleep 0.5
  xdotool click 1
}
same_picture() { [ "$(compare -metric AE "$1" "$2" null: 2>&1 || true)" = 0 ]; }

# The program starts in its own folder, the current directory is the
# documents folder, where the save dialog starts.
(cd "$work/documents" && LANG=$locale LC_ALL=$locale exec wine "$program_dir/$exe_name") \
  >"$work/wine.log" 2>&1 &
pid=$!

log "waiting for the window"
wait_for 60 visible_named "$title" >/dev/null || fail "no visible window titled '$title'"
win=$(visible_named "$title")
sleep 0.5
shot start
"$here/check_picture.sh" "$work/start.png" 8 "$work/client-start.png" >/dev/null || fail "first map"
log "window '$title' shows the first map"

# A new map is seeded from the clock seconds: let one second pass first.
sleep 1.1
focus "$win"
keys space
sleep 1
shot space
"$here/check_picture.sh" "$work/space.png" 8 "$work/client-space.png" >/dev/null || fail "map after Space"
same_picture "$work/client-start.png" "$work/client-space.png" && fail "Space did not make a new map"
log "Space made a new map"

for pair in "question Escape" "slash Return"; do
  read -r typed closer <<<"$pair"
  focus "$win"
  keys "$typed"
  wait_for 10 is_visible "$about_title" || fail "'$typed' did not open the About box"
  about=$(visible_named "$about_title")
  import -window "$about" "$work/about-$typed.png"
  focus "$about"
  keys "$closer"
  wait_for 10 is_gone "$about_title" || fail "$closer did not close the About box"
done
sleep 0.5
shot after-about
"$here/check_picture.sh" "$work/after-about.png" 8 "$work/client-after-about.png" >/dev/null ||
  fail "picture after the About box"
same_picture "$work/client-space.png" "$work/client-after-about.png" || fail "the About box changed the map"
main_window_titled "$title" || fail "the About box changed the title"
log "'?' and '/' open the About box, Escape and Enter close it"

focus "$win"
choose saveMap
wait_for 15 is_visible "$save_title" || fail "no save dialog titled '$save_title'"
dialog=$(visible_named "$save_title")
import -window "$dialog" "$work/save-dialog.png"
focus "$dialog"
xdotool type --delay 50 smoke-map
sleep 0.5
keys Return
map="$work/documents/smoke-map.rva"
wait_for 15 test -s "$map" || fail "no map file written"
wait_for 10 is_gone "$save_title" || fail "the save dialog did not close"
size=$(stat -c %s "$map")
version=$(od -An -tu4 -N4 "$map" | tr -d ' ')
[ "$size" -eq 512 ] || fail "map file has $size bytes, expected 512"
[ "$version" -eq 2 ] || fail "map file version $version, expected 2"
leftovers=$(find "$work/documents" -type f ! -name smoke-map.rva)
[ -z "$leftovers" ] || fail "files left beside the map: $leftovers"
saved_title="\"Orvanta\"${map_title}Z:$(echo "$work/documents/smoke-map" | tr / '\\')"
wait_for 5 main_window_titled "$saved_title" ||
  fail "title after the save is '$(xdotool getwindowname "$win")', expected '$saved_title'"
sleep 0.5
shot saved
"$here/check_picture.sh" "$work/saved.png" 8 "$work/client-saved.png" >/dev/null || fail "picture after the save"
same_picture "$work/client-space.png" "$work/client-saved.png" || fail "the menu keys or the save changed the map"
log "map saved through the dialog: 512 bytes, version 2, title '$saved_title'"

# A game by the keyboard alone: Enter starts it with the cursor on the first
# city, Page Down and Enter pick every other city in turn and the last closes
# the trip; in the Public edition "+" then grades it. The game saved through
# the menu by keys holds the closed trip; the game line is read by comparing
# it with the lines the Win32 checks draw for each grade (Public).
client=$("$here/check_picture.sh" "$work/space.png" 8) || fail "picture after Space"
read -r cw ch cx cy < <(echo "$client" | awk '{ print $2 }' | tr 'x+,' '   ')
focus "$win"
keys Return
for _ in $(seq 7); do keys Next Return; done
[ "$edition" = public ] && keys plus
sleep 1
shot keyboard
convert "$work/keyboard.png" -crop "${cw}x${ch}+${cx}+${cy}" +repage "$work/client-keyboard.png"
black=$(convert "$work/client-keyboard.png" -format %c histogram:info:- | awk '/ #000000 / { n = $1 + 0 } END { print n + 0 }')
[ "$black" -eq 88 ] || fail "the keyboard's cursor: $black black pixels, expected its two rings (88)"
choose saveGame
wait_for 15 is_visible "$game_save_title" || fail "no save dialog titled '$game_save_title'"
focus "$(visible_named "$game_save_title")"
xdotool type --delay 50 keyboard-game
sleep 0.5
keys Return
game="$work/documents/keyboard-game.rvb"
wait_for 15 test -s "$game" || fail "no game file written"
wait_for 10 is_gone "$game_save_title" || fail "the game's save dialog did not close"
saved_title="\"Orvanta\"${game_title}Z:$(echo "$work/documents/keyboard-game" | tr / '\\')"
wait_for 5 main_window_titled "$saved_title" || fail "title after saving the game is '$(xdotool getwindowname "$win")'"
read -r elapsed finished route_length < <(od -An -td4 -j292 -N12 "$game")
[ "$finished" -eq 1 ] && [ "$route_length" -eq 9 ] ||
  fail "the saved game: clock stopped $finished, trip of $route_length entries, expected 1 and 9"
tests_exe=$(dirname "$exe")/orvanta-win32-tests.exe
if [ "$edition" = public ] && [ -f "$tests_exe" ]; then
  lines=()
  for grade in $(seq 105 5 1000); do
    lines+=("$(printf "$graded_line" "$elapsed" 8 "$grade")")
  done
  mkdir -p "$work/lines"
  wine "$tests_exe" --game-lines "$cw" "$ch" "Z:$(echo "$work/lines/line" | tr / '\\')" "${lines[@]}" >/dev/null 2>&1 ||
    fail "the Win32 checks could not draw the game lines"
  convert "$work/client-keyboard.png" -crop "${cw}x16+0+$((ch - 24))" +repage "$work/line-keyboard.png"
  read_grade=
  for i in "${!lines[@]}"; do
    if same_picture "$work/lines/line-$i.ppm" "$work/line-keyboard.png"; then read_grade=$((105 + 5 * i)); break; fi
  done
  [ -n "$read_grade" ] || fail "the game line after the keyboard's trip shows no grade"
  log "a trip by the keyboard alone: closed in $elapsed s, the game line grades it $read_grade %"
else
  log "a trip by the keyboard alone: closed in $elapsed s, saved with the clock stopped"
fi
focus "$win"
choose generator  # a new map, for the clock below

# The game clock ticks while the window sits idle: a left click on the board
# starts the game, and the game line at the bottom then changes about once a
# second (its seconds), with nothing else happening.
eval "$(xdotool getwindowgeometry --shell "$win")"
focus "$win"
xdotool mousemove --window "$win" $((WIDTH / 2)) $((HEIGHT / 2)) click 1
sleep 1.2
changes=0
previous=
times=()
for i in $(seq 0 16); do
  # The picture is taken somewhere between these two times.
  times+=("$(date +%s.%N) $(import -window "$win" "$work/tick.png"; date +%s.%N)")
  convert "$work/tick.png" -gravity south -crop "x40+0+0" +repage "$work/tick-$i.png"
  if [ -n "$previous" ] && ! same_picture "$previous" "$work/tick-$i.png"; then changes=$((changes + 1)); fi
  previous=$work/tick-$i.png
  sleep 0.2
done
# Whole seconds, timed between the first and the last picture: as many
# changes as seconds passed, give or take one. The time passed is at least
# from the end of the first picture to the start of the last, at most from
# the start of the first to the end of the last. On a loaded machine pictures
# may come more than a second apart, and two ticks between them count as one
# change: each such gap may hide one.
read -r shortest longest gaps < <(printf '%s\n' "${times[@]}" |
  LC_ALL=C awk 'NR == 1 { from = $1; to = $2 } NR > 1 && $2 - start > 1 { gaps++ } { start = $1; end = $2 }
               END { printf "%.2f %.2f %d\n", start - to, end - from, gaps }')
idle="$shortest to $longest"
LC_ALL=C awk -v n="$changes" -v lo="$shortest" -v hi="$longest" -v g="$gaps" \
  'BEGIN { exit !(n >= 2 && n - hi < 1.05 && lo - n < 1.05 + g) }' ||
  fail "the game line changed $changes times in $idle s of idling ($gaps gaps over a second)"
log "the idle game clock ticked: the game line changed $changes times in $idle s"

# The manual in the program's language opens from the program's folder (the
# current directory is the documents folder) in the viewer for .txt files.
notepad_named() {
  local id
  for id in $(xdotool search --onlyvisible --name "^$manual - " 2>/dev/null); do
    echo "$id"
    return 0
  done
  return 1
}
focus "$win"
choose readManual
wait_for 20 notepad_named >/dev/null || fail "the manual did not open"
notepad=$(notepad_named)
sleep 1
import -window "$notepad" "$work/manual.png"
click_close_box "$notepad"
wait_for 10 bash -c "! xdotool search --onlyvisible --name '^$manual - ' >/dev/null 2>&1" ||
  fail "the manual's viewer did not close"
# Under Wine without a window manager, a click in another window is lost
# while the viewer's process is still ending.
viewer_ended() { [ -z "$(prefix_processes 'notepad\.exe')" ]; }
wait_for 20 viewer_ended || fail "the manual's viewer did not end"
main_window_titled "$saved_title" || fail "opening the manual changed the title"
log "the manual opened from the program's folder"

# A larger window: the picture is made anew for the new client size and the
# board laid out for it.
xdotool windowsize "$win" 820 560
sleep 1.5
shot resized
resized=$("$here/check_picture.sh" "$work/resized.png" 8) || fail "picture after resizing"
start_client=$("$here/check_picture.sh" "$work/start.png" 8)
[ "${resized%%,*}" != "${start_client%%,*}" ] || fail "the client area kept its size: $resized"
log "after resizing: $resized"

# A board that takes the solver about a minute: 16 cities on three neighbouring rows
# of the 10000-grid, 450 apart. "+" solves beside the window: the progress
# line appears and moves on, Esc and a new map stop the solve (the program
# then computes no more), and the close box during a solve ends it with 0.
source "$here/../support/slow_solve.sh"
write_slow_map "$work/documents/slow.rva"
# The client area of the resized window.
read -r _ _ cx cy < <(echo "$resized" | awk '{ print $2 }' | tr 'x+,' '   ')
progress_strip() {
  import -window "$win" "$work/solving.png"
  convert "$work/solving.png" -crop "120x48+$((cx + 8))+$((cy + 40))" +repage "$1"
}
busy_ticks() {  # of the program's Windows process
  local p total=0
  for p in $(prefix_processes "$exe_name"); do total=$((total + $(awk '{ print $14 + $15 }' "/proc/$p/stat" 2>/dev/null || echo 0))); done
  echo "$total"
}
open_slow_map() {
  focus "$win"
  choose openMap
  wait_for 15 is_visible "$open_title" || fail "no open dialog titled '$open_title'"
  focus "$(visible_named "$open_title")"
  xdotool type --delay 50 slow.rva
  sleep 0.5
  keys Return
  wait_for 10 is_gone "$open_title" || fail "the open dialog did not close"
  wait_for 5 main_window_titled "$slow_title" || fail "title after the open is '$(xdotool getwindowname "$win")'"
  focus "$win"
}
slow_title="\"Orvanta\"${map_title}Z:$(echo "$work/documents/slow" | tr / '\\')"
open_slow_map
expect_progress "$work"
log "progress shown ${progress_ms} ms after '+'"
# An Esc that closes a menu, the second that leaves the menu bar, and one that
# closes the About box or cancels the Open dialog leave the solve running; an
# Esc in the window itself stops it.
focus "$win"
keys F10 Down Escape Escape
expect_running "$work" "the Escs that closed a menu and left the menu bar"
# Opens a window with a command (and its arguments), closes it with Esc; the
# solve goes on.
escape_from() {  # window title, what, command that opens it
  local title=$1 what=$2
  shift 2
  focus "$win"
  "$@"
  wait_for 15 is_visible "$title" || fail "no $what during a solve"
  focus "$(visible_named "$title")"
  keys Escape
  wait_for 10 is_gone "$title" || fail "Escape did not close the $what during a solve"
  expect_running "$work" "an Esc that closed the $what"
}
escape_from "$about_title" "About box" keys question
escape_from "$open_title" "open dialog" choose openMap
log "Escs that closed a menu, the About box and the Open dialog left the solve running"
focus "$win"
xdotool key Escape
sleep 0.5
expect_stopped "$work" Esc
log "Esc in the window stopped it ($quiet_ticks ticks of processor in a quiet 2 s)"
expect_progress "$work"
choose generator                              # a new map
expect_stopped "$work" "a new map"
log "a new map stopped the solve ($quiet_ticks ticks of processor in a quiet 2 s)"

# The close box while the slow board is being solved.
open_slow_map
xdotool key plus
sleep 1
click_close_box "$win"
closing=$(date +%s%N)
# The window goes at once; Wine then takes about two seconds of its own to
# end the process, idle or not.
for _ in $(seq 150); do is_gone "$slow_title" && break; sleep 0.02; done
gone=$(date +%s%N)
is_gone "$slow_title" || fail "the close box during a solve left the window up"
[ $(( (gone - closing) / 1000000 )) -le 3000 ] || fail "the window took $(( (gone - closing) / 1000000 )) ms to go"
status=0
wait_for 15 bash -c "! kill -0 $pid 2>/dev/null" || fail "the close box did not end the program"
ended=$(date +%s%N)
wait "$pid" || status=$?
pid=
[ "$status" -eq 0 ] || fail "exit code $status, expected 0"
log "the close box during a solve: window gone after $(( (gone - closing) / 1000000 )) ms, exit code 0 after $(( (ended - closing) / 1000000 )) ms"
