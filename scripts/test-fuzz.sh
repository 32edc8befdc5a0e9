#!/usr/bin/env bash
# Builds the map and game file fuzz targets with clang and libFuzzer (plus
# AddressSanitizer and UndefinedBehaviorSanitizer) and runs each for a fixed
# number of executions, starting from the committed seed corpus; the two run
# side by side. Exits non-zero on a build failure or on any finding.
# The targets solve every board they open, stopping a solve after a short
# deadline on the solver's own clock; a run that takes over 10 s is a finding
# (-timeout).
# ORVANTA_FUZZ_RUNS (default 100000; every board is solved, so a run costs more than it did) and ORVANTA_FUZZ_SEED (default 1) adjust a run.
set -euo pipefail
cd "$(dirname "$0")/.."
build=build/fuzz
runs=${ORVANTA_FUZZ_RUNS:-100000}
seed=${ORVANTA_FUZZ_SEED:-1}

cmake -S . -B "$build" -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DORVANTA_BUILD_FUZZ=ON -DORVANTA_SANITIZE=ON -DORVANTA_BUILD_QT=OFF -DORVANTA_BUILD_BENCH=OFF
cmake --build "$build" -j 2 --target fuzz_map_file fuzz_game_file

artifacts="$build/artifacts"
mkdir -p "$artifacts"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

run_target() {  # kind
  local kind=$1
  # Work on a copy, so that the committed seeds stay as they are.
  mkdir -p "$work/$kind"
  cp tests/fuzz/corpus/"$kind"/* "$work/$kind"/
  ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
    "$build/tests/fuzz/fuzz_${kind}_file" -runs="$runs" -seed="$seed" -max_len=1024 -timeout=10 \
    -print_final_stats=1 -artifact_prefix="$artifacts/${kind}-" "$work/$kind" >"$build/fuzz_${kind}.log" 2>&1
}

pids=()
for kind in map game; do
  echo "fuzz_${kind}_file: $runs runs"
  run_target "$kind" &
  pids+=($!)
done
status=0
for i in 0 1; do
  kind=$([ "$i" -eq 0 ] && echo map || echo game)
  if wait "${pids[$i]}"; then
    echo "fuzz_${kind}_file: $(grep -E '^Done' "$build/fuzz_${kind}.log" || echo 'finished')"
  else
    echo "fuzz_${kind}_file: FINDING (see $build/fuzz_${kind}.log and $artifacts)"
    tail -n 40 "$build/fuzz_${kind}.log"
    status=1
  fi
done
exit $status
