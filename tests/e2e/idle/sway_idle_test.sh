#!/usr/bin/env bash
# varbules --idle on a headless sway (org_kde_kwin_idle: sway 1.7 has no ext-idle-notify):
# three seconds of idle time start the saver full screen (the output shows the discs and
# both overlays); a key ends it with exit code 0; the next idle period starts it again;
# a second watch in the same session is refused; a window holding an idle inhibitor keeps
# the saver away for longer than the wait, and once the window is gone the saver comes.
#   sway_idle_test.sh <varbules> <idle_inhibitor>
set -euo pipefail
saver=$1
inhibitor=$2
. "$(dirname "$0")/../wayland/wayland_common.sh"
. "$(dirname "$0")/idle_common.sh"

start_sway 1
enable_pointer
VARBULES_FRAME_LOG=$work/frames launch idle env -u DISPLAY "$saver" --idle "$kWaitMinutes"
idle_pid=$last_pid  # env and varbules exec the watch: its pid is the one launched
wait_said "idle watch: the Wayland compositor's org_kde_kwin_idle" 1 5

# A second watch for the same session says one runs, and ends.
rc=0
env -u DISPLAY "$saver" --idle 1 >"$work/second.out" 2>&1 || rc=$?
[ "$rc" = 1 ] && grep -q "an idle watch already runs in this session (pid $idle_pid)" "$work/second.out" ||
  fail "a second watch: exit $rc, said: $(cat "$work/second.out")"

saver_started 1
discs=$(saver_on HEADLESS-1 "$work/first.png" 20)
key_ms=$(e2e_now_ms)
key Escape
saver_ended 1 0

saver_started 2
saver_on HEADLESS-1 "$work/second.png" 20 >/dev/null
saver_ended_at=$(e2e_now_ms)
key Escape
saver_ended 2 0
delay=$(delay_ms "$key_ms" "$work/frames")

# A window of its own with an idle inhibitor, on the output everyone sees.
held_back_by 2 inhibiting inhibitor "${as_user[@]}" WAYLAND_DISPLAY="$WAYLAND_DISPLAY" "$inhibitor"
saver_started 3
saver_on HEADLESS-1 "$work/third.png" 20 >/dev/null
key Escape
saver_ended 3 0
no_report_in "$work/idle.err" "the idle watch"

echo "ok: sway: the saver came after $kWaitSeconds s of idle time ($discs disc colours; its second start $delay ms after the wait ended), a key ended it with exit 0 twice, a second watch was refused, an inhibitor held it back for $(( kWaitSeconds * 2 )) s and its end let it come"
