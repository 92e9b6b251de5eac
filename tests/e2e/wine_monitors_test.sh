#!/usr/bin/env bash
# The real saver full screen on two monitors (see two_monitors.sh), in a prefix whose Wine
# reads them from Xinerama:
#   - the saver window covers the primary monitor exactly, as on one; the other monitor
#     gets one window of ours, top-most, never activated, of exactly its rectangle; the
#     discs and both overlays stay on the primary and the second head is all background;
#   - a key, a click and a one-pixel move with the pointer on the second head each end
#     the saver with exit code 0, and the covering window goes with it;
#   - in Windows 9x mode, with our PASSWORD.CPL (it refuses once, then accepts): a click
#     on the second head opens exactly one password box, more input there opens no
#     second, the refusal leaves both heads covered, and the acceptance ends the saver.
#
#   wine_monitors_test.sh <Varbule.scr> <window_probe.exe> <desktop_tool.exe> <PASSWORD.CPL>
set -euo pipefail
scr=$(realpath "$1")
probe=$(realpath "$2")
tool=$(realpath "$3")
cpl=$(realpath "$4")
source "$(dirname "${BASH_SOURCE[0]}")/wine_e2e_common.sh"
source "$(dirname "${BASH_SOURCE[0]}")/two_monitors.sh"

readonly kCoverClass=VarbulesCoverClass kBoxTitle="Varbules test password"
readonly kOnSecondHead="1400 300"

tool() { e2e_tool "$tool" "$@"; }
covers() { tool windows "$kCoverClass" | sed -n 's/^window=//p'; }
boxes() { tool count "$kBoxTitle" | sed -n 's/^count=//p'; }

e2e_setup
# The servers are ours to end even when they did not come up as two monitors.
two_monitors_start "$e2e_work" && started=1 || started=0
e2e_pids+=("${two_monitors_pids[@]}")
[ "$started" = 1 ] || e2e_fail "no two monitors"
e2e_wine_warmup "$probe"
# Wine takes the monitors from the display when its desktop starts there; the first
# program on a new display may still be told of the last one.
for i in $(seq 1 20); do
    monitors=$(tool monitors | sed -n 's/^monitor=//p' | tr '\n' ',')
    [ "$monitors" = "0 0 1024 768 primary,1024 0 1824 600," ] && break
    sleep 0.5
done
[ "$monitors" = "0 0 1024 768 primary,1024 0 1824 600," ] || e2e_fail "Wine reports the monitors as '$monitors'"
e2e_log "Wine reports two monitors on $DISPLAY: $monitors"

# start <run> [password]: the saver full screen with the pointer on the second head
# (with the password module beside it), once its window covers the second head.
start() {
    run=$1
    dir="$e2e_work/$run"
    mkdir -p "$dir"
    cp "$scr" "$dir/Varbule.scr"
    [ "${2:-}" = password ] && cp "$cpl" "$dir/PASSWORD.CPL"
    xdotool mousemove $kOnSecondHead
    VARBULES_PASSWORD_LOG=$(e2e_winpath "$dir/password.log") e2e_full_screen "$probe" "$dir" "$dir/Varbule.scr"
    local i
    for i in $(seq 1 25); do
        [ -n "$(covers)" ] && return 0
        sleep 0.2
    done
    e2e_fail "[$run] no window covers the second head"
}

# A covering window as the desktop tool describes it: the second head's rectangle,
# visible, and top-most and never activated (WS_EX_TOPMOST | WS_EX_NOACTIVATE).
covers_second_head() {
    local rect exstyle visible
    rect=$(echo "$1" | cut -d' ' -f1-4)
    exstyle=$(echo "$1" | sed -n 's/.*exstyle=\(0x[0-9A-F]*\).*/\1/p')
    visible=$(echo "$1" | sed -n 's/.*visible=\([01]\).*/\1/p')
    [ "$rect" = "1024 0 1824 600" ] && [ "$visible" = 1 ] && [ $((exstyle & 0x08000008)) -eq $((0x08000008)) ]
}

# The picture once both overlays show: on a busy machine (the 32-bit build runs emulated)
# the first frames may come late, and a picture taken within the first one lacks them.
start picture
sleep 2.5
for i in $(seq 1 20); do
    e2e_screenshot "$e2e_work/two.png"
    [ "$(two_monitors_white "$e2e_work/two.png" 400x16+0+0)" -gt 20 ] &&
        [ "$(two_monitors_white "$e2e_work/two.png" 500x30+524+738)" -gt 20 ] && break
    sleep 0.5
done
e2e_check "the saver window is the primary monitor ($(e2e_value "$dir/window.txt" rect))" \
    [ "$(e2e_value "$dir/window.txt" rect)" = "0 0 1024 768" ]
cover=$(covers)
e2e_check "one window of ours covers the second monitor, top-most and never activated: $cover" \
    covers_second_head "$cover"
e2e_check "the second head is all background" two_monitors_blank "$e2e_work/two.png" "$kSecondHead"
discs=$(two_monitors_disc_colours "$e2e_work/two.png" "$kPrimaryHead")
e2e_check "the discs are on the primary ($discs colours)" e2e_about_discs "$discs" 32
e2e_check "the rate label stands at the primary's top left" [ "$(two_monitors_white "$e2e_work/two.png" 400x16+0+0)" -gt 20 ]
e2e_check "the credit line at its bottom right" [ "$(two_monitors_white "$e2e_work/two.png" 500x30+524+738)" -gt 20 ]
xdotool key a
e2e_check "a key press with the pointer on the second head ends it with exit code 0" e2e_ended_with "$saver_pid" 2000 0
e2e_check "and the covering window is gone" [ -z "$(covers)" ]

start click
xdotool click 1
e2e_check "a click on the second head ends it with exit code 0" e2e_ended_with "$saver_pid" 2000 0

start move
xdotool mousemove_relative 1 0
e2e_check "a one-pixel move on the second head ends it with exit code 0" e2e_ended_with "$saver_pid" 2000 0

e2e_win9x_password "dword:00000001"
start password password
xdotool click 1
wait_for_box() { local i; for i in $(seq 1 50); do [ "$(boxes)" = 1 ] && return 0; sleep 0.1; done; return 1; }
e2e_check "a click on the second head opens the password box" wait_for_box
xdotool click 1 mousemove_relative 5 5 key b
sleep 0.5
e2e_check "more input there opens no second box" [ "$(boxes)" = 1 ]
e2e_check "the verifier was asked once" [ "$(grep -c '^call=' "$dir/password.log")" -eq 1 ]
tool press "$kBoxTitle" 1 >/dev/null  # the first answer is a refusal
sleep 1
e2e_check "the refusal leaves the saver running" kill -0 "$saver_pid"
e2e_screenshot "$e2e_work/refused.png"
e2e_check "with the second head still covered" two_monitors_blank "$e2e_work/refused.png" "$kSecondHead"
e2e_check "by the same window" [ -n "$(covers)" ]
xdotool click 1
e2e_check "the next click asks again" wait_for_box
tool press "$kBoxTitle" 1 >/dev/null  # accepted
e2e_check "the acceptance ends the saver with exit code 0" e2e_ended_with "$saver_pid" 3000 0

e2e_checks_done "the saver covered both monitors and ended on input at either"
