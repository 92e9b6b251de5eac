#!/usr/bin/env bash
# varbules --idle on Xvfb, with a session bus of its own:
#   - the watch is the X server's screen saver timer, and it offers
#     org.freedesktop.ScreenSaver on the bus, which nobody else has;
#   - three seconds of idle time start the saver full screen (discs, both overlays); a
#     key ends it with exit code 0; the next idle period starts it again;
#   - a client that suspends the server's saver (XScreenSaverSuspend, as players do)
#     holds it back for longer than the wait, and once it ends the saver comes;
#   - an Inhibit call on org.freedesktop.ScreenSaver holds it back too; UnInhibit lets it
#     come, and so does the caller's end without one;
#   - ended by SIGTERM, it leaves the server's own timer as the user had set it;
#   - with xscreensaver's daemon running, it steps aside: one line and exit code 1.
#   x11_idle_test.sh <varbules> <x11_suspender> <bus_tool>
set -euo pipefail
saver=$(realpath "$1")
suspender=$(realpath "$2")
bus_tool=$(realpath "$3")
. "$(dirname "$0")/../x11/x11_common.sh"
. "$(dirname "$0")/idle_common.sh"
start_xvfb 1024x768
xset s 600 0
launch bus dbus-daemon --session --nofork --address="unix:path=$work/bus"
e2e_within 5 test -S "$work/bus" || fail "no session bus: $(cat "$work/bus.err")"
export DBUS_SESSION_BUS_ADDRESS=unix:path=$work/bus

xdotool mousemove 300 200
VARBULES_FRAME_LOG=$work/frames launch idle "$saver" --idle "$kWaitMinutes"
idle_pid=$last_pid
wait_said "idle watch: the X server's screen saver timer (MIT-SCREEN-SAVER)" 1 5
wait_said "inhibitors: org.freedesktop.ScreenSaver on the session bus" 1 5

# shown_and_ended N: the Nth saver shows its picture and a key ends it.
shown_and_ended() {
  saver_started "$1"
  shows root "$work/saver-$1.png" 5 >/dev/null
  key_ms=$(e2e_now_ms)
  xdotool key a
  saver_ended "$1" 0
}
shown_and_ended 1
ended_ms=$key_ms
shown_and_ended 2
delay=$(delay_ms "$ended_ms" "$work/frames")

held_back_by 2 suspended suspender "$suspender"
shown_and_ended 3

# A player's inhibitor on the bus, released by UnInhibit, then one whose caller ends.
mkfifo "$work/inhibit.in"
exec 7<>"$work/inhibit.in"
launch_input=$work/inhibit.in launch inhibit "$bus_tool" screensaver-inhibit
inhibit_pid=$last_pid
wait_said "held back by 1 inhibitor" 1 5
held_back 3 $(( kWaitSeconds * 2 ))
echo release >&7
wait_said "no inhibitor holds it" 1 5
shown_and_ended 4
kill -TERM "$inhibit_pid"
exit_within "$inhibit_pid" "$(bound 5)"

launch_input=$work/inhibit.in launch inhibit-2 "$bus_tool" screensaver-inhibit
inhibit_pid=$last_pid
wait_said "held back by 1 inhibitor" 2 5
held_back 4 $(( kWaitSeconds * 2 ))
kill -TERM "$inhibit_pid"
exit_within "$inhibit_pid" "$(bound 5)"
wait_said "no inhibitor holds it" 2 5
shown_and_ended 5

kill -TERM "$idle_pid"
expect_clean_end idle "$idle_pid" 2 "the idle watch, on SIGTERM"
timeout=$(xset q | awk '/timeout:/ { print $2; exit }')
[ "$timeout" = 600 ] || fail "the server's screen saver timeout is $timeout s after the watch, not the user's 600"

# xscreensaver's daemon starts its hacks itself: the watch steps aside.
user=varbules-e2e
if ensure_user "$user"; then
  home=$(own_home "$user")
  printf 'mode: one\nselected: 0\nlock: False\nsplash: False\ntimeout: 1:00:00\nprograms: qix --root \\n\n' >"$home/.xscreensaver"
  chown "$user" "$home/.xscreensaver"
  launch xscreensaver runuser -u "$user" -- env DISPLAY="$DISPLAY" HOME="$home" xscreensaver -no-splash
  e2e_within 10 xscreensaver-command -time >/dev/null || fail "xscreensaver did not start: $(tail -3 "$work/xscreensaver.err")"
  rc=0
  "$saver" --idle "$kWaitMinutes" >"$work/beside.out" 2>&1 || rc=$?
  [ "$rc" = 1 ] && grep -q "^varbules: xscreensaver's daemon runs on this display" "$work/beside.out" ||
    fail "beside xscreensaver: exit $rc: $(cat "$work/beside.out")"
  stepped="stepped aside for xscreensaver's daemon with exit 1"
else
  stepped="(no user for xscreensaver's daemon: its case left out)"
fi
no_report_in "$work/idle.err" "the idle watch"

echo "ok: X11: the saver came after $kWaitSeconds s of idle time (its second start $delay ms after the wait ended), ended on a key with exit 0 each time, was held back by XScreenSaverSuspend and by org.freedesktop.ScreenSaver's Inhibit (released by UnInhibit and by the caller's end), left the server's timer as the user set it, and $stepped"
