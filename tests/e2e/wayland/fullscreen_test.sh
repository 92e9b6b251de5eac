#!/usr/bin/env bash
# The Linux saver full screen on Wayland (/s), on a headless sway of two outputs with a
# bar on each:
#   - over the layer shell: the first output shows the discs, the rate label and the
#     credit line in its own pixels, the second is all background, both bars covered
#     and the cursor hidden; an output switched off gets no more buffers; an output
#     added meanwhile is covered too; a key ends it;
#   - --output HEADLESS-2 animates the second output instead; a click on the first ends it;
#   - a move of one pixel ends it; on an output scaled twice the text has twice the pixels;
#   - as on a compositor without the layer shell (xdg-shell, full screen on each output):
#     the same picture, and a key ends it;
#   - --window is an ordinary window that input does not end; SIGTERM does;
#   - a compositor that dies ends it within a second with exit code 1 and one line.
set -euo pipefail
saver=$1
. "$(dirname "$0")/wayland_common.sh"

# The saver as root on the session's socket; its environment names nothing of X11.
start_saver() {
  launch saver env -u DISPLAY "$saver" "$@"
  saver_pid=$last_pid
}

# The shared-memory buffers the saver has mapped.
buffer_maps() {
  grep -c varbules-buffer "/proc/$saver_pid/maps"
}

# The height of the white text in the top band of an output's picture.
label_height() {
  convert "$1" -crop 640x80+0+0 +repage -fill black +opaque white -trim -format %h info:-
}

# Waits until the saver shows its picture on OUTPUT (HEADLESS-1 unless told): discs, both
# overlays and no bar; prints the count of disc colours. The picture is in FILE.
settle() {
  local file=$1 output=${2:-HEADLESS-1}
  running "$saver_pid" || fail "the saver ended before any input: $(head -c 2000 "$work/saver.err")"
  saver_on "$output" "$file" 20
}

start_sway 2
enable_pointer
# The pointer rests on the second output, where it would show if the saver did not hide it.
pointer_to 1900 400

start_saver /s
discs=$(settle "$work/animated.png")
covered_within HEADLESS-2 2 || fail "the second output is not covered"
# An output switched off shows nothing, so it is sent nothing: no frames and no more
# buffers pile up meanwhile, and once it is on again it shows the animation again.
buffers=$(buffer_maps)
sway_msg -q output HEADLESS-1 dpms off
sleep $(( 2 * slack ))
[ "$(buffer_maps)" -le "$buffers" ] || fail "buffers piled up on an output switched off: $buffers, then $(buffer_maps)"
sway_msg -q output HEADLESS-1 dpms on
settle "$work/on-again.png" >/dev/null
added=$(add_output)
covered_within "$added" 2 || fail "the added output $added is not covered: $(histogram "$work/$added.png" | sed -n 1,3p | tr -s ' \n' ' ')"
key Escape
expect_clean_end saver "$saver_pid" 1 "a key"
ends="key ${exit_ms} ms"

pointer_to 600 400
start_saver /s --output HEADLESS-2
settle "$work/second.png" HEADLESS-2 >/dev/null
covered_within HEADLESS-1 2 || fail "--output HEADLESS-2: the first output is not covered"
click
expect_clean_end saver "$saver_pid" 1 "a click on the first output"
ends+=", click ${exit_ms} ms"

sway_msg -q output HEADLESS-1 scale 2
start_saver /s
settle "$work/scaled.png" >/dev/null
sway_msg -q seat seat0 cursor move 1 0
expect_clean_end saver "$saver_pid" 1 "a one-pixel move"
ends+=", move ${exit_ms} ms"
sway_msg -q output HEADLESS-1 scale 1
# The output's own pixels: the whole of it drawn, and the text drawn twice as high, not
# stretched from a picture of half the size.
plain=$(label_height "$work/animated.png")
scaled=$(label_height "$work/scaled.png")
[ "$scaled" -ge $(( plain * 2 - 2 )) ] && [ "$scaled" -le $(( plain * 2 + 2 )) ] ||
  fail "the label is $scaled rows high at scale 2, $plain at scale 1"

VARBULES_WAYLAND_NO_LAYER_SHELL=1 start_saver /s
xdg_discs=$(settle "$work/xdg.png")
covered_within HEADLESS-2 2 || fail "xdg-shell: the second output is not covered"
key Escape
expect_clean_end saver "$saver_pid" 1 "a key, xdg-shell"

start_saver --window
framed_window() { sway_msg -t get_tree | grep '"app_id": "varbules"' >/dev/null || { echo "no window of app_id varbules" >&2; return 1; }; }
e2e_within 5 framed_window || fail "--window: no window"
key a
click
sleep 0.5
running "$saver_pid" || fail "--window: input ended the saver"
kill -TERM "$saver_pid"
expect_clean_end saver "$saver_pid" 2 "--window ended by SIGTERM"

start_saver /s
settle "$work/before-kill.png" >/dev/null
kill_compositor
exit_within "$saver_pid" "$(bound 1)"
[ "$exit_code" = 1 ] || fail "the compositor gone: exit $exit_code, expected 1 within $(bound 1) s"
[ "$(wc -l <"$work/saver.err")" = 1 ] && grep -q "lost the connection to the Wayland display" "$work/saver.err" ||
  fail "the compositor gone: stderr says: $(head -c 2000 "$work/saver.err")"
no_report_in "$work/saver.err" "the compositor gone"

echo "ok: $discs disc colours on HEADLESS-1, HEADLESS-2 and the added $added covered, bars and cursor hidden;" \
  "label $plain rows, $scaled at scale 2; ended by $ends; xdg-shell shows $xdg_discs; --window ignores input; a dead compositor ends it in ${exit_ms} ms"
