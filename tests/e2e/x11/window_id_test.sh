#!/usr/bin/env bash
# --window-id into a window made by the test: the saver draws into it, input does not end
# it, what another window covered comes back once it goes, and SIGTERM ends it with exit
# code 0 and no X error. Then /p, the Windows preview,
# as a child of that window, and --window-id again: both end with the window.
set -euo pipefail
saver=$1
test_window=$2
. "$(dirname "$0")/x11_common.sh"
start_xvfb 1024x768

open_test_window window
id=$window_id
hex=$(printf '0x%x' "$id")

launch saver "$saver" --window-id "$hex"
saver_pid=$last_pid
discs=$(shows "$id" "$work/window-id.png" 5)

# Input on the window is its owner's: a move, a click and a key leave the saver running.
xdotool mousemove 320 240 sleep 0.1 mousemove_relative 5 5 click 1 key a
sleep 1
running "$saver_pid" || fail "input on the window ended the saver"

# Covered by another window and uncovered: what the cover hid is painted again, the text
# that never changes included (the credit line, at the bottom right).
credit_shown() {
  import -window "$id" "$1" || return 1
  local colours
  colours=$(convert "$1" -crop 320x24+320+456 +repage -format %c histogram:info:-)
  echo "$colours" | grep "(0,0,128)" >/dev/null && echo "$colours" | grep "(255,255,255)" >/dev/null
}
e2e_within 5 credit_shown "$work/credit.png" || fail "no credit line at the bottom right of the window"
covered() {
  import -window root -crop 320x24+320+456 "$1" || return 1
  ! convert "$1" -format %c histogram:info:- | grep "(0,0,128)" >/dev/null
}
owner_pid=$window_pid
open_test_window cover 640 480 0 0
cover_pid=$window_pid
window_pid=$owner_pid
e2e_within 5 covered "$work/covered.png" || fail "the cover did not cover the saver's window"
kill -TERM "$cover_pid"
e2e_within 5 credit_shown "$work/uncovered.png" ||
  fail "the credit line did not come back once the cover went: $(convert "$work/uncovered.png" -crop 320x24+320+456 +repage -format %c histogram:info:- | sort -rn | head -3 | tr -s ' \n' ' ')"

kill -TERM "$saver_pid"
expect_clean_end saver "$saver_pid" 1 SIGTERM
grep -q "X error" "$work/window.err" && fail "X error in the test window: $(cat "$work/window.err")"
xwininfo -id "$id" >/dev/null 2>&1 || fail "the saver took the test's window with it"

# The preview, a child filling the window, in decimal as Windows passes it; and once
# more the saver drawing into the window itself, under the preview. When the window's
# owner destroys it, both end cleanly: no X error, exit code 0.
launch preview "$saver" /p "$id"
preview_pid=$last_pid
launch again "$saver" --window-id "$id"
again_pid=$last_pid
e2e_within 5 viewable_child "$id" || exit 1
preview_discs=$(picture_showing "$id" "$work/preview.png" 2 30)  # two small discs of 8 pixels across
kill -TERM "$window_pid"
expect_clean_end preview "$preview_pid" 1 "preview after its parent went"
expect_clean_end again "$again_pid" 1 "--window-id after its window went"

echo "ok: --window-id $hex drew $discs disc colours, ignored input, ended on SIGTERM with exit 0; /p $id drew $preview_discs; both ended with the window"
