#!/usr/bin/env bash
# Plays a short game in the Qt program on a virtual X display and saves a
# screenshot of the window: a fresh map, its solution (with '+' in Public), and
# a round trip clicked city by city (nearest city first) until it closes.
#
# Usage: scripts/screenshot.sh [public|profi] [output.png]
#   default: public, docs/screenshot.png
# ORVANTA_PROGRAM=/path/to/orvanta-<edition> uses that executable instead of
# building one in build/run.
set -euo pipefail
cd "$(dirname "$0")/.."

edition=${1:-public}
output=${2:-docs/screenshot.png}
case "$edition" in
  public|profi) ;;
  *) echo "usage: $0 [public|profi] [output.png]" >&2; exit 2 ;;
esac

for tool in Xvfb xdotool import convert; do
  if ! command -v "$tool" >/dev/null; then
    echo "screenshot: $tool is missing (scripts/install-deps.sh test installs it)" >&2
    exit 77
  fi
done

program=${ORVANTA_PROGRAM:-}
if [ -z "$program" ]; then
  scripts/install-deps.sh run
  cmake -S . -B build/run -DCMAKE_BUILD_TYPE=Release \
    -DORVANTA_BUILD_TESTS=OFF -DORVANTA_BUILD_BENCH=OFF -DORVANTA_BUILD_QT=ON >/dev/null
  cmake --build build/run --target "orvanta-$edition" -j "$(nproc 2>/dev/null || echo 2)"
  program=build/run/app/qt/orvanta-$edition
fi

work=$(mktemp -d)
xvfb_pid=
program_pid=
cleanup() {
  [ -n "$program_pid" ] && kill "$program_pid" 2>/dev/null || true
  [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null || true
  # Gone before the script returns: a caller may remove their user next.
  wait 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT

# Xvfb picks a free display and reports it on descriptor 3 once it is ready.
Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$work/display" 2>"$work/xvfb.log" &
xvfb_pid=$!
for _ in $(seq 100); do [ -s "$work/display" ] && break; sleep 0.1; done
[ -s "$work/display" ] || { echo "screenshot: Xvfb did not start" >&2; cat "$work/xvfb.log" >&2; exit 1; }
export DISPLAY=:$(head -n1 "$work/display")

# Under the locale ORVANTA_LOCALE (by default C.UTF-8: the program speaks
# Russian), with no language chosen before.
env -u QT_QPA_PLATFORM -u WAYLAND_DISPLAY -u LANGUAGE QT_QPA_PLATFORM=xcb XDG_CONFIG_HOME="$work/config" \
  LC_ALL="${ORVANTA_LOCALE:-C.UTF-8}" LANG="${ORVANTA_LOCALE:-C.UTF-8}" "$program" >"$work/program.log" 2>&1 &
program_pid=$!

if [ "$edition" = profi ]; then title='^"Orvanta" Profi .* 11$'; else title='^"Orvanta" Public Version 11$'; fi
window=$(timeout 20 xdotool search --sync --onlyvisible --name "$title" | head -n1) || true
[ -n "$window" ] || { echo "screenshot: no window titled $title" >&2; cat "$work/program.log" >&2; exit 1; }
xdotool windowfocus --sync "$window" 2>/dev/null || true

shot() { import -window "$window" "$1"; }

# Centres of the city markers in the window: the start city is filled orange,
# the others are violet 5x5 outlines.
find_cities() {  # image -> lines "x y colour"
  convert "$1" -depth 8 txt:- | awk '
    / #C86400/ || / #8064FF/ {
      split($1, p, /[,:]/); x = p[1] + 0; y = p[2] + 0
      colour = ($0 ~ / #C86400/) ? "start" : "city"
      for (i = 1; i <= n; i++)
        if (x - ax[i] <= 5 && ax[i] - x <= 5 && y - ay[i] <= 5 && ay[i] - y <= 5) break
      if (i > n) { n = i; ax[i] = x; ay[i] = y; lx[i] = hx[i] = x; ly[i] = hy[i] = y; kind[i] = colour }
      if (x < lx[i]) lx[i] = x; if (x > hx[i]) hx[i] = x
      if (y < ly[i]) ly[i] = y; if (y > hy[i]) hy[i] = y
      if (colour == "start") kind[i] = "start"
    }
    END { for (i = 1; i <= n; i++) print int((lx[i] + hx[i]) / 2), int((ly[i] + hy[i]) / 2), kind[i] }'
}

# Wait for the first map to be drawn.
for _ in $(seq 50); do
  shot "$work/start.png"
  find_cities "$work/start.png" >"$work/cities"
  grep -q start "$work/cities" && [ "$(wc -l <"$work/cities")" -ge 2 ] && break
  sleep 0.2
done
grep -q start "$work/cities" || { echo "screenshot: no map was drawn" >&2; exit 1; }

click() { xdotool mousemove --window "$window" "$1" "$2" click 1; sleep 0.15; }

read -r start_x start_y _ < <(grep start "$work/cities")
# The first left click turns the generated map into a game. The Public edition
# then needs '+' for the solution; Profi has solved a small map already (and
# its '+' would draw the solution as the player's trip).
click "$start_x" "$start_y"
if [ "$edition" = public ]; then
  xdotool key KP_Add
  sleep 0.5
fi

# Visit the cities nearest first, from the start city; the last one closes the trip.
grep -v start "$work/cities" | awk -v x="$start_x" -v y="$start_y" '
  { cx[NR] = $1; cy[NR] = $2; used[NR] = 0 }
  END {
    for (k = 1; k <= NR; k++) {
      best = 0
      for (i = 1; i <= NR; i++) {
        if (used[i]) continue
        d = (cx[i] - x) ^ 2 + (cy[i] - y) ^ 2
        if (best == 0 || d < bestd) { best = i; bestd = d }
      }
      used[best] = 1; x = cx[best]; y = cy[best]; print x, y
    }
  }' >"$work/order"
while read -r x y; do click "$x" "$y"; done <"$work/order"
sleep 0.5

mkdir -p "$(dirname "$output")"
shot "$work/final.png"
convert "$work/final.png" -strip "$output"
echo "screenshot: $(wc -l <"$work/order") cities visited, saved $output"
