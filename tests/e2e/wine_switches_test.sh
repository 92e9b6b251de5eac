#!/usr/bin/env bash
# The real saver's switches from the real command line under Wine:
#   - /s, -s, /S and a bare s run full screen (and a key press ends each with exit code 0);
#   - /p 1234 with no such window, /p:1234, a bare /p and /p 0 show nothing and exit 0;
#   - /a with no window runs the password change (Wine has no MPR password change, so
#     nothing shows) and exits 0;
#   - a full-screen run shows as many discs as the settings file says.
#
#   wine_switches_test.sh <Varbule.scr> <window_probe.exe>
set -euo pipefail
scr=$(realpath "$1")
probe=$(realpath "$2")
source "$(dirname "${BASH_SOURCE[0]}")/wine_e2e_common.sh"


# start <run> <switch...>: the saver started in a directory of the run's name, with a
# probe watching for its window; saver_pid and the probe's result file are set.
start() {
    run=$1
    shift
    dir="$e2e_work/$run"
    mkdir -p "$dir"
    e2e_probe_start "$probe" WindowsScreenSaverClass SCREENSAVER "${probe_wait_ms:-20000}" "$dir/window.txt"
    (cd "$dir" && exec "$e2e_wine_run" "$e2e_arch" "$scr" "$@" >"$dir/saver.out" 2>&1) &
    saver_pid=$!
    e2e_started "$saver_pid"
    e2e_track "$saver_pid" "the saver ($run)" "$dir/saver.out"
}

e2e_setup
e2e_start_xvfb
e2e_wine_warmup "$probe"

for switch in /s -s /S s; do
    xdotool mousemove 300 300
    start "save$switch" "$switch"
    wait "$e2e_probe_pid" || true
    e2e_check "$switch: a full-screen saver window" [ "$(e2e_value "$dir/window.txt" found)" = 1 ]
    e2e_check "$switch: it covers the screen" [ "$(e2e_value "$dir/window.txt" client)" = "1024 768" ]
    e2e_check "$switch: it draws" e2e_within 10 e2e_drawing "$dir/shot.png"
    xdotool key a
    e2e_check "$switch: a key press ends it with exit code 0" e2e_ended_with "$saver_pid" "$(e2e_bound_ms 3)" 0
done

# These show nothing: the probe looks for a window while the saver runs and ends.
probe_wait_ms=4000
for line in "/p 1234" "/p:1234" "/p" "/p 0"; do
    # shellcheck disable=SC2086 # the line is the words of a command line
    start "preview-${line//[ :\/]/_}" $line
    e2e_check "$line: exits 0 at once" e2e_ended_with "$saver_pid" "$(e2e_bound_ms 10)" 0
    wait "$e2e_probe_pid" || true
    e2e_check "$line: no saver window appeared" [ "$(e2e_value "$dir/window.txt" found)" = 0 ]
done

start password /a
e2e_check "/a: the password change exits 0" e2e_ended_with "$saver_pid" "$(e2e_bound_ms 20)" 0
wait "$e2e_probe_pid" || true
e2e_check "/a: no saver window" [ "$(e2e_value "$dir/window.txt" found)" = 0 ]

# The stored count is the number of discs on screen.
probe_wait_ms=20000
for count in 16 64; do
    mkdir -p "$e2e_work/count-$count"
    head -c 512 /dev/zero >"$e2e_work/count-$count/Varbule.ini"
    printf "\\$(printf %03o "$count")" | dd of="$e2e_work/count-$count/Varbule.ini" bs=1 seek=1 conv=notrunc 2>/dev/null
    start "count-$count" /s
    wait "$e2e_probe_pid" || true
    e2e_check "count $count: as many discs as stored" e2e_within 5 e2e_shows_discs "$dir/shot.png" "$count"
    xdotool key a
    e2e_check "count $count: ends with exit code 0" e2e_ended_with "$saver_pid" "$(e2e_bound_ms 3)" 0
done

e2e_checks_done "all switch checks passed"
