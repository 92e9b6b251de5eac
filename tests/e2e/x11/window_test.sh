#!/usr/bin/env bash
# --window, the default: a window of its own with the background, discs of several
# colours and the overlay text; the rate appears behind "Actions per sec:" once more than
# a second has passed; SIGINT ends it cleanly, and so does the window manager's close.
set -euo pipefail
saver=$1
test_window=$2
. "$(dirname "$0")/x11_common.sh"
start_xvfb 1024x768

launch saver "$saver"
saver_pid=$last_pid
frame=$(wait_for_window Varbules)

# Before the first second is over only the label stands; after it, the number too.
sleep 0.5
import -window "$frame" "$work/early.png"
sleep 1.3
import -window "$frame" "$work/late.png"

[ "$(identify -format '%w %h' "$work/late.png")" = "800 600" ] || fail "the window is not 800x600"
discs=$(check_picture "$work/late.png" 5)
early=$(label_right_end "$work/early.png")
late=$(label_right_end "$work/late.png")
[ "$early" -gt 100 ] || fail "no rate label in the first second (text ends at $early)"
[ $((late - early)) -ge 40 ] || fail "no rate behind the label after a second (text ends at $early, then $late)"

kill -INT "$saver_pid"
expect_clean_end saver "$saver_pid" 1 SIGINT
sigint_ms=$exit_ms
# The window manager's close button: the saver closes and its window goes.
launch again "$saver"
again_pid=$last_pid
frame=$(wait_for_window Varbules)
sleep 0.3
"$test_window" --close "$frame"
expect_clean_end again "$again_pid" 1 "closed by the window manager"
close_ms=$exit_ms
xwininfo -id "$frame" >/dev/null 2>&1 && fail "the window is still there after the saver ended"

echo "ok: $discs disc colours, label ends at $early then $late px, SIGINT and the close button end it with exit 0 (after $sigint_ms and $close_ms ms)"
