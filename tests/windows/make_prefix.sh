#!/usr/bin/env bash
# Makes the Wine prefix for the Windows tests at $WINEPREFIX, unless one is
# ready there already. Mono and Gecko are not wanted (no prompts), nor Wine's
# menu builder, which would write desktop entries and icons into the home of
# the user running the tests: set WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
# as scripts/test-windows.sh does. Wine draws the window frames itself, so
# the caption's close box is there without a window manager, and .txt files
# open in Notepad as they do on Windows.
# Exits non-zero when the prefix cannot be made.
set -euo pipefail
: "${WINEPREFIX:?set WINEPREFIX}"
[ -f "$WINEPREFIX/.orvanta-ready" ] && exit 0
rm -rf "$WINEPREFIX"
timeout 300 wineboot -i >/dev/null 2>&1 || { echo "wineboot could not create the prefix $WINEPREFIX"; exit 1; }
configure() {
  timeout 60 wine reg add 'HKCU\Software\Wine\X11 Driver' /v Decorated /d N /f &&
    timeout 60 wine reg add 'HKCR\.txt' /ve /d txtfile /f
}
# On a loaded machine the first try has failed with the prefix just made;
# it is tried once more after the server has been stopped.
{ configure || { timeout 60 wineserver -k || true; configure; }; } >/dev/null 2>&1 ||
  { echo "the prefix $WINEPREFIX could not be configured"; exit 1; }
timeout 60 wineserver -w || true
touch "$WINEPREFIX/.orvanta-ready"
