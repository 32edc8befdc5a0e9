#!/usr/bin/env bash
# Checks every include of the product code against an allow-list per layer:
#   core/           the C++ standard library and core/
#   files/          adds files/
#   app/            adds app/, but no front-end folder
#   app/qt/         its own folder, the portable layers (core/, files/, app/),
#                   Qt and the POSIX headers of the Linux desktop
#   app/win32/      its own folder, the portable layers, the Windows headers and
#                   the resource compiler's generated headers
#   app/web/        its own folder, the portable layers and Emscripten
# No product code includes tests/. The tests and benchmarks may include what
# their layer's code does plus their test libraries; only the tests of a front
# end (tests/qt, tests/windows, tests/web) may include its toolkit.
# Files not yet added to git are checked too, and every C/C++ extension.
# The web's JavaScript and C++ must agree with each other and with the list of
# their boundary (scripts/web-boundary.py).
# Prints each offending line and exits non-zero when there is one.
# Usage: check-layers.sh [ROOT]   (ROOT defaults to this repository; the
# checker's own test runs it on a planted copy)
set -euo pipefail
root=${1:-"$(dirname "$0")/.."}
scripts=$(cd "$(dirname "$0")" && pwd)
cd "$root"

# The C++ standard library's headers (C++20) and the C library's headers as C++ names them.
std_headers='algorithm|any|array|atomic|barrier|bit|bitset|cassert|cctype|cerrno|cfenv|cfloat|charconv|chrono|cinttypes|climits|clocale|cmath|codecvt|compare|complex|concepts|condition_variable|coroutine|csetjmp|csignal|cstdarg|cstddef|cstdint|cstdio|cstdlib|cstring|ctime|cuchar|cwchar|cwctype|deque|exception|execution|expected|filesystem|format|forward_list|fstream|functional|future|initializer_list|iomanip|ios|iosfwd|iostream|istream|iterator|latch|limits|list|locale|map|memory|memory_resource|mutex|new|numbers|numeric|optional|ostream|queue|random|ranges|ratio|regex|scoped_allocator|semaphore|set|shared_mutex|source_location|span|sstream|stack|stdexcept|stop_token|streambuf|string|string_view|syncstream|system_error|thread|tuple|type_traits|typeindex|typeinfo|unordered_map|unordered_set|utility|valarray|variant|vector|version'
qt_headers='Q[A-Za-z0-9]+|Qt[A-Za-z0-9]+/[A-Za-z0-9_.]+'
posix_headers='unistd\.h|fcntl\.h|dirent\.h|sys/[a-z_]+\.h|pwd\.h|errno\.h'
windows_headers='windows\.h|winuser\.h|wingdi\.h|winbase\.h|commdlg\.h|shellapi\.h|shlobj\.h|objbase\.h|commctrl\.h|knownfolders\.h'
emscripten_headers='emscripten\.h|emscripten/[a-z_]+\.h'
test_headers='gtest/[a-z_]+\.h|gmock/[a-z_]+\.h|benchmark/benchmark\.h'

status=0
# The files of the folders that git tracks or would track (new files not yet
# added included, ignored ones such as build folders left out); in a copy that
# is no git work tree, every file.
if [ "$(git rev-parse --show-toplevel 2>/dev/null || true)" = "$(pwd -P)" ]; then
  listed() {
    local file
    git ls-files --cached --others --exclude-standard -- "$@" | sort -u |
      while IFS= read -r file; do [ ! -f "$file" ] || echo "$file"; done
  }
else
  listed() { local d; for d in "$@"; do [ ! -d "$d" ] || find "$d" -type f; done | sort; }
fi
# Every name a C or C++ source, header or template goes by, the resource
# scripts and the templates CMake turns into headers.
source_names='\.(c|cc|cp|cpp|cxx|c\+\+|C|h|hh|hp|hpp|hxx|h\+\+|H|ipp|tpp|txx|tcc|inl|inc|ixx|cppm|m|mm|rc)(\.in)?$'
sources() { listed "$@" | grep -E "$source_names" || true; }

# check FOLDER-DESCRIPTION ALLOWED-REGEX FILES...: every include of the files must
# match ALLOWED-REGEX (tried against the text between the brackets or quotes,
# with its brackets or quotes).
check() {
  local what=$1 allowed=$2
  shift 2
  [ $# -eq 0 ] && return 0
  local bad
  bad=$(grep -HnE '^[[:space:]]*#[[:space:]]*include' "$@" |
        awk -v allowed="^($allowed)\$" '{
          line = $0
          sub(/^[^:]*:[0-9]+:[[:space:]]*#[[:space:]]*include[[:space:]]*/, "", line)
          sub(/[[:space:]]*(\/\/.*)?$/, "", line)
          if (line !~ allowed) print $0
        }' || true)
  if [ -n "$bad" ]; then
    echo "$what includes what its layer may not use:"
    echo "$bad"
    status=1
  fi
}

std="<($std_headers)>"
core="\"core/[A-Za-z0-9_]+\\.h\""
files="\"files/[A-Za-z0-9_]+\\.h\""
app="\"app/[A-Za-z0-9_]+\\.h\""
portable="$std|$core|$files|$app"

mapfile -t f < <(sources core);       check "core/" "$std|$core" "${f[@]}"
mapfile -t f < <(sources files);      check "files/" "$std|$core|$files" "${f[@]}"
mapfile -t f < <(sources app | grep -vE '^app/(qt|win32|web)/'); check "app/" "$portable" "${f[@]}"
mapfile -t f < <(sources app/qt);     check "app/qt/" "$portable|\"app/qt/[A-Za-z0-9_]+\\.h\"|<($qt_headers)>|<($posix_headers)>" "${f[@]}"
mapfile -t f < <(sources app/win32)
check "app/win32/" "$portable|\"app/win32/[A-Za-z0-9_]+\\.h\"|\"(resource_ids|orvanta_version)\\.h\"|<($windows_headers)>" "${f[@]}"
mapfile -t f < <(sources app/web);    check "app/web/" "$portable|\"app/web/[A-Za-z0-9_]+\\.h\"|<($emscripten_headers)>" "${f[@]}"

# Tests and benchmarks: the portable layers, the test libraries and their own
# support code; a front end's tests also its folder and its toolkit.
tests_own="\"(support|reference|fuzz)/[A-Za-z0-9_/]+\\.h\"|\"[A-Za-z0-9_]+\\.(h|moc)\"|\"bench/[A-Za-z0-9_]+\\.h\"|<($test_headers)>"
mapfile -t f < <(sources tests bench | grep -vE '^tests/(qt|windows|web)/')
check "portable tests and benchmarks" "$portable|$tests_own|<($posix_headers)>" "${f[@]}"
mapfile -t f < <(sources tests/qt)
check "tests/qt/" "$portable|$tests_own|\"app/qt/[A-Za-z0-9_]+\\.h\"|<($qt_headers)>|<($posix_headers)>" "${f[@]}"
mapfile -t f < <(sources tests/windows)
check "tests/windows/" "$portable|$tests_own|\"app/win32/[A-Za-z0-9_]+\\.h\"|<($windows_headers)>" "${f[@]}"
mapfile -t f < <(sources tests/web)
check "tests/web/" "$portable|$tests_own|\"app/web/[A-Za-z0-9_]+\\.h\"" "${f[@]}"

# The seam's list (app/front_end.h) names every function the front ends
# provide, and nothing else: the seam's headers are the portable ones that open
# a platform namespace, and each function declared there must be listed; each
# name listed must be declared in one of them.
seam_declarations() {  # header: prints the functions of its platform namespaces
  awk '/^namespace (orvanta::)?platform \{/ { inside = 1; next }
       inside && /^\}  \/\/ namespace/ { inside = 0 }
       inside && /^[A-Za-z][A-Za-z0-9_:<>*&, \[\]]* \**&?[a-zA-Z_][A-Za-z0-9_]*\(/ {
         line = $0; sub(/\(.*/, "", line); sub(/.*[^A-Za-z0-9_]/, "", line); print line }' "$1"
}
if [ -f app/front_end.h ]; then
  mapfile -t seam_headers < <(sources core files app | grep -vE '^app/(qt|win32|web)/' | grep -vE '\.(c|cc|cp|cpp|cxx|c\+\+|C|m|mm|rc)$' |
    xargs -r grep -lE '^namespace (orvanta::)?platform \{' || true)
  declared=""
  for header in "${seam_headers[@]}"; do
    for name in $(seam_declarations "$header"); do
      declared="$declared $name"
      if ! grep -qE "^using platform::$name;" app/front_end.h; then
        echo "app/front_end.h does not list the front end's function $name (declared in $header)"
        status=1
      fi
    done
  done
  for name in $(sed -nE 's/^using platform::([A-Za-z0-9_]+);.*/\1/p' app/front_end.h); do
    case " $declared " in
      *" $name "*) ;;
      *) echo "app/front_end.h lists $name, which no seam header (${seam_headers[*]}) declares"; status=1 ;;
    esac
  done
fi

# The web page's boundary between its JavaScript and the C++: the same on both
# sides and as app/web/js_boundary.md lists it.
if [ -d app/web ]; then
  python3 "$scripts/web-boundary.py" . || status=1
fi

[ $status -eq 0 ] && echo "layers: every include is on its layer's allow-list" && echo "seam: app/front_end.h lists every function a front end provides"
exit $status
