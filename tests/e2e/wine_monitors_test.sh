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
for pid in "${two_monitors_pids[@]}"; do e2e_started "$pid"; done
[ "$started" = 1 ] || e2e_fail "no two monitors"
e2e_wine_warmup "$probe"
# Wine takes the monitors from the display when its desktop starts there; the first
# program on a new display may still be told of the last one.
two_monitors_reported() {
    local monitors
    monitors=$(tool monitors | sed -n 's/^monitor=//p' | tr '\n' ',')
    [ "$monitors" = "0 0 1024 768 primary,1024 0 1824 600," ] || { echo "Wine reports the monitors as '$monitors'" >&2; return 1; }
    echo "$monitors"
}
monitors=$(e2e_within 10 two_monitors_reported) || e2e_fail "not two monitors"
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
    e2e_within 5 covered_on_screen "$dir/covered.png" || e2e_fail "[$run] no window covers the second head"
}
# A window of ours over the second head, which shows all background there: input on that
# head reaches the saver.
covered_on_screen() {
    [ -n "$(covers)" ] || { echo "no cover window" >&2; return 1; }
    e2e_screenshot "$1"
    two_monitors_blank "$1" "$kSecondHead" || { echo "the second head is not all background" >&2; return 1; }
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
# The picture once both overlays show (the first frames may be on their way still).
both_overlays() {
    e2e_screenshot "$1"
    [ "$(two_monitors_white "$1" 400x16+0+0)" -gt 20 ] && [ "$(two_monitors_white "$1" 500x30+524+738)" -gt 20 ] &&
        e2e_about_discs "$(two_monitors_disc_colours "$1" "$kPrimaryHead")" 32 ||
        { echo "the overlays and 32 discs do not all show on the primary in $1" >&2; return 1; }
}
start picture
e2e_within 10 both_overlays "$e2e_work/two.png" || true
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
e2e_check "a key press with the pointer on the second head ends it with exit code 0" \
    e2e_ended_with "$saver_pid" "$(e2e_bound_ms 2)" 0
e2e_check "and the covering window is gone" [ -z "$(covers)" ]

start click
xdotool click 1
e2e_check "a click on the second head ends it with exit code 0" e2e_ended_with "$saver_pid" "$(e2e_bound_ms 2)" 0

start move
xdotool mousemove_relative 1 0
e2e_check "a one-pixel move on the second head ends it with exit code 0" \
    e2e_ended_with "$saver_pid" "$(e2e_bound_ms 2)" 0

e2e_win9x_password "dword:00000001"
start password password
xdotool click 1
one_box() { [ "$(boxes)" = 1 ] || { echo "$(boxes) password boxes" >&2; return 1; }; }
wait_for_box() { e2e_within 5 one_box; }
e2e_check "a click on the second head opens the password box" wait_for_box
xdotool click 1 mousemove_relative 5 5 key b
# Held for half a second (more on a busy machine): a second box would come meanwhile.
e2e_hold 0.5
e2e_check "more input there opens no second box" [ "$(boxes)" = 1 ]
e2e_check "the verifier was asked once" [ "$(grep -c '^call=' "$dir/password.log")" -eq 1 ]
tool press "$kBoxTitle" 1 >/dev/null  # the first answer is a refusal
no_box() { [ "$(boxes)" = 0 ] && grep -q '^answered=1' "$dir/password.log" || { echo "the box is still up" >&2; return 1; }; }
e2e_check "the refusal is answered and its box goes" e2e_within 5 no_box
e2e_check "the refusal leaves the saver running" e2e_alive "$saver_pid"
e2e_check "with the second head still covered" e2e_within 5 covered_on_screen "$e2e_work/refused.png"
e2e_check "by the same window" [ -n "$(covers)" ]
xdotool click 1
e2e_check "the next click asks again" wait_for_box
tool press "$kBoxTitle" 1 >/dev/null  # accepted
e2e_check "the acceptance ends the saver with exit code 0" e2e_ended_with "$saver_pid" "$(e2e_bound_ms 3)" 0

e2e_checks_done "the saver covered both monitors and ended on input at either"
