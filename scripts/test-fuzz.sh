#!/usr/bin/env bash
# Builds the map and game file fuzz targets with clang and libFuzzer (plus
# AddressSanitizer and UndefinedBehaviorSanitizer) and runs each for a fixed
# number of executions, starting from the committed seed corpus. Exits
# non-zero on a build failure or on any finding.
# ORVANTA_FUZZ_RUNS (default 200000) and ORVANTA_FUZZ_SEED (default 1) adjust a run.
set -euo pipefail
cd "$(dirname "$0")/.."
build=build/fuzz
runs=${ORVANTA_FUZZ_RUNS:-200000}
seed=${ORVANTA_FUZZ_SEED:-1}

cmake -S . -B "$build" -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DORVANTA_BUILD_FUZZ=ON -DORVANTA_SANITIZE=ON -DORVANTA_BUILD_QT=OFF -DORVANTA_BUILD_BENCH=OFF
cmake --build "$build" -j 2 --target fuzz_map_file fuzz_game_file

artifacts="$build/artifacts"
mkdir -p "$artifacts"
status=0
for kind in map game; do
  # Work on a copy, so that the committed seeds stay as they are.
  corpus=$(mktemp -d)
  cp tests/fuzz/corpus/"$kind"/* "$corpus"/
  echo "fuzz_${kind}_file: $runs runs"
  if ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
      "$build/tests/fuzz/fuzz_${kind}_file" -runs="$runs" -seed="$seed" -max_len=1024 -timeout=20 \
      -print_final_stats=1 -artifact_prefix="$artifacts/${kind}-" "$corpus" 2>"$build/fuzz_${kind}.log"; then
    grep -E '^(Done|stat::number_of_executed_units)' "$build/fuzz_${kind}.log" || true
  else
    echo "fuzz_${kind}_file: finding (see $build/fuzz_${kind}.log and $artifacts)"
    tail -n 40 "$build/fuzz_${kind}.log"
    status=1
  fi
  rm -rf "$corpus"
done
exit $status
