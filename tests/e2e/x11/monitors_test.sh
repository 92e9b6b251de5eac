#!/usr/bin/env bash
# Two monitors on one X screen (see two_monitors.sh): full screen (/s), the saver window
# covers the primary head exactly and the discs and both overlays stay inside it, while
# the second head is covered in the background colour; a key, a click and a one-pixel
# move with the pointer on the second head each end the saver with exit code 0. On the
# root window itself (--root) the animation keeps to the primary head and the second is
# blanked.
set -euo pipefail
saver=$1
. "$(dirname "$0")/x11_common.sh"
. "$(dirname "$0")/../two_monitors.sh"
# The servers are ours to end even when they did not come up as two monitors.
two_monitors_start "$work" && started=1 || started=0
pids+=("${two_monitors_pids[@]}")
[ "$started" = 1 ] || fail "no two monitors"

# The pointer on the second head, where the input will come.
start_saver() {
  xdotool mousemove 1400 300
  launch saver "$saver" "$@"
  saver_pid=$last_pid
}

# The picture of a run on both heads: the discs and overlays on the primary, the second
# head blank. A picture is taken until it shows all of that (the first frames may still be
# on their way), and the count of disc colours printed.
check_heads() {
  local shot=$1 what=$2 discs
  import -window root "$shot"
  two_monitors_blank "$shot" "$kSecondHead" ||
    fail "$what: the second head is not all background: $(two_monitors_colours "$shot" "$kSecondHead" | sed -n 1,3p | tr '\n' ' ')"
  discs=$(two_monitors_disc_colours "$shot" "$kPrimaryHead")
  [ "$discs" -ge 25 ] || fail "$what: only $discs disc colours on the primary head"
  [ "$(two_monitors_white "$shot" 400x16+0+0)" -gt 20 ] || fail "$what: no rate label at the primary's top left"
  [ "$(two_monitors_white "$shot" 500x30+524+738)" -gt 20 ] || fail "$what: no credit line at the primary's bottom right"
  echo "$discs"
}

start_saver /s
wait_for_window SCREENSAVER >/dev/null
geometry=$(xwininfo -name SCREENSAVER | awk '/-geometry/ { print $2 }')
[ "$geometry" = "$kPrimaryHead" ] || fail "the saver window is $geometry, not the primary head $kPrimaryHead"
discs=$(e2e_within 5 check_heads "$work/full.png" "/s") || exit 1
running "$saver_pid" || fail "the saver ended before any input"
xdotool key a
expect_clean_end saver "$saver_pid" 1 "a key press with the pointer on the second head"
ends="key ${exit_ms} ms"

# Input goes to the second head's cover once it stands, and the picture shows it there.
start_saver /s
e2e_within 5 check_heads "$work/click.png" "/s, before a click" >/dev/null || exit 1
xdotool click 1
expect_clean_end saver "$saver_pid" 1 "a click on the second head"
ends+=", click ${exit_ms} ms"

start_saver /s
e2e_within 5 check_heads "$work/move.png" "/s, before a move" >/dev/null || exit 1
xdotool mousemove_relative 1 0
expect_clean_end saver "$saver_pid" 1 "a one-pixel move on the second head"
ends+=", move ${exit_ms} ms"

start_saver --root
root_discs=$(e2e_within 5 check_heads "$work/root.png" "--root") || exit 1
kill -TERM "$saver_pid"
expect_clean_end saver "$saver_pid" 2 "--root ended by SIGTERM"

echo "ok: /s shows $discs disc colours on the primary head and the second blank; ended by $ends; --root shows $root_discs on the primary and the second blank"
