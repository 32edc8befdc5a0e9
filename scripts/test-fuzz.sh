#!/usr/bin/env bash
# Builds the map and game file fuzz targets with clang and libFuzzer (plus
# AddressSanitizer and UndefinedBehaviorSanitizer), replays every committed
# seed of each on its own, then fuzzes each from its seeds for a time budget;
# the two targets run side by side. Exits non-zero on a build failure or on
# any finding.
# The targets solve every board they open, stopping a solve after a short
# deadline on the solver's own clock; a run that takes over 10 s is a finding
# (-timeout).
# ORVANTA_FUZZ_SECONDS (default 30) is each target's budget; a longer hunt is
#   ORVANTA_FUZZ_SECONDS=3600 scripts/test-fuzz.sh
# ORVANTA_FUZZ_RUNS, when set, fuzzes a fixed number of executions instead
# (the same search again, given ORVANTA_FUZZ_SEED, default 1).
set -euo pipefail
cd "$(dirname "$0")/.."
build=build/fuzz
seconds=${ORVANTA_FUZZ_SECONDS:-30}
runs=${ORVANTA_FUZZ_RUNS:-}
seed=${ORVANTA_FUZZ_SEED:-1}
if [ -n "$runs" ]; then budget=(-runs="$runs"); said="$runs runs"; else budget=(-max_total_time="$seconds"); said="$seconds s"; fi

cmake -S . -B "$build" -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DORVANTA_BUILD_FUZZ=ON -DORVANTA_SANITIZE=ON -DORVANTA_BUILD_QT=OFF -DORVANTA_BUILD_BENCH=OFF
cmake --build "$build" -j 2 --target fuzz_map_file fuzz_game_file

artifacts="$build/artifacts"
mkdir -p "$artifacts"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

run_target() {  # kind
  local kind=$1 target=$build/tests/fuzz/fuzz_${kind}_file
  export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
  # Every seed once, named, whatever the budget leaves for the search.
  "$target" -timeout=10 -artifact_prefix="$artifacts/${kind}-" tests/fuzz/corpus/"$kind"/* \
    >"$build/fuzz_${kind}_seeds.log" 2>&1 || { cat "$build/fuzz_${kind}_seeds.log" >"$build/fuzz_${kind}.log"; return 1; }
  # Work on a copy, so that the committed seeds stay as they are.
  mkdir -p "$work/$kind"
  cp tests/fuzz/corpus/"$kind"/* "$work/$kind"/
  "$target" "${budget[@]}" -seed="$seed" -max_len=1024 -timeout=10 \
    -print_final_stats=1 -artifact_prefix="$artifacts/${kind}-" "$work/$kind" >"$build/fuzz_${kind}.log" 2>&1
}

pids=()
for kind in map game; do
  echo "fuzz_${kind}_file: its $(ls tests/fuzz/corpus/"$kind" | wc -l) seeds, then $said"
  run_target "$kind" &
  pids+=($!)
done
status=0
for i in 0 1; do
  kind=$([ "$i" -eq 0 ] && echo map || echo game)
  if wait "${pids[$i]}"; then
    echo "fuzz_${kind}_file: $(grep -cE '^Running:' "$build/fuzz_${kind}_seeds.log") seeds replayed; $(grep -E '^Done' "$build/fuzz_${kind}.log" || echo 'finished')"
  else
    echo "fuzz_${kind}_file: FINDING (see $build/fuzz_${kind}.log and $artifacts)"
    tail -n 40 "$build/fuzz_${kind}.log"
    status=1
  fi
done
exit $status
