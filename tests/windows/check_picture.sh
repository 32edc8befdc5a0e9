#!/usr/bin/env bash
# Checks a screenshot of the main window right after a fresh map in Generator
# mode on an 11 x 11 grid: the client area is the grey picture, the board frame
# lies where the layout puts it, the start city is a filled orange 5 x 5
# marker, every other city a hollow violet 5 x 5 outline, and the status text
# sits at the top (the bottom-up picture is not upside down).
# Usage: check_picture.sh SCREENSHOT CITY_COUNT [CLIENT_CROP_OUT]
# Prints the client geometry on success; exits 1 with the reason otherwise.
set -euo pipefail
shot=$1
cities=$2
crop_out=${3:-}
IM=${ORVANTA_CONVERT:-convert}

fail() { echo "picture check failed ($shot): $*" >&2; exit 1; }

# The client area is the largest connected region of background grey; the
# window's frame, caption and menu bar surround it.
client=$("$IM" "$shot" -fill black +opaque 'rgb(176,176,176)' -fill white -opaque 'rgb(176,176,176)' \
  -define connected-components:verbose=true -connected-components 4 null: |
  awk '/srgb\(255,255,255\)/ { split($2, g, /[x+]/); a = g[1] * g[2]; if (a > best) { best = a; geo = $2 } }
       END { print geo }')
[ -n "$client" ] || fail "no grey client area"
read -r cw ch cx cy < <(echo "$client" | tr 'x+' '  ')

tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
"$IM" "$shot" -crop "$client" +repage "$tmp/client.png"
[ -z "$crop_out" ] || cp "$tmp/client.png" "$crop_out"

count() {  # hex colour -> number of pixels of exactly that colour
  "$IM" "$tmp/client.png" -format %c histogram:info:- |
    awk -v c="#$1" '{ for (i = 2; i <= NF; i++) if ($i == c) n = $1 + 0 } END { print n + 0 }'
}
grey=$(count B0B0B0)
orange=$(count C86400)
violet=$(count 8064FF)
frame=$(count C0C0C0)
total=$((cw * ch))

[ $((grey * 10)) -ge $((total * 7)) ] || fail "background grey covers only $grey of $total pixels"
[ "$orange" -eq 25 ] || fail "start city: $orange orange pixels, expected one filled 5x5 marker (25)"
expected_violet=$(((cities - 1) * 16))
[ "$violet" -eq "$expected_violet" ] ||
  fail "cities: $violet violet pixels, expected $((cities - 1)) hollow 5x5 outlines ($expected_violet)"

# The frame lies 6 pixels outside the board, which takes 80 % of the smaller
# client side, centred (grid 11: 10 grid steps).
read -r fl ft fr fb < <(awk -v W="$cw" -v H="$ch" 'function trunc(v) { return v < 0 ? -int(-v) : int(v) }
  BEGIN { a = W / 10; b = H / 10; m = a < b ? a : b; s = 0.8 * m
          ox = trunc((W - 10 * s) * 0.5); oy = trunc((H + 10 * s) * 0.5)
          fx = trunc(ox + 10 * s); fy = trunc(oy - 10 * s)
          print ox - 6, fy - 6, fx + 6, oy + 6 }')
expected_frame="$((fr - fl + 1))x$((fb - ft + 1))+$fl+$ft"
frame_box=$("$IM" "$tmp/client.png" -fill black +opaque 'rgb(192,192,192)' -format '%@' info:)
[ "$frame_box" = "$expected_frame" ] || fail "frame at $frame_box, expected $expected_frame"
expected_frame_pixels=$((2 * (fr - fl + 1) + 2 * (fb - ft + 1) - 4))
[ "$frame" -eq "$expected_frame_pixels" ] || fail "frame has $frame pixels, expected $expected_frame_pixels"

# The status text (dark grey) starts near the top of the client area.
text_box=$("$IM" "$tmp/client.png" -fill black +opaque 'rgb(80,80,80)' -format '%@' info:)
text_top=$(echo "$text_box" | awk -F+ '{ print $3 }')
[ -n "$text_top" ] && [ "$text_top" -lt 30 ] || fail "status text at $text_box, expected it at the top"

echo "client ${cw}x${ch}+${cx}+${cy}, frame $frame_box, $cities cities"
