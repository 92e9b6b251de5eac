#!/usr/bin/env bash
# Random input as fast as xdotool makes it: keys, buttons 1 to 5 (4 and 5 are the wheel)
# and pointer moves all over the screen.
#   - For VARBULES_STORM_SECONDS (10 unless told): a preview (/p) in one window of the
#     test's and a saver on another (--window-id). Their input is their owner's: both stay
#     up and keep drawing throughout; then SIGTERM ends the one and the destruction of its
#     window the other, each with exit code 0 and nothing on stderr.
#   - Full screen, three times: a storm of wheel turns alone ends nothing (the wheel is not
#     a press, as on Windows). Then a storm that starts with a key, a click or a move ends
#     the saver with exit code 0 within a second, and the rest of the storm, still coming
#     while it closes and after, makes no X error, crash or report.
set -euo pipefail
saver=$1
test_window=$2
. "$(dirname "$0")/x11_common.sh"
seconds=${VARBULES_STORM_SECONDS:-10}
start_xvfb 1024x768

keys=(a z x 1 space Return Escape Tab BackSpace F1 F5 Left Up Prior shift+a ctrl+x alt+Tab super Menu)

# Prints xdotool commands for COUNT random actions, each a key, a click of buttons 1 to 5
# or a move somewhere on the screen, with the first of the kind given (key, click, move
# or any) and, if a third argument is given, only wheel clicks.
storm_actions() {
  local count=$1 first=${2:-any} wheel_only=${3:-}
  local i kind
  for ((i = 0; i < count; i++)); do
    kind=$((RANDOM % 3))
    if [ "$i" = 0 ]; then
      case $first in key) kind=0 ;; click) kind=1 ;; move) kind=2 ;; esac
    fi
    if [ -n "$wheel_only" ]; then
      printf 'click --delay 1 %d ' $((4 + RANDOM % 2))
      continue
    fi
    case $kind in
      0) printf 'key --delay 2 %s ' "${keys[RANDOM % ${#keys[@]}]}" ;;
      1) if [ "$i" = 0 ]; then printf 'click --delay 1 %d ' $((1 + RANDOM % 3)); else printf 'click --delay 1 %d ' $((1 + RANDOM % 5)); fi ;;
      2) printf 'mousemove %d %d ' $((RANDOM % 1024)) $((RANDOM % 768)) ;;
    esac
  done
}

# Input for the given seconds, in bursts of 50 actions; $actions counts them.
actions=0
storm_for() {
  local until=$(( $(date +%s%N) + $1 * 1000000000 ))
  while [ "$(date +%s%N)" -lt "$until" ]; do
    # shellcheck disable=SC2046
    xdotool $(storm_actions 50) 2>/dev/null || true
    actions=$((actions + 50))
  done
}

# The rate label's band of a window's picture, as a checksum.
label_band() {
  convert "$1" -crop 400x16+0+0 +repage rgb:- | md5sum | cut -c1-12
}

# --- A preview and a saver on a window, both left alone by the storm.
open_test_window preview-window 512 384 0 0
preview_window=$window_id
preview_window_pid=$window_pid
open_test_window saver-window 512 384 512 0
saver_window=$window_id
launch preview "$saver" /p "$preview_window"
preview_pid=$last_pid
launch on-window "$saver" --window-id "$saver_window"
on_window_pid=$last_pid
# Both drawing before the storm.
e2e_within 5 viewable_child "$preview_window" || exit 1
picture_showing "$preview_window" "$work/preview-before.png" 1 30 >/dev/null
shows "$saver_window" "$work/on-window-before.png" 5 >/dev/null

pictures=0
band_changes=0
last_band=""
storm_start=$(date +%s%N)
for ((round = 0; round * 2 < seconds; round++)); do
  storm_for 2
  running "$preview_pid" || fail "the storm ended the preview: $(cat "$work/preview.err")"
  running "$on_window_pid" || fail "the storm ended the saver on the window: $(cat "$work/on-window.err")"
  picture_showing "$saver_window" "$work/on-window-$round.png" 5 >/dev/null
  picture_showing "$preview_window" "$work/preview-$round.png" 1 30 >/dev/null
  band=$(label_band "$work/on-window-$round.png")
  [ -n "$last_band" ] && [ "$band" != "$last_band" ] && band_changes=$((band_changes + 1))
  last_band=$band
  pictures=$((pictures + 1))
done
storm_ms=$(( ($(date +%s%N) - storm_start) / 1000000 ))
# Pictures two seconds apart: a running rate shows a new figure in nearly all of them.
[ "$band_changes" -ge $(( (pictures - 1) / 2 )) ] ||
  fail "the rate on the window changed in only $band_changes of $((pictures - 1)) intervals of the storm"

kill -TERM "$on_window_pid"
expect_clean_end on-window "$on_window_pid" 1 "--window-id after the storm, on SIGTERM"
term_ms=$exit_ms
kill -TERM "$preview_window_pid"
expect_clean_end preview "$preview_pid" 1 "/p after the storm, its window destroyed"
gone_ms=$exit_ms
echo "preview and --window-id: $actions actions in $storm_ms ms of storm, both drawing in all $pictures pictures (the rate changed $band_changes times); SIGTERM ended --window-id in $term_ms ms, the window's end the preview in $gone_ms ms"

# --- Full screen.
summary=""
for first in key click move; do
  xdotool mousemove 300 200
  launch fullscreen "$saver" /s
  saver_pid=$last_pid
  wait_for_window SCREENSAVER >/dev/null
  shows root "$work/fullscreen.png" 5 >/dev/null
  # shellcheck disable=SC2046
  xdotool $(storm_actions 40 any wheel)
  sleep 0.3
  running "$saver_pid" || fail "the wheel ended the full-screen saver: $(cat "$work/fullscreen.err")"

  # The first action of the storm is the one asked for; the storm goes on for two seconds
  # whenever the saver ends.
  # shellcheck disable=SC2046
  ( xdotool $(storm_actions 50 "$first") 2>/dev/null; storm_for 2 ) &
  storm_pid=$!
  expect_clean_end fullscreen "$saver_pid" 1 "full screen, a storm beginning with a $first"
  summary+=" $first: ${exit_ms} ms;"
  wait "$storm_pid"
  no_report_in "$work/fullscreen.err" "full screen after the storm"
done
echo "full screen: a wheel storm ended nothing; the storm ended it with exit 0 after:$summary"
echo "ok: the storm left the preview and the saver on a window drawing, and ended the full-screen saver cleanly"
