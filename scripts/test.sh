#!/usr/bin/env bash
# Builds and runs every test: the unit, scenario and front-end tests (both
# editions), the same tests under AddressSanitizer and UndefinedBehaviorSanitizer,
# the solve beside the window under ThreadSanitizer,
# the fuzz targets, the Windows build with its smoke test under Wine, the
# Debian package and the Windows installer, installed, started and removed,
# and the web edition in headless Chromium.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
jobs=$(nproc 2>/dev/null || echo 2)

scripts/install-deps.sh test

passed=0
failed=0
run_ctest() {  # build dir [ctest arguments]
  local log dir=$1
  shift
  log=$(mktemp)
  if ctest --test-dir "$dir" --output-on-failure -j "$jobs" "$@" 2>&1 | tee "$log"; then :; fi
  local total fails
  total=$(grep -Eo 'tests failed out of [0-9]+' "$log" | grep -Eo '[0-9]+$' || echo 0)
  fails=$(grep -Eo '[0-9]+ tests failed out of' "$log" | grep -Eo '^[0-9]+' || echo 0)
  if [ "$total" -eq 0 ]; then fails=1; fi
  passed=$((passed + total - fails))
  failed=$((failed + fails))
  rm -f "$log"
}
# Each stage says when it starts, in seconds since the run began, and the
# summary lists every stage's start and length, so that a slow stage shows.
stages=()
stage() {
  stages+=("${SECONDS}	$*")
  echo; echo "=== $* (at ${SECONDS} s)"
}

stage "Includes of each layer against its allow-list, and the checker's own test"
if scripts/check-layers.sh; then passed=$((passed + 1)); else failed=$((failed + 1)); fi
if scripts/check-layers-test.sh; then passed=$((passed + 1)); else failed=$((failed + 1)); fi

stage "Build and test (g++, warnings as errors)"
cmake -S . -B build/test -DCMAKE_BUILD_TYPE=RelWithDebInfo -DORVANTA_WERROR=ON
cmake --build build/test -j "$jobs"
run_ctest build/test

stage "Build and test under AddressSanitizer and UndefinedBehaviorSanitizer"
# Debug keeps every assertion; -O1, as the sanitizers advise, runs the
# solver's tests several times faster than -O0 with the same checks.
cmake -S . -B build/sanitize -DCMAKE_BUILD_TYPE=Debug "-DCMAKE_CXX_FLAGS_DEBUG=-g -O1" -DORVANTA_WERROR=ON -DORVANTA_SANITIZE=ON \
  -DORVANTA_BUILD_BENCH=OFF -DORVANTA_BUILD_QT=OFF
cmake --build build/sanitize -j "$jobs"
ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 run_ctest build/sanitize

stage "Build and test the solve beside the window under ThreadSanitizer"
# The core's solves, the window's side of the solve and the real solve thread.
cmake -S . -B build/tsan -DCMAKE_BUILD_TYPE=RelWithDebInfo -DORVANTA_WERROR=ON -DORVANTA_SANITIZE_THREAD=ON \
  -DORVANTA_BUILD_BENCH=OFF -DORVANTA_BUILD_QT=OFF
cmake --build build/tsan -j "$jobs" --target core_tests_public app_tests_public solve_thread_tests_public
TSAN_OPTIONS=halt_on_error=1:second_deadlock_stack=1 run_ctest build/tsan -R '^(core|app|solve_thread)_public$'

# Further stages live in their own scripts; each prints its result and exits
# non-zero on a failure.
for extra in scripts/test-fuzz.sh scripts/test-windows.sh scripts/test-packages-debian.sh \
             scripts/test-packages-windows.sh scripts/test-web.sh; do
  if [ -x "$extra" ]; then
    stage "$extra"
    if "$extra"; then passed=$((passed + 1)); else failed=$((failed + 1)); fi
  fi
done

echo
echo "stages (start and length in seconds):"
for i in "${!stages[@]}"; do
  start=${stages[$i]%%	*}
  next=${stages[$((i + 1))]:-$SECONDS}
  printf '%6s s %6s s  %s\n' "$start" "$(( ${next%%	*} - start ))" "${stages[$i]#*	}"
done
echo "all: $passed passed, $failed failed, in ${SECONDS} s"
[ "$failed" -eq 0 ]
