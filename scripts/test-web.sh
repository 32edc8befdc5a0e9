#!/usr/bin/env bash
# The web edition in headless Chromium: builds the site with Emscripten and the
# native reference tool (from build/test), serves the tests' copy of the site
# on a local port and plays the browser tests against it. Screenshots (both
# editions, at the desktop size and on three phone screens) go to
# build/web/screenshots.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/build-web.sh
if [ ! -f build/test/CMakeCache.txt ]; then
  cmake -S . -B build/test -DCMAKE_BUILD_TYPE=RelWithDebInfo -DORVANTA_WERROR=ON >/dev/null
fi
cmake --build build/test --target web_reference_public web_reference_profi -j 2 >/dev/null

# Debian's selenium module belongs to the system's Python. Two browsers play
# half the tests each; they mostly wait on the page.
logs=build/web/test-logs
mkdir -p "$logs"
pids=()
for half in 1 2; do
  /usr/bin/python3 tests/web/test_web.py build/web/test-site build/test/tests/web build/web/screenshots \
    --half "$half" >"$logs/half-$half.log" 2>&1 &
  pids+=($!)
done
status=0
for half in 1 2; do
  wait "${pids[$((half - 1))]}" || status=1
  echo "--- browser tests, half $half"
  cat "$logs/half-$half.log"
done
exit "$status"
