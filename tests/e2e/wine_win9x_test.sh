#!/usr/bin/env bash
# The Windows 9x password check, with Wine reporting Windows 98 to the saver and a
# PASSWORD.CPL of our own beside it (it refuses once, then accepts):
#   - with "ScreenSaveUsePassword" 1: a key press opens one password dialog; more input
#     meanwhile opens no second one; the refusal leaves the saver running; the next key
#     press asks again; the acceptance ends it with exit code 0. The system hears that a
#     saver runs while it runs, and that none runs afterwards.
#   - with the value 0, or none: a key press ends the saver at once.
#   - a storm of random input while the verifier keeps refusing: the saver never asks
#     twice at once and never closes itself; once the verifier accepts, the next check
#     ends it with exit code 0. A storm's key that reaches Wine's desktop window as a
#     close (Alt+F4 there) ends the whole session, and every program in it: only a run
#     whose end a sentinel window of the test's own saw the session end for is thrown
#     away and the storm run again on a new saver, up to twice; any other end fails.
#   - the session ending while a check is open (SC_CLOSE posted to the desktop window):
#     the saver window is asked (WM_QUERYENDSESSION, while the check runs) and the
#     session ends, the saver with it, without closing itself or answering the check.
#
#   wine_win9x_test.sh <Varbule.scr> <window_probe.exe> <desktop_tool.exe> <PASSWORD.CPL>
#                      <session_sentinel.exe>
set -euo pipefail
scr=$(realpath "$1")
probe=$(realpath "$2")
tool=$(realpath "$3")
cpl=$(realpath "$4")
sentinel=$(realpath "$5")
source "$(dirname "${BASH_SOURCE[0]}")/wine_e2e_common.sh"

readonly kBoxTitle="Varbules test password"

tool() { e2e_tool "$tool" "$@"; }
boxes() { tool count "$kBoxTitle" | sed -n 's/^count=//p'; }
running() { tool running | sed -n 's/^running=//p'; }
registry() { e2e_win9x_password "$1"; }

start() {  # start <run>: the saver, with the password module beside it
    run=$1
    dir="$e2e_work/$run"
    mkdir -p "$dir"
    cp "$scr" "$dir/Varbule.scr"
    cp "$cpl" "$dir/PASSWORD.CPL"
    log="$dir/password.log"
    VARBULES_PASSWORD_LOG=$(e2e_winpath "$log") e2e_full_screen "$probe" "$dir" "$dir/Varbule.scr"
    # Input reaches the saver once it has its first input state: when it draws.
    e2e_within 10 drawing || e2e_fail "[$run] the saver does not draw"
}
drawing() { e2e_screenshot "$dir/drawing.png" && [ "$(e2e_disc_colours "$dir/drawing.png")" -ge 5 ]; }

# press_ok: OK on the password box, which must be there to press.
press_ok() {
    local said
    said=$(tool press "$kBoxTitle" 1)
    [[ $said == *found=1* ]] || { echo "no password box to press (${said:-no answer}; $(tr '\n' ' ' <"$e2e_work/tool.out"))" >&2; return 1; }
}
boxes_are() { [ "$(boxes)" = "$1" ] || { echo "$(boxes) password boxes, not $1" >&2; return 1; }; }
wait_for_boxes() { e2e_within 5 boxes_are "$1"; }

# start_sentinel <log>: the session's witness (session_sentinel.cpp), running once this
# returns; session_ended tells whether it saw the session end.
start_sentinel() {
    sentinel_log=$1
    rm -f "$sentinel_log" "$sentinel_log.ready"
    "$e2e_wine_run" "$e2e_arch" "$sentinel" "$(e2e_winpath "$sentinel_log")" "$(e2e_winpath "$sentinel_log.ready")" \
        >"$sentinel_log.out" 2>&1 &
    e2e_started $!
    e2e_within 20 test -e "$sentinel_log.ready" || e2e_fail "the session sentinel did not start: $(cat "$sentinel_log.out")"
}
session_ended() { grep -q '^end_session=1' "$sentinel_log" 2>/dev/null || { echo "the sentinel saw no end of the session" >&2; return 1; }; }


e2e_setup
e2e_start_xvfb
e2e_wine_warmup "$probe"

registry "dword:00000001"
xdotool mousemove 300 300
start password-on
e2e_check "the system hears that a saver runs" [ "$(running)" = 1 ]

xdotool key a
e2e_check "a key press opens the password dialog" wait_for_boxes 1
xdotool key b
xdotool mousemove_relative 7 7
# Held for half a second (more on a busy machine): a second box would come meanwhile.
e2e_hold 0.5
e2e_check "more input meanwhile opens no second dialog" [ "$(boxes)" = 1 ]
e2e_check "the verifier was asked once" [ "$(grep -c '^call=' "$log")" -eq 1 ]
e2e_check "OK is pressed on the box (the first answer is a refusal)" press_ok
answered() { grep -q '^answered=1' "$log" || { echo "the verifier has not answered" >&2; return 1; }; }
e2e_check "the verifier answered" e2e_within 5 answered
e2e_check "and its dialog went" wait_for_boxes 0
e2e_hold 0.5
e2e_check "the refusal leaves the saver running" e2e_alive "$saver_pid"

xdotool key a
e2e_check "the next key press asks again" wait_for_boxes 1
e2e_check "OK is pressed on the box again (the answer is acceptance)" press_ok
accepted() { grep -q '^answered=2 accepted=1' "$log" || { echo "the verifier's log: $(tr '\n' ' ' <"$log")" >&2; return 1; }; }
e2e_check "the verifier accepted" e2e_within 5 accepted
e2e_check "the acceptance ends the saver with exit code 0" e2e_ended_with "$saver_pid" "$(e2e_bound_ms 3)" 0
e2e_check "the verifier was asked twice, with the saver window as owner" \
    [ "$(grep -c 'owner_is_window=1' "$log")" -eq 2 ]
e2e_check "the system heard a saver running during each check" [ "$(grep -c 'running=1' "$log")" -eq 2 ]
e2e_check "and hears that none runs afterwards" [ "$(running)" = 0 ]

for setting in "dword:00000000" "-"; do
    registry "$setting"
    xdotool mousemove 300 300
    start "password-$setting"
    xdotool key a
    e2e_check "ScreenSaveUsePassword $setting: a key press ends the saver with exit code 0" \
        e2e_ended_with "$saver_pid" "$(e2e_bound_ms 2)" 0
    e2e_check "ScreenSaveUsePassword $setting: no password asked" [ ! -s "$log" ]
done

# Each check answered before the next began, every answer a refusal but the last.
checks_one_at_a_time() {
    awk -F'[= ]' '
        /^call=/ { if (open) bad = 1; open = 1; n = $2 }
        /^answered=/ { if (!open || $2 != n) bad = 1; open = 0; last = $4; if (!last) refusals++ }
        END { exit bad || open || last != 1 || refusals < 1 }' "$1"
}

# storm_until_over: storms the saver for a while and tells how it went: 0 when it still
# runs, 2 when the session ended under it, 1 when it ended any other way. A saver that
# closes itself stops its animation thread, which then writes the frame log; one that
# the session ends (Wine ends every program of a session that ends: see e2e_ended_by_wine
# for its exit codes) writes nothing, and the sentinel, started before the storm, saw the
# session end.
storm_until_over() {
    local storm_pid n rc=0
    start "$1"
    start_sentinel "$dir/sentinel.log"
    "$e2e_root/tests/e2e/input_storm.sh" "${VARBULES_STORM_SECONDS:-10}" 0 0 1024 768 &
    storm_pid=$!
    e2e_started "$storm_pid"
    while e2e_alive "$storm_pid"; do
        e2e_alive "$saver_pid" || break
        n=$(boxes)
        [ "${n:-0}" -gt "$most_boxes" ] && most_boxes=$n
    done
    wait "$storm_pid" || true
    e2e_alive "$saver_pid" && return 0
    wait "$saver_pid" || rc=$?
    e2e_reaped "$saver_pid" "$rc"
    echo "the saver ended during the storm with exit code $rc; the verifier's last lines: $(tail -2 "$log" | tr '\n' ' ')"
    cat "$dir/saver.out"
    if [ -s "$dir/frames.txt" ]; then
        echo "it closed itself: it wrote its frame log ($(cat "$dir/frames.txt"))"
        return 1
    fi
    e2e_within 5 session_ended || { echo "and no session ended: it did not close itself, yet it ended"; return 1; }
    echo "the session ended: the sentinel saw $(tr '\n' ' ' <"$sentinel_log")(wineserver: $(e2e_wineserver_pid || echo gone))"
    return 2
}

registry "dword:00000001"
xdotool mousemove 300 300
flag="$e2e_work/accept.flag"
export VARBULES_PASSWORD_ACCEPT_FLAG VARBULES_FRAME_LOG
VARBULES_PASSWORD_ACCEPT_FLAG=$(e2e_winpath "$flag")
most_boxes=0
for try in 1 2 3; do
    VARBULES_FRAME_LOG=$(e2e_winpath "$e2e_work/password-storm-$try/frames.txt")
    outcome=0
    storm_until_over "password-storm-$try" || outcome=$?
    [ "$outcome" = 2 ] || break
    echo "storming a new saver, since the session's end proves nothing of this one"
done
e2e_check "no end of the saver during the storm but the session's" [ "$outcome" != 1 ]
unset VARBULES_FRAME_LOG
e2e_check "the saver outlasts a storm of input while the verifier refuses" e2e_alive "$saver_pid"
e2e_check "never more than one password dialog at a time (most seen: $most_boxes)" [ "$most_boxes" -le 1 ]
# The storm may have left a check open, or just closed one: answer_until ANSWER answers
# checks, asking for one when none is open, until the verifier's last answer is ANSWER
# (accepted=0, a refusal; accepted=1). A storm's F10 or Alt can put the test double's
# message box into its system menu's keyboard mode before the box was first shown; it
# then stays hidden and deaf to a posted OK until Escape ends that mode, as it would for
# a user.
answer_until() {
    local deadline=$(( $(e2e_now_ms) + $(e2e_bound_ms 8) ))
    while [ "$(e2e_now_ms)" -lt "$deadline" ]; do
        tail -1 "$log" | grep "$1" >/dev/null && return 0
        e2e_alive "$saver_pid" || { echo "the saver ended before the answer $1"; return 1; }
        if tail -1 "$log" | grep '^call=' >/dev/null; then
            if tool count "$kBoxTitle" | grep '^hidden=1' >/dev/null; then
                echo "the password box is hidden: ending its menu mode"
                xdotool key Escape
                sleep 0.3
            fi
            tool press "$kBoxTitle" 1 >/dev/null
        else
            xdotool mousemove_relative 3 3 key a
        fi
        sleep 0.3
    done
    tail -1 "$log" | grep "$1" >/dev/null && return 0
    echo "no answer $1; dialogs: $(tool count "$kBoxTitle" | tr '\n' ' '); the verifier's last lines: $(tail -2 "$log" | tr '\n' ' ')"
    return 1
}
# The storm's input answers a check only when it happens to hit the box; on a busy
# machine it may hit none. A refusal the storm did not make is asked for, so that every
# run sees refusals leave the stormed saver running before one acceptance ends it.
if ! grep '^answered=.* accepted=0' "$log" >/dev/null; then
    e2e_check "a check after the storm is refused, and the saver runs on" answer_until 'accepted=0'
    e2e_check "the refusal leaves the stormed saver running" e2e_alive "$saver_pid"
fi
touch "$flag"
e2e_check "once the verifier accepts, a check is answered with acceptance" answer_until 'accepted=1'

e2e_check "the acceptance ends the saver with exit code 0" e2e_ended_with "$saver_pid" "$(e2e_bound_ms 3)" 0
e2e_check "the verifier answered $(grep -c '^call=' "$log") checks one at a time, refusing all but the last" \
    checks_one_at_a_time "$log"

# The session ends while a check is open, as a stray Alt+F4 on Wine's desktop window makes
# it: the saver window is asked whether the session may end, while the check runs, and
# agrees (a session's end lets nobody in, and a saver that refused would hold up every
# shutdown); the session ends, and the saver with it, without closing itself (no frame
# log) and without the check answered.
rm -f "$flag"
export VARBULES_FRAME_LOG
VARBULES_FRAME_LOG=$(e2e_winpath "$e2e_work/session-end/frames.txt")
start session-end
start_sentinel "$dir/sentinel.log"
xdotool key a
e2e_check "a key press opens the password dialog" wait_for_boxes 1
tool close-desktop >/dev/null
e2e_check "SC_CLOSE on the desktop window ends the session (the sentinel saw it)" e2e_within 10 session_ended
e2e_check "the saver window was asked during the open check" grep -q '^query_end_session=1$' "$log"
e2e_check "the session's end ended the saver" e2e_ended_by_wine "$saver_pid" "$(e2e_bound_ms 10)" "$dir/saver.out"
e2e_check "the saver did not close itself (no frame log)" [ ! -e "$e2e_work/session-end/frames.txt" ]
e2e_check "the check was never answered" [ "$(grep -c '^answered=' "$log")" = 0 ]
echo "the verifier's log of that run: $(tr '\n' ' ' <"$log")"
unset VARBULES_FRAME_LOG
# What is left of that session goes; the next test starts a new one.
e2e_wineserver_kill

e2e_checks_done "all Windows 9x password checks passed"
