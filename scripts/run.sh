#!/usr/bin/env bash
# Installs what is missing (Debian/Ubuntu), builds the Qt desktop program and
# starts it; with `web`, builds the web site instead and serves it on
# http://127.0.0.1:8000/. Usage: scripts/run.sh [public|profi|web]   (public by default)
set -euo pipefail
cd "$(dirname "$0")/.."

edition=${1:-public}
case "$edition" in
  public|profi) ;;
  web)
    scripts/install-deps.sh web
    scripts/build-web.sh
    echo "Serving the web edition on http://127.0.0.1:8000/ (Ctrl+C stops it)"
    cd build/web/site
    exec python3 -m http.server 8000 --bind 127.0.0.1 ;;
  *) echo "usage: $0 [public|profi|web]" >&2; exit 2 ;;
esac

scripts/install-deps.sh run

build=build/run
cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=Release \
  -DORVANTA_BUILD_TESTS=OFF -DORVANTA_BUILD_BENCH=OFF -DORVANTA_BUILD_QT=ON >/dev/null
cmake --build "$build" --target "orvanta-$edition" -j "$(nproc 2>/dev/null || echo 2)"

program="$build/app/qt/orvanta-$edition"
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
  echo "Built $program; it needs a graphical desktop (DISPLAY or WAYLAND_DISPLAY is not set)." >&2
  exit 1
fi
exec "$program"
