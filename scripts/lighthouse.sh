#!/usr/bin/env bash
# Lighthouse 12.2.3 (from npm, kept in build/lighthouse) on both editions of the
# built site (served compressed, as a static host serves it), with Debian's
# Chromium, the mobile and the desktop preset. The
# reports go to build/lighthouse/<edition>-<preset>.report.{html,json}; the
# four category scores are printed.
# Usage: scripts/lighthouse.sh [port]   (builds the site first when it is missing)
set -euo pipefail
cd "$(dirname "$0")/.."
port=${1:-8126}
site=build/web/site
tools=build/lighthouse
[ -f "$site/public.html" ] || scripts/build-web.sh
if [ ! -x "$tools/node_modules/.bin/lighthouse" ]; then
  npm install --prefix "$tools" --no-save --no-audit --no-fund lighthouse@12.2.3 >/dev/null
fi

# Served as a static host serves it: compressed where the browser takes gzip.
python3 -c '
import functools, gzip, http.server, io, sys

class Handler(http.server.SimpleHTTPRequestHandler):
    extensions_map = {**http.server.SimpleHTTPRequestHandler.extensions_map, ".wasm": "application/wasm"}

    def send_head(self):
        path = self.translate_path(self.path)
        if "gzip" not in self.headers.get("Accept-Encoding", "") or not path.endswith(
                (".html", ".js", ".css", ".wasm", ".json", ".webmanifest")):
            return super().send_head()
        try:
            with open(path, "rb") as file:
                body = gzip.compress(file.read(), 9, mtime=0)
        except OSError:
            return super().send_head()
        self.send_response(200)
        self.send_header("Content-Type", self.guess_type(path))
        self.send_header("Content-Encoding", "gzip")
        self.send_header("Content-Length", str(len(body)))
        self.end_headers()
        return io.BytesIO(body)

http.server.ThreadingHTTPServer(("127.0.0.1", int(sys.argv[1])),
                                functools.partial(Handler, directory=sys.argv[2])).serve_forever()
' "$port" "$site" >/dev/null 2>&1 &
server=$!
profile=$(mktemp -d)
trap 'kill "$server"; rm -rf "$profile"' EXIT
sleep 1

for edition in public profi; do
  for preset in mobile desktop; do
    preset_flag=()
    [ "$preset" = desktop ] && preset_flag=(--preset=desktop)
    rm -rf "$profile"/*
    report="$tools/$edition-$preset"
    CHROME_PATH=/usr/bin/chromium "$tools/node_modules/.bin/lighthouse" "http://127.0.0.1:$port/$edition.html" \
      "${preset_flag[@]}" --quiet --output=json --output=html --output-path="$report" \
      --chrome-flags="--headless --no-sandbox --disable-gpu --disable-quic --no-first-run \
--disable-background-networking --disable-component-update --disable-sync --user-data-dir=$profile"
    python3 -c '
import json, sys
categories = json.load(open(sys.argv[1]))["categories"]
print(sys.argv[2].ljust(16), "  ".join("%s %d" % (c["title"], round(c["score"] * 100)) for c in categories.values()))
' "$report.report.json" "$edition $preset"
  done
done
