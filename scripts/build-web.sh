#!/usr/bin/env bash
# Builds the web edition with Emscripten into build/web/site (both pages, the
# modules, the solve worker, the manual, the icon and the manifests), and the
# tests' copy into build/web/test-site. With the argument `zip` it also makes
# build/web/orvanta-web-<version>.zip of the site.
# Usage: scripts/build-web.sh [zip]
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD

# Debian's emscripten finds its JavaScript optimiser's modules only here.
export NODE_PATH=${NODE_PATH:-/usr/share/nodejs}
build=build/web
emcmake cmake -S . -B "$build/cmake" -DCMAKE_BUILD_TYPE=Release \
  -DORVANTA_BUILD_TESTS=OFF -DORVANTA_BUILD_BENCH=OFF -DORVANTA_BUILD_QT=OFF \
  -DORVANTA_WEB_SITE_DIR="$root/$build/site" -DORVANTA_WEB_TEST_SITE_DIR="$root/$build/test-site" >/dev/null
cmake --build "$build/cmake" --target orvanta_web_site -j 2
if [ "${1:-}" = zip ]; then
  cmake --build "$build/cmake" --target orvanta_web_zip
  cp "$build/cmake"/orvanta-web-*.zip "$build/"
fi
