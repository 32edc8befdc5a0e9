# Shared steps of the desktops' end-to-end checks of the solve beside the
# window, sourced by tests/qt/xvfb_smoke.sh and tests/windows/smoke.sh. The
# caller defines fail, progress_strip FILE (the three rows of the progress,
# left of the board) and busy_ticks (the processor ticks the program has used).

# A map that takes the solver about a minute: 16 cities on three neighbouring rows of
# the 10000-grid, 450 apart.
write_slow_map() {  # file
  local i cities=()
  for i in $(seq 0 15); do cities+=("$((450 * i)),$((i % 3))"); done
  python3 "$(dirname "${BASH_SOURCE[0]}")/write_map.py" "$1" 10000 10000 "${cities[@]}"
}

blank_strip() { [ "$(convert "$1" -format '%k' info:)" = 1 ]; }

# After "+": the progress line appears within 2 s and then moves on.
# Sets progress_ms to the time from the key to the start of the first picture
# that shows it (taking a picture itself takes a while).
expect_progress() {  # work folder
  local pressed shown= taking
  pressed=$(date +%s%N)
  xdotool key plus
  for _ in $(seq 40); do
    taking=$(date +%s%N)
    progress_strip "$1/progress1.png"
    blank_strip "$1/progress1.png" || { shown=$taking; break; }
    sleep 0.05
  done
  [ -n "$shown" ] || fail "no progress line within 2 s of '+'"
  progress_ms=$(( (shown - pressed) / 1000000 ))
  expect_moving "$1" "after '+'"
}

# The progress line, seconds included, changes within at least 5 s (its
# seconds count once a second).
expect_moving() {  # work folder, when
  local until=$((SECONDS + 6))
  progress_strip "$1/moving1.png"
  while [ "$SECONDS" -le "$until" ]; do
    sleep 0.3
    progress_strip "$1/moving2.png"
    [ "$(compare -metric AE "$1/moving1.png" "$1/moving2.png" null: 2>&1 || true)" = 0 ] || return 0
  done
  fail "the progress line did not change in 5 s $2"
}

# The solve still runs after something that must not stop it: its progress
# line is shown and moves on. Where a closed dialog lay over the line, the
# window paints it again a moment later, so a blank strip is looked at again
# for up to 5 s before it counts as gone.
expect_running() {  # work folder, what happened
  local until=$((SECONDS + 5))
  progress_strip "$1/running.png"
  while blank_strip "$1/running.png"; do
    [ "$SECONDS" -le "$until" ] || fail "the progress line went after $2"
    sleep 0.3
    progress_strip "$1/running.png"
  done
  expect_moving "$1" "after $2"
}

# After a stop: the progress line is gone and the program computes no more
# (at most 40 ticks, 0.4 s, of processor in 2 s). On a busy machine the
# window's own work after the stop (a new map drawn) can fill the first
# seconds, so three 2 s spans are measured and one quiet span suffices: a
# solve left running fills every one. Sets quiet_ticks to the quietest span.
expect_stopped() {  # work folder, what stopped it
  progress_strip "$1/stopped.png"
  blank_strip "$1/stopped.png" || fail "the progress line stayed after $2"
  local before after span
  quiet_ticks=
  for _ in 1 2 3; do
    before=$(busy_ticks)
    sleep 2
    after=$(busy_ticks)
    span=$((after - before))
    [ -n "$quiet_ticks" ] && [ "$quiet_ticks" -le "$span" ] || quiet_ticks=$span
    [ "$quiet_ticks" -gt 40 ] || return 0
  done
  fail "after $2 the program used at least $quiet_ticks ticks of processor in every 2 s"
}
