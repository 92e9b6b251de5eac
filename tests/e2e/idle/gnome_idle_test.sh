#!/usr/bin/env bash
# varbules --idle on a headless GNOME: mutter (Wayland only, one virtual monitor of
# 1024x768) and gnome-session with a session of no components of its own, on a session
# bus of their own, everything as an ordinary user (mutter will not run as root):
#   - the watch is GNOME's idle monitor; three seconds of idle time start the saver as a
#     full-screen window (mutter has no layer shell: an xdg-shell window made full screen,
#     1024x768), which draws;
#   - a key through mutter's remote desktop ends it with exit code 0; the next idle
#     period starts it again;
#   - GNOME's session inhibitor (Inhibit with flag 8) holds it back for longer than the
#     wait; once the inhibiting connection closes, it comes.
#   gnome_idle_test.sh <varbules> <bus_tool>
set -euo pipefail
saver=$(realpath "$1")
bus_tool=$(realpath "$2")
. "$(dirname "$0")/../x11/x11_common.sh"
. "$(dirname "$0")/idle_common.sh"

. "$(dirname "$0")/gnome_session.sh"
start_gnome "$bus_tool"

# The saver's Wayland requests and events, to see how mutter shows its window.
launch idle "${as_user[@]}" VARBULES_FRAME_LOG="$gnome/home/frames" WAYLAND_DEBUG=client "$saver" --idle "$kWaitMinutes"
wait_said "idle watch: GNOME's idle monitor (org.gnome.Mutter.IdleMonitor)" 1 10

# focused N: the Nth saver has the keyboard (mutter's keyboard entered its window), so a
# key now is for it.
focused() {
  [ "$(grep -c 'wl_keyboard@[0-9]*\.enter(' "$work/idle.err")" -ge "$1" ] ||
    { echo "saver $1 does not have the keyboard" >&2; return 1; }
}
saver_ready() {
  saver_started "$1"
  e2e_within 5 focused "$1" || exit 1
}

saver_ready 1
# Full screen on the one monitor, and drawing.
fullscreen() {
  grep -q 'xdg_toplevel@[0-9]*\.set_fullscreen(wl_output@' "$work/idle.err" &&
    grep -q 'xdg_toplevel@[0-9]*\.configure(1024, 768, ' "$work/idle.err" &&
    [ "$(grep -c 'wl_surface@[0-9]*\.attach(wl_buffer@' "$work/idle.err")" -ge 10 ] ||
    { echo "no window made full screen at 1024x768 and drawn on" >&2; return 1; }
}
e2e_within 5 fullscreen || exit 1
key_ms=$(e2e_now_ms)
press 0xff1b  # Escape
saver_ended 1 0
frames=$(sed -n 's/^frames=\([0-9]*\).*/\1/p' "$gnome/home/frames")
[ "${frames:-0}" -ge 10 ] || fail "the saver drew ${frames:-no} frames"

saver_ready 2
press 0x61  # a
saver_ended 2 0
delay=$(delay_ms "$key_ms" "$gnome/home/frames")

# GNOME's own inhibitor, from a connection of its own that lives as long as the tool.
mkfifo "$work/inhibit.in"
exec 7<>"$work/inhibit.in"
launch_input=$work/inhibit.in launch inhibit "${as_user[@]}" "$bus_tool" gnome-inhibit
inhibit_pid=$last_pid
e2e_within 5 grep -q '^inhibited' "$work/inhibit.out" || fail "no inhibitor: $(cat "$work/inhibit.err")"
held_back 2 $(( kWaitSeconds * 2 ))
kill -TERM "$inhibit_pid"
exit_within "$inhibit_pid" "$(bound 5)"
saver_ready 3
press 0xff1b
saver_ended 3 0

echo "ok: GNOME (mutter): the saver came after $kWaitSeconds s of idle time full screen at 1024x768 ($frames frames; its second start $delay ms after the wait ended), a key through the remote desktop ended it with exit 0, GNOME's inhibitor held it back for $(( kWaitSeconds * 2 )) s and its end let it come"
