#!/usr/bin/env bash
# Runs a Qt program on a virtual X display of its own (Xvfb) with Qt's X11
# platform: for the front-end tests that need the real X clipboard.
# Usage: xvfb_run.sh PROGRAM [ARGUMENT]...  (exits 77, a skip, without Xvfb)
set -euo pipefail
command -v Xvfb >/dev/null || { echo "Xvfb is missing (Debian package xvfb)"; exit 77; }
display_file=$(mktemp)
Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$display_file" >/dev/null 2>&1 &
xvfb=$!
trap 'kill "$xvfb" 2>/dev/null || true; rm -f "$display_file"' EXIT
for _ in $(seq 100); do [ -s "$display_file" ] && break; sleep 0.1; done
[ -s "$display_file" ] || { echo "Xvfb did not start"; exit 1; }
DISPLAY=":$(cat "$display_file")" QT_QPA_PLATFORM=xcb "$@"
