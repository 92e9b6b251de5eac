#!/usr/bin/env bash
# The real saver under Wine, started where things are not as they should be; each start
# has a clear outcome within a bounded time:
#   - a current directory that is gone: Wine starts the program in the Windows directory,
#     and the saver runs with the count a new process has (32 discs);
#   - Varbule.ini a directory: it is not read, and the saver runs with 32 discs;
#   - Varbule.ini a named pipe with no writer: Wine opens it without waiting and reads
#     nothing from it, as from an empty file, so the count is 0 and the saver runs with
#     64 discs (Windows itself has no pipes among a directory's files);
#   - a preview asked into a window that was destroyed just before: the saver ends by
#     itself with exit code 0, showing nothing.
# Each full-screen run then ends on a key press with exit code 0.
#
#   wine_hostile_test.sh <Varbule.scr> <window_probe.exe> <preview_driver.exe>
set -euo pipefail
scr=$(realpath "$1")
probe=$(realpath "$2")
driver=$(realpath "$3")
source "$(dirname "${BASH_SOURCE[0]}")/wine_e2e_common.sh"

# full_screen <run> <directory> <discs> [gone]: the saver started there (with "gone",
# the directory is removed once the saver's shell stands in it); checks its window, that
# it shows that many discs, and its end.
full_screen() {
    local run=$1 dir=$2 discs=$3 remove=${4:-} out="$e2e_work/$1"
    mkdir -p "$out"
    xdotool mousemove 500 400
    e2e_probe_start "$probe" WindowsScreenSaverClass SCREENSAVER 20000 "$out/window.txt"
    (cd "$dir" && { [ -z "$remove" ] || rmdir "$dir"; } && exec "$e2e_wine_run" "$e2e_arch" "$scr" /s \
        >"$out/saver.out" 2>&1) &
    saver_pid=$!
    e2e_started "$saver_pid"
    e2e_track "$saver_pid" "the saver ($run)" "$out/saver.out"
    wait "$e2e_probe_pid" || true
    e2e_check "$run: a full-screen window within 20 s" [ "$(e2e_value "$out/window.txt" found)" = 1 ]
    e2e_check "$run: $discs discs" e2e_within 5 e2e_shows_discs "$out/shot.png" "$discs"
    xdotool key a
    e2e_check "$run: a key press ends it with exit code 0" e2e_ended_with "$saver_pid" "$(e2e_bound_ms 3)" 0
}

e2e_setup
e2e_start_xvfb
e2e_wine_warmup "$probe"

mkdir -p "$e2e_work/gone"
full_screen gone-directory "$e2e_work/gone" 32 gone

mkdir -p "$e2e_work/ini-directory/Varbule.ini"
full_screen ini-directory "$e2e_work/ini-directory" 32
e2e_check "ini-directory: the directory is left as it was" [ -d "$e2e_work/ini-directory/Varbule.ini" ]

mkdir -p "$e2e_work/ini-pipe"
mkfifo "$e2e_work/ini-pipe/Varbule.ini"
full_screen ini-pipe "$e2e_work/ini-pipe" 64
e2e_check "ini-pipe: the pipe is left as it was" [ -p "$e2e_work/ini-pipe/Varbule.ini" ]

result="$e2e_work/preview-gone.txt"
rc=0
VARBULES_E2E_FACTOR=$(e2e_factor) timeout $(e2e_bound 60) "$e2e_wine_run" "$e2e_arch" "$driver" "$(e2e_winpath "$scr")" "$(e2e_winpath "$result")" gone \
    >"$e2e_work/driver.out" 2>&1 || rc=$?
sed 's/^/  preview-gone: /' "$result" 2>/dev/null || true
e2e_check "preview-gone: the saver ends by itself with exit code 0, showing nothing (driver exit $rc)" [ "$rc" = 0 ]

e2e_checks_done "all hostile start checks passed"
