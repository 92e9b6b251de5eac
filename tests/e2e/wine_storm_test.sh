#!/usr/bin/env bash
# Storms of random keys, buttons and pointer moves at the real saver under Wine
# (VARBULES_STORM_SECONDS each, 10 unless told):
#   - full screen: the first input ends it with exit code 0, whatever follows meanwhile;
#   - a preview inside another process's window: it stays up and keeps its window
#     throughout, and still ends with exit code 0 when that window is destroyed;
#   - the settings dialog, stormed with everything but what means OK (Return, the space
#     bar, clicks on the buttons): it stays up, and OK afterwards stores a count it offers.
#
#   wine_storm_test.sh <Varbule.scr> <window_probe.exe> <preview_driver.exe> <desktop_tool.exe>
set -euo pipefail
scr=$(realpath "$1")
probe=$(realpath "$2")
driver=$(realpath "$3")
tool=$(realpath "$4")
source "$(dirname "${BASH_SOURCE[0]}")/wine_e2e_common.sh"

seconds=${VARBULES_STORM_SECONDS:-10}
storm() { "$e2e_root/tests/e2e/input_storm.sh" "$@"; }

e2e_setup
e2e_start_xvfb
e2e_wine_warmup "$probe"

# --- full screen --------------------------------------------------------------------
dir="$e2e_work/fullscreen"
mkdir -p "$dir"
xdotool mousemove 500 400
e2e_full_screen "$probe" "$dir" "$scr"
e2e_within 10 e2e_drawing "$dir/drawing.png" || e2e_fail "the saver does not draw"
storm 3 0 0 1024 768 &
storm_pid=$!
e2e_check "full screen: the storm ends it with exit code 0" e2e_ended_with "$saver_pid" "$(e2e_bound_ms 3)" 0
wait "$storm_pid"

# --- a preview in another process's window -------------------------------------------
dir="$e2e_work/preview"
mkdir -p "$dir"
result="$dir/result.txt"
(cd "$dir" && VARBULES_E2E_FACTOR=$(e2e_factor) exec timeout "$(e2e_bound 120)" "$e2e_wine_run" "$e2e_arch" "$driver" "$(e2e_winpath "$scr")" "$(e2e_winpath "$result")" \
    hold $((seconds * 1000 + 2000)) >"$dir/driver.out" 2>&1) &
driver_pid=$!
e2e_started "$driver_pid"
holding() {
    e2e_alive "$driver_pid" || return 0  # nothing more to wait for
    grep -q '^note: holding' "$result" 2>/dev/null || { echo "the preview is not up yet" >&2; return 1; }
}
e2e_within 20 holding || true
grep -q '^note: holding' "$result" 2>/dev/null || e2e_fail "the preview never came up: $(cat "$result" 2>/dev/null)"
# The storm stays inside the host's client area, where the saver's window is: the host's
# own frame and Alt+F4 would close the host, which ends a preview as it should, and F10
# or Alt would put the host into its menu, where this driver would wait for the user.
read -r cx cy cw ch <<<"$(sed -n 's/^note: holding, the client area at //p' "$result")"
xdotool mousemove $((cx + cw / 2)) $((cy + ch / 2)) mousedown 1 mouseup 1
storm "$seconds" "$cx" "$cy" "$cw" "$ch" a q z 1 7 space Return Escape Tab BackSpace Delete Left Right Up Down \
    Home F1 F5 shift+a ctrl+c Shift_L Control_L
rc=0
wait "$driver_pid" || rc=$?
sed 's/^/  preview: /' "$result"
e2e_check "preview: it outlasts the storm and ends with its window (driver exit $rc)" [ "$rc" = 0 ]

# --- the settings dialog --------------------------------------------------------------
dir="$e2e_work/dialog"
mkdir -p "$dir"
e2e_probe_start "$probe" '#32770' Setting 20000 "$dir/window.txt"
(cd "$dir" && exec "$e2e_wine_run" "$e2e_arch" "$scr" /c >"$dir/saver.out" 2>&1) &
dialog_pid=$!
e2e_started "$dialog_pid"
e2e_track "$dialog_pid" "the settings dialog" "$dir/saver.out"
wait "$e2e_probe_pid" || e2e_fail "no settings dialog: $(cat "$dir/saver.out")"
read -r left top right bottom <<<"$(e2e_value "$dir/window.txt" rect)"
echo "dialog at $left,$top to $right,$bottom"
# The count buttons fill the left two thirds of the dialog; OK and the help button stand
# at its right, out of the pointer's reach. Keys that would press a button are left out.
storm "$seconds" "$((left + 4))" "$((top + 26))" "$(((right - left) * 3 / 5))" "$((bottom - top - 30))" \
    a q z 1 7 Escape Tab shift+Tab BackSpace Left Right Up Down Home End alt+F4 Shift_L
e2e_check "dialog: still up after the storm" e2e_alive "$dialog_pid"
e2e_probe_start "$probe" '#32770' Setting 2000 "$dir/window-after.txt"
wait "$e2e_probe_pid" || true
e2e_check "dialog: its window still shows" [ "$(e2e_value "$dir/window-after.txt" found)" = 1 ]
"$e2e_wine_run" "$e2e_arch" "$tool" press Setting 1 "$(e2e_winpath "$dir/press.txt")" >/dev/null 2>&1 || true
e2e_check "dialog: OK ends it with exit code 0" e2e_ended_with "$dialog_pid" "$(e2e_bound_ms 5)" 0
# It stores the count in the user's own settings file.
count=$(od -An -tu1 -j1 -N1 "$e2e_own_settings/Varbule.ini" 2>/dev/null | tr -d ' ' || true)
e2e_check "dialog: it stored a count it offers, 512 bytes ($count)" \
    bash -c '[ "$(stat -c %s "$1")" = 512 ] && case $2 in 16 | 32 | 64) true ;; *) false ;; esac' _ "$e2e_own_settings/Varbule.ini" "$count"

e2e_checks_done "all storm checks passed"
