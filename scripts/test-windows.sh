#!/usr/bin/env bash
# The Windows build and its tests: cross-builds orvanta-public.exe and
# orvanta-profi.exe with MinGW-w64 in build/windows, checks that they import
# only system DLLs, and under Wine and Xvfb runs the Win32 checks and the smoke
# test of both executables under a C.UTF-8 and a Russian locale. Where Wine is
# not installed, it says so and ends after the build and the import check.
# Exits non-zero on any failure.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
build=$root/build/windows
bin=$build/app/win32
jobs=$(nproc 2>/dev/null || echo 2)
[ "$jobs" -le 2 ] || jobs=2

failures=0
step() { echo; echo "--- $* (at ${SECONDS} s)"; }
failed() { echo "FAILED: $*"; failures=$((failures + 1)); }

step "Cross build with MinGW-w64"
if ! command -v x86_64-w64-mingw32-g++ >/dev/null; then
  echo "FAILED: x86_64-w64-mingw32-g++ is missing (Debian package g++-mingw-w64-x86-64)"
  exit 1
fi
cmake -S . -B "$build" -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-w64-x86_64.cmake" \
  -DCMAKE_BUILD_TYPE=Release -DORVANTA_WERROR=ON -DORVANTA_BUILD_BENCH=OFF -DORVANTA_BUILD_QT=OFF >/dev/null
cmake --build "$build" -j "$jobs"

step "Imports: only system DLLs"
# Everything else (libstdc++, libgcc, winpthread) must be linked in statically.
system_dlls='^(kernel32|user32|gdi32|comdlg32|shell32|advapi32|msvcrt|ucrtbase|api-ms-win-crt-[a-z0-9-]+)\.dll$'
for exe in "$bin/orvanta-public.exe" "$bin/orvanta-profi.exe" "$bin/orvanta-win32-tests.exe"; do
  if [ ! -f "$exe" ]; then failed "$exe was not built"; continue; fi
  dlls=$(x86_64-w64-mingw32-objdump -p "$exe" | awk '/DLL Name:/ { print $3 }')
  foreign=$(echo "$dlls" | tr 'A-Z' 'a-z' | grep -Ev "$system_dlls" || true)
  echo "$(basename "$exe"): $(echo "$dlls" | tr '\n' ' ')"
  [ -z "$foreign" ] || failed "$(basename "$exe") imports $(echo "$foreign" | tr '\n' ' ')"
done
for exe in orvanta-public.exe orvanta-profi.exe; do
  subsystem=$(x86_64-w64-mingw32-objdump -p "$bin/$exe" | awk '/^Subsystem/ { print $3, $4 }')
  [ "$subsystem" = "(Windows GUI)" ] || failed "$exe is not a Windows GUI program: $subsystem"
done

if command -v python3 >/dev/null; then
  step "Icon: the committed icon is the generator's output"
  icon=$(mktemp)
  python3 app/win32/icon/make_icon.py app/qt/orvanta.png "$icon"
  cmp -s "$icon" app/win32/orvanta.ico || failed "app/win32/orvanta.ico differs from icon/make_icon.py's output"
  rm -f "$icon"
fi

if ! command -v wine >/dev/null; then
  step "Wine is not installed: the Win32 checks and the smoke test under Wine are skipped"
  echo "windows: build and import check done, $failures failed"
  [ "$failures" -eq 0 ]
  exit
fi
for tool in Xvfb xdotool import convert compare; do
  command -v "$tool" >/dev/null || { failed "$tool is missing (Debian packages xvfb, xdotool, imagemagick)"; exit 1; }
done

# A Russian locale, made from Debian's locale sources when it is missing.
ru_locale=ru_RU.UTF-8
if ! locale -a 2>/dev/null | grep -qix 'ru_RU\.utf-\?8'; then
  step "Generating the $ru_locale locale"
  localedef -i ru_RU -f UTF-8 "$ru_locale" 2>&1 ||
    { failed "the $ru_locale locale cannot be generated (Debian package locales)"; exit 1; }
fi

# The smoke runs and the Win32 checks go in three lanes side by side, each
# with its own X server and Wine prefix, two smoke runs at most in one lane.
# They mostly wait on the desktop, and each keeps one processor busy only for
# its short solves.
xvfb_pids=()
prefixes=()
display_files=()
cleanup() {
  local prefix pid
  for prefix in "${prefixes[@]}"; do WINEPREFIX=$prefix wineserver -k 2>/dev/null || true; done
  for pid in "${xvfb_pids[@]}"; do kill "$pid" 2>/dev/null || true; done
  rm -f "${display_files[@]}"
}
trap cleanup EXIT

start_xvfb() {  # -> the display's number in $display
  local file
  file=$(mktemp)
  display_files+=("$file")
  Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$file" >/dev/null 2>&1 &
  xvfb_pids+=($!)
  for _ in $(seq 50); do [ -s "$file" ] && break; sleep 0.1; done
  [ -s "$file" ] || return 1
  display=":$(cat "$file")"
}
lanes=3
displays=()
step "X servers"
for lane in $(seq "$lanes"); do
  start_xvfb || { failed "Xvfb $lane did not start"; exit 1; }
  displays+=("$display")
done
export DISPLAY=${displays[0]}
echo "Xvfb on ${displays[*]}"

# The Wine prefixes are made once and kept in the build folder; the other
# lanes' are copies of the first.
export WINEPREFIX=$build/wine-prefix WINEARCH=win64 WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
prefixes=("$WINEPREFIX")
for lane in $(seq 2 "$lanes"); do prefixes+=("$build/wine-prefix-$lane"); done
if [ ! -f "$WINEPREFIX/.orvanta-ready" ]; then
  step "Creating the Wine prefix $WINEPREFIX"
  rm -rf "${prefixes[@]:1}"
  tests/windows/make_prefix.sh || { failed "no Wine prefix"; exit 1; }
fi
for prefix in "${prefixes[@]:1}"; do
  if [ ! -f "$prefix/.orvanta-ready" ]; then
    step "Copying the Wine prefix to $prefix"
    rm -rf "$prefix"
    cp -a "${prefixes[0]}" "$prefix" || { failed "no Wine prefix $prefix"; exit 1; }
  fi
done

# The Win32 checks, then how the program picks its start language: Windows'
# UI language as Wine takes it from the locale, Russian for a Russian one and
# English for any other. Prints its steps, returns its failures.
win32_checks() {
  local pair checks_failures=0
  echo; echo "--- Win32 checks under Wine (at ${SECONDS} s)"
  if (cd "$bin" && timeout 120 wine ./orvanta-win32-tests.exe orvanta-public.exe orvanta-profi.exe); then :; else
    echo "FAILED: orvanta-win32-tests.exe"
    checks_failures=$((checks_failures + 1))
  fi
  timeout 60 wineserver -w || true
  for pair in "$ru_locale:ru" en_US.UTF-8:en C.UTF-8:en; do
    if (cd "$bin" && LANG=${pair%%:*} LC_ALL=${pair%%:*} timeout 60 wine ./orvanta-win32-tests.exe --ui-language "${pair##*:}"); then :; else
      echo "FAILED: the start language under ${pair%%:*}"
      checks_failures=$((checks_failures + 1))
    fi
    timeout 60 wineserver -w || wineserver -k || true
  done
  return "$checks_failures"
}

smoke_out=$build/smoke
rm -rf "$smoke_out"
mkdir -p "$smoke_out"
# One lane's work: "win32" for the checks above, or edition:locale:choice for
# a smoke run. Under C.UTF-8 the player has chosen Russian (Wine's UI language
# would be English); the Public edition also plays in English under an English
# locale. Prints its steps, returns its failures.
lane_work() {
  local item edition locale choice lane_failures=0 status
  for item in "$@"; do
    if [ "$item" = win32 ]; then
      status=0
      win32_checks || status=$?
      lane_failures=$((lane_failures + status))
      continue
    fi
    IFS=: read -r edition locale choice <<<"$item"
    echo; echo "--- Smoke test: $edition edition, $locale${choice:+, $choice chosen} (at ${SECONDS} s)"
    if ORVANTA_LANGUAGE_CHOICE=$choice timeout 180 tests/windows/smoke.sh "$bin/orvanta-$edition.exe" "$edition" "$locale" \
         "$smoke_out"; then :; else
      echo "FAILED: smoke test of the $edition edition under $locale"
      lane_failures=$((lane_failures + 1))
    fi
    # Let the prefix's processes end so the next run starts in its own locale.
    timeout 60 wineserver -w || wineserver -k || true
  done
  return "$lane_failures"
}
lane_items=(
  "public:C.UTF-8:ru public:en_US.UTF-8:"
  "profi:C.UTF-8:ru profi:$ru_locale:"
  "win32 public:$ru_locale:"
)
step "Win32 checks and smoke tests in $lanes lanes, on ${displays[*]}"
lane_pids=()
for i in "${!lane_items[@]}"; do
  # shellcheck disable=SC2086 # the items are words
  DISPLAY=${displays[$i]} WINEPREFIX=${prefixes[$i]} lane_work ${lane_items[$i]} >"$smoke_out/lane-$((i + 1)).log" 2>&1 &
  lane_pids+=($!)
done
for i in "${!lane_pids[@]}"; do
  lane_status=0
  wait "${lane_pids[$i]}" || lane_status=$?
  echo; echo "=== lane $((i + 1)) on ${displays[$i]}: ${lane_items[$i]}"
  cat "$smoke_out/lane-$((i + 1)).log"
  failures=$((failures + lane_status))
done
echo; echo "lanes done (at ${SECONDS} s)"

# The texts are drawn from UTF-16, so the status line reads the same
# whatever the code page the locale gives Wine.
step "Status line under both locales"
strip() { convert "$1" -crop "x36+0+0" +repage "$2"; }
a=$smoke_out/public-C.UTF-8/client-start.png
b=$smoke_out/public-$ru_locale/client-start.png
if [ -f "$a" ] && [ -f "$b" ]; then
  strip "$a" "$smoke_out/status-C.png"
  strip "$b" "$smoke_out/status-ru.png"
  differing=$(compare -metric AE "$smoke_out/status-C.png" "$smoke_out/status-ru.png" null: 2>&1 || true)
  if [ "$differing" = 0 ]; then
    echo "the Public status line is pixel-identical under C.UTF-8 and $ru_locale"
  else
    failed "the Public status line differs between C.UTF-8 and $ru_locale ($differing pixels)"
  fi
else
  failed "no first-map screenshots to compare"
fi

echo
echo "Screenshots: $smoke_out"
echo "windows: $failures failed"
[ "$failures" -eq 0 ]
