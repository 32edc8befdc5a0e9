#!/usr/bin/env bash
# End-to-end check of a real Qt executable on a virtual X display: its window
# appears with the edition's title, a game is played and photographed (by
# scripts/screenshot.sh), '?' opens the About box and Escape closes it,
# "Личный номер..." hands the personal-number file to the desktop's opener (a
# stand-in here), and File > Exit ends the program with exit code 0.
# Usage: xvfb_smoke.sh <program> <public|profi> <work folder> [<user.txt>]
# <user.txt>: the file the opener must get and find, by default the one beside
# the program (an installed program's user copies it to their own folder).
# Exits 77 (skipped) when Xvfb or the X tools are missing.
set -euo pipefail

program=$1
edition=$2
work=$3
user_file=${4:-$(dirname "$(readlink -f "$program")")/user.txt}
root=$(cd "$(dirname "$0")/../.." && pwd)

for tool in Xvfb xdotool import convert; do
  if ! command -v "$tool" >/dev/null; then
    echo "SKIPPED: $tool is not installed (scripts/install-deps.sh test installs it)"
    exit 77
  fi
done

rm -rf "$work"
mkdir -p "$work"
fail() { echo "FAILED: $*" >&2; exit 1; }

# 1. A game in progress, photographed.
ORVANTA_PROGRAM=$program timeout 90 "$root/scripts/screenshot.sh" "$edition" "$work/game.png" ||
  fail "screenshot.sh could not play a game"
read -r width height < <(identify -format '%w %h\n' "$work/game.png")
[ "$width" -eq 640 ] && [ "$height" -eq 480 ] || fail "window is ${width}x${height}, not 640x480"
colours=$(convert "$work/game.png" -depth 8 -unique-colors txt:- | grep -Eo '#[0-9A-F]{6}' | sort -u | tr '\n' ' ')
for want in '#B0B0B0' '#C0C0C0' '#C86400' '#8064FF' '#808080' '#505050'; do
  case " $colours" in *" $want "*) ;; *) fail "colour $want missing from the game screenshot" ;; esac
done
echo "game screenshot: $work/game.png (${width}x${height})"

# 2. The About box and the Exit command, on a display of our own.
xvfb_pid=
program_pid=
cleanup() {
  [ -n "$program_pid" ] && kill "$program_pid" 2>/dev/null || true
  [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null || true
}
trap cleanup EXIT
Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$work/display" 2>"$work/xvfb.log" &
xvfb_pid=$!
for _ in $(seq 100); do [ -s "$work/display" ] && break; sleep 0.1; done
[ -s "$work/display" ] || fail "Xvfb did not start"
export DISPLAY=:$(head -n1 "$work/display")

# The desktop's opener, as Qt finds it on PATH, only notes what it is given.
mkdir -p "$work/opener"
cat >"$work/opener/xdg-open" <<'OPENER'
#!/bin/sh
printf '%s\n' "$1" >>"$(dirname "$0")/opened"
OPENER
chmod +x "$work/opener/xdg-open"

env -u QT_QPA_PLATFORM QT_QPA_PLATFORM=xcb PATH="$work/opener:$PATH" "$program" >"$work/program.log" 2>&1 &
program_pid=$!
if [ "$edition" = profi ]; then title='^"Orvanta" Profi .* 11$'; else title='^"Orvanta" Public Version 11$'; fi
window=$(timeout 20 xdotool search --sync --onlyvisible --name "$title" | head -n1) || true
[ -n "$window" ] || fail "no window titled $title"
xdotool windowfocus --sync "$window" 2>/dev/null || true
sleep 0.5

# Keys go through XTEST to the focused window, as typed keys do.
xdotool key question
about=$(timeout 10 xdotool search --sync --onlyvisible --name '^О программе$' | head -n1) || true
[ -n "$about" ] || fail "'?' did not open the About box"
import -window "$about" "$work/about.png"
xdotool windowfocus --sync "$about" 2>/dev/null || true
xdotool key Escape
for _ in $(seq 50); do
  xdotool search --onlyvisible --name '^О программе$' >/dev/null 2>&1 || break
  sleep 0.1
done
if xdotool search --onlyvisible --name '^О программе$' >/dev/null 2>&1; then fail "Escape did not close the About box"; fi
echo "About box opened by '?' and closed by Escape"

# The last menu (left of the first) ends with "Личный номер...".
xdotool windowfocus --sync "$window" 2>/dev/null || true
xdotool mousemove --window "$window" 20 10 click 1
sleep 0.5
xdotool key Left Up Return
for _ in $(seq 50); do [ -s "$work/opener/opened" ] && break; sleep 0.1; done
[ -s "$work/opener/opened" ] || fail "\"Личный номер...\" called no opener"
url=$(head -n1 "$work/opener/opened")
encoded=${url#file://}
printf -v opened '%b' "${encoded//%/\\x}"
[ "$opened" = "$user_file" ] || fail "the opener got $url, not $user_file"
[ -f "$opened" ] || fail "the opener got $opened, which does not exist"
echo "\"Личный номер...\" opened $opened"

# File menu (the first caption of the menu bar), its last item is Exit.
xdotool windowfocus --sync "$window" 2>/dev/null || true
xdotool mousemove --window "$window" 20 10 click 1
sleep 0.5
xdotool key Up Return
status=
for _ in $(seq 100); do
  if ! kill -0 "$program_pid" 2>/dev/null; then
    wait "$program_pid" && status=0 || status=$?
    break
  fi
  sleep 0.1
done
[ -n "$status" ] || fail "File > Exit did not end the program"
program_pid=
[ "$status" -eq 0 ] || fail "the program ended with exit code $status"
echo "File > Exit ended the program with exit code 0"
echo "PASSED"
