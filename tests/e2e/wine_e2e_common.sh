# Shared by the Wine end-to-end tests and tools/measure-wine-saver; sourced, never run.
#
# e2e_setup makes a temporary work directory and sets a trap that, whatever happens, ends
# the programs started here and the X server, and removes the directory (set
# VARBULES_E2E_KEEP=1 to keep it for a look at the screenshots). The prefix's wineserver
# and services serve the next test too, unless this one failed.
# Windows programs run through tools/wine-run for VARBULES_WINE_ARCH (win32 unless told;
# CTest says win64 for the 64-bit build), in VARBULES_WINEPREFIX when that is set (CTest
# gives the end-to-end tests a prefix of their own), else in build/wine-<arch>.

source "$(dirname "${BASH_SOURCE[0]}")/errexit_report.sh"
source "$(dirname "${BASH_SOURCE[0]}")/deadlines.sh"
source "$(dirname "${BASH_SOURCE[0]}")/crash_report.sh"
source "$(dirname "${BASH_SOURCE[0]}")/screen_shots.sh"

e2e_root=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
e2e_wine_run="$e2e_root/tools/wine-run"
e2e_arch=${VARBULES_WINE_ARCH:-win32}
export VARBULES_WINEPREFIX=${VARBULES_WINEPREFIX:-$e2e_root/build/wine-$e2e_arch}
e2e_work=
e2e_xvfb_pid=
# The folder of the prefix user's own settings file (APPDATA\Varbules); every test starts
# without one, as a new user would.
e2e_own_settings="$VARBULES_WINEPREFIX/drive_c/users/$(id -un)/AppData/Roaming/Varbules"
e2e_pids=()

# e2e_started PID: a program the test started in the background, ended when the test
# ends if it still runs.
e2e_started() {
    e2e_pids+=("$1")
    e2e_spawned "$1"
}

e2e_log() { printf '[%s] %s\n' "$(date +%T.%3N)" "$*"; }

e2e_fail() {
    printf 'FAIL: %s\n' "$*" >&2
    exit 1
}

# The Windows path of a Unix path: Wine maps drive Z: to /.
e2e_winpath() {
    local p
    p=$(realpath -m "$1")
    printf 'Z:%s' "${p//\//\\}"
}

e2e_wineserver_kill() {
    WINEPREFIX=$VARBULES_WINEPREFIX wineserver -k >/dev/null 2>&1 || true
}

# The pid of the prefix's wineserver: the one working in the directory named after the
# prefix's device and inode.
e2e_wineserver_pid() {
    local id pid
    id=$(printf 'server-%x-%x' $(stat -c '%d %i' "$VARBULES_WINEPREFIX"))
    for pid in $(pgrep wineserver); do
        case $(readlink "/proc/$pid/cwd" 2>/dev/null) in */"$id") echo "$pid"; return 0 ;; esac
    done
    return 1
}

# The prefix's Windows processes still running, other than Wine's own services and
# desktop (under emulation each one is the emulator's process).
e2e_wine_strays() {
    local f pid
    { grep -l -z -x "WINEPREFIX=$VARBULES_WINEPREFIX" /proc/[0-9]*/environ 2>/dev/null || true; } | while read -r f; do
        pid=${f#/proc/}
        pid=${pid%/environ}
        case $(readlink "/proc/$pid/exe" 2>/dev/null) in */wineserver*) continue ;; */wine*|*/qemu-i386*) ;; *) continue ;; esac
        tr '\0' ' ' <"/proc/$pid/cmdline" 2>/dev/null |
            grep -qiE '\\(services|winedevice|plugplay|svchost|rpcss|explorer)\.exe' && continue
        echo "$pid"
    done
}

e2e_cleanup() {
    local rc=$?
    trap - EXIT INT TERM
    local pid status
    # Only a program still running is signalled: the pid of one that ended may be
    # another's by now.
    for pid in "${e2e_pids[@]}"; do
        ! e2e_alive "$pid" || kill "$pid" 2>/dev/null || true
    done
    for pid in "${e2e_pids[@]}"; do
        status=0
        wait "$pid" 2>/dev/null || status=$?
        e2e_reaped "$pid" "$status"
    done
    rc=$(e2e_crash_status "$rc")
    # The prefix's wineserver, services and desktop stay for the next test (tools/wine-run
    # lets them linger), unless the test failed or left a program of the prefix running
    # (one that a program of the test started): then they all end here.
    local waited strays=
    for waited in $(seq 1 20); do
        strays=$(e2e_wine_strays)
        [ -z "$strays" ] && break
        sleep 0.1
    done
    if [ "$rc" -ne 0 ] || [ -n "$strays" ]; then
        e2e_wineserver_kill
    fi
    if [ -n "$e2e_xvfb_pid" ]; then
        ! e2e_alive "$e2e_xvfb_pid" || kill "$e2e_xvfb_pid" 2>/dev/null || true
        status=0
        wait "$e2e_xvfb_pid" 2>/dev/null || status=$?
        e2e_reaped "$e2e_xvfb_pid" "$status"
        rc=$(e2e_crash_status "$rc")
    fi
    wait 2>/dev/null || true
    if [ -n "$e2e_work" ]; then
        if [ "${VARBULES_E2E_KEEP:-0}" = 1 ]; then
            echo "work directory kept: $e2e_work"
        else
            rm -rf "$e2e_work"
        fi
    fi
    exit "$rc"
}

e2e_setup() {
    # A machine that cannot run this build's programs at all skips the test (exit 77).
    local rc=0
    "$e2e_wine_run" "$e2e_arch" --version >/dev/null 2>&1 || rc=$?
    [ "$rc" -ne 77 ] || { echo "skipped: $e2e_arch programs cannot run under Wine on this machine"; exit 77; }
    e2e_work=$(mktemp -d "${TMPDIR:-/tmp}/varbules-e2e.XXXXXX")
    trap e2e_cleanup EXIT
    trap 'exit 130' INT TERM
    rm -rf "$e2e_own_settings"
}

# Starts Xvfb at 1024x768x24 on a free display and exports DISPLAY. The server picks the
# display itself and names it once it listens, so tests started at the same moment (two
# builds' suites run side by side) never take the same one. It never resets, as the X11
# tests' servers do not: when its last client goes (a saver ended, Wine's desktop gone
# with its session) it stays as it was for the next.
e2e_start_xvfb() {
    rm -f "$e2e_work/xvfb.display"
    Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp -noreset 3>"$e2e_work/xvfb.display" 2>"$e2e_work/xvfb.log" &
    e2e_xvfb_pid=$!
    e2e_track "$e2e_xvfb_pid" Xvfb "$e2e_work/xvfb.log"
    local waited
    for waited in $(seq 1 100); do
        [ -s "$e2e_work/xvfb.display" ] && break
        e2e_alive "$e2e_xvfb_pid" || break
        sleep 0.05
    done
    [ -s "$e2e_work/xvfb.display" ] || e2e_fail "could not start Xvfb: $(tail -3 "$e2e_work/xvfb.log" 2>/dev/null)"
    export DISPLAY=":$(head -1 "$e2e_work/xvfb.display")"
    local geometry
    geometry=$(xdotool getdisplaygeometry)
    [ "$geometry" = "1024 768" ] || e2e_fail "Xvfb screen is $geometry, not 1024 768"
}

# Makes the prefix if it is new (that takes a while once) and starts its wineserver, so
# the timed parts that follow measure the program and not Wine's first start. Every test
# starts with Wine telling the saver of Windows NT, as a new prefix does, whatever mode
# the test before it left behind.
e2e_wine_warmup() {
    local probe=$1
    "$e2e_wine_run" "$e2e_arch" "$probe" VarbulesNoSuchClass none 1 "$(e2e_winpath "$e2e_work/warmup.txt")" \
        >"$e2e_work/warmup.out" 2>&1 || true
    grep -q '^found=0' "$e2e_work/warmup.txt" 2>/dev/null ||
        e2e_fail "the window probe does not run under Wine: $(cat "$e2e_work/warmup.out")"
    e2e_win9x_off
}

# e2e_probe_start <probe> <class> <title> <timeout ms> <result file>: starts the window
# probe in the background and returns once it runs; its pid is in e2e_probe_pid. The
# probe looks for the window that long times the load factor.
e2e_probe_start() {
    local probe=$1 class=$2 title=$3 timeout=$(( $4 * $(e2e_factor) )) result=$5
    local ready="$result.ready"
    rm -f "$result" "$ready"
    "$e2e_wine_run" "$e2e_arch" "$probe" "$class" "$title" "$timeout" "$(e2e_winpath "$result")" "$(e2e_winpath "$ready")" \
        >"$result.out" 2>&1 &
    e2e_probe_pid=$!
    e2e_started "$e2e_probe_pid"
    local deadline=$(( $(e2e_now_ms) + $(e2e_bound_ms 10) ))
    while [ "$(e2e_now_ms)" -lt "$deadline" ]; do
        [ -e "$ready" ] && return 0
        e2e_alive "$e2e_probe_pid" || break
        sleep 0.01
    done
    e2e_fail "the window probe did not start: $(cat "$result.out")"
}

# e2e_probe_result <result file>: waits for the started probe's result and returns 0 when
# it found the window. The result file comes whole (the probe renames it into place), and
# it comes before the probe has ended: a Wine process takes a few hundred milliseconds to
# end, and much longer on a busy machine, which a test timing what follows must not wait.
e2e_probe_result() {
    local result=$1
    while [ ! -e "$result" ] && e2e_alive "$e2e_probe_pid"; do
        sleep 0.005
    done
    grep -q '^found=1' "$result" 2>/dev/null
}

# e2e_full_screen <probe> <directory> <saver path>: starts the saver full screen (/s) in
# that directory, its output in saver.out there, and returns once the window probe has
# seen its window; fails if it does not come. Sets saver_pid. Variables set on the call
# (VARBULES_FRAME_LOG=... e2e_full_screen ...) reach the saver's environment.
e2e_full_screen() {
    local probe=$1 dir=$2 program=$3
    e2e_probe_start "$probe" WindowsScreenSaverClass SCREENSAVER 20000 "$dir/window.txt"
    (cd "$dir" && exec "$e2e_wine_run" "$e2e_arch" "$program" /s >"$dir/saver.out" 2>&1) &
    saver_pid=$!
    e2e_started "$saver_pid"
    e2e_track "$saver_pid" "the saver in ${dir##*/}" "$dir/saver.out"
    wait "$e2e_probe_pid" || e2e_fail "no saver window in $dir: $(cat "$dir/saver.out")"
}

# e2e_tool <desktop_tool.exe> <verb> <args...>: runs the desktop tool (see its header)
# with a result file of its own, and prints the file's lines.
e2e_tool() {
    local exe=$1 out="$e2e_work/tool.txt"
    shift
    rm -f "$out"
    "$e2e_wine_run" "$e2e_arch" "$exe" "$@" "$(e2e_winpath "$out")" >"$e2e_work/tool.out" 2>&1 || true
    cat "$out" 2>/dev/null || true
}

# e2e_regedit FILE: Wine's regedit imports the REGEDIT4 file into the prefix's registry.
# When it fails, what it and Wine said is shown, with the wineserver's state: a stress
# run saw regedit end with exit code 1 once, with nothing to say why.
e2e_regedit() {
    local rc=0
    "$e2e_wine_run" "$e2e_arch" regedit "$(e2e_winpath "$1")" >"$1.out" 2>&1 || rc=$?
    [ "$rc" = 0 ] && return 0
    echo "regedit $(basename "$1") ended with exit code $rc (wineserver: $(e2e_wineserver_pid || echo none)); it said: $(head -c 2000 "$1.out")" >&2
    return "$rc"
}

# e2e_win9x_password <value>: from now on Wine tells Varbule.scr it runs on Windows 98,
# where the saver checks the password itself, and "ScreenSaveUsePassword" is the REGEDIT4
# value given (dword:00000001, say), or no value at all for "-".
e2e_win9x_password() {
    {
        printf 'REGEDIT4\n\n[HKEY_CURRENT_USER\\Software\\Wine\\AppDefaults\\Varbule.scr]\n"Version"="win98"\n\n'
        printf '[HKEY_CURRENT_USER\\Control Panel\\Desktop]\n"ScreenSaveUsePassword"=%s\n' "$1"
    } >"$e2e_work/settings.reg"
    e2e_regedit "$e2e_work/settings.reg"
}

# e2e_win9x_off: Wine tells Varbule.scr of Windows NT again, as it does in a new prefix.
e2e_win9x_off() {
    printf 'REGEDIT4\n\n[-HKEY_CURRENT_USER\\Software\\Wine\\AppDefaults\\Varbule.scr]\n' >"$e2e_work/nt.reg"
    e2e_regedit "$e2e_work/nt.reg"
}

# Sleeps until the Unix time in ms given (at once if it has passed).
e2e_sleep_until_ms() {
    local left=$(($1 - $(e2e_now_ms)))
    if [ "$left" -gt 0 ]; then
        sleep "$((left / 1000)).$(printf '%03d' $((left % 1000)))"
    fi
}

# A value from a key=value file.
e2e_value() { sed -n "s/^$2=//p" "$1" | sed -n 1p; }

# Waits up to $2 ms for process $1 to end; prints how long it took (ms), or fails.
# (A bound that grows with the machine's load: e2e_bound_ms.)
e2e_wait_gone_ms() {
    local pid=$1 limit=$2 start now
    start=$(e2e_now_ms)
    while e2e_alive "$pid"; do
        now=$(e2e_now_ms)
        [ $((now - start)) -gt "$limit" ] && return 1
        sleep 0.005
    done
    echo $(($(e2e_now_ms) - start))
}

# --- pictures -----------------------------------------------------------------------

# A screenshot of the whole screen; a failure says how the X server is.
e2e_screenshot() {
    import -window root "$1" 2>"$1.err" && return 0
    echo "no screenshot ($(cat "$1.err")); Xvfb $( [ -n "$e2e_xvfb_pid" ] && e2e_alive "$e2e_xvfb_pid" && echo runs || echo is gone);" \
        "its log ends: $(tail -3 "$e2e_work/xvfb.log" 2>/dev/null | tr '\n' ' '); its open files: $(ls "/proc/$e2e_xvfb_pid/fd" 2>/dev/null | wc -l)" >&2
    return 1
}

# One "r g b" line per pixel of a region (geometry WxH+X+Y), row by row.
e2e_pixels() { convert "$1" -crop "$2" +repage -depth 8 rgb:- | od -An -v -tu1 -w3; }

# e2e_text_extent <width> <height> <x> <y> <shot>...
# Text is white drawn over the dark blue, its edges blends of the two: near-white greys.
# A pixel counts as text when it is near-white in most of the shots: text stands still
# and is redrawn every frame, while discs move and only now and then, caught in the
# middle of a frame, cover part of it. Finds the text run that starts at the left edge of
# the region (within 40 columns) and follows it over gaps of at most 30 columns.
# Prints "<text pixels> <rightmost column of that run, -1 if none>".
e2e_text_extent() {
    local w=$1 h=$2 x=$3 y=$4
    shift 4
    local shot files=() i=0
    for shot in "$@"; do
        e2e_pixels "$shot" "${w}x${h}+${x}+${y}" >"$e2e_work/pixels.$i"
        files+=("$e2e_work/pixels.$i")
        i=$((i + 1))
    done
    paste -d' ' "${files[@]}" | awk -v w="$w" -v shots="$#" '
        function white(r, g, b) { return r >= 200 && g >= 200 && b >= 200 && r - g <= 8 && g - r <= 8 }
        {
            k = 0
            for (s = 0; s < shots; s++) if (white($(3 * s + 1), $(3 * s + 2), $(3 * s + 3))) k++
            if (2 * k > shots) { n++; column[(NR - 1) % w] = 1 }
        }
        END {
            last = -1
            for (c = 0; c < 40 && c < w; c++) if (column[c]) { last = c; break }
            if (last >= 0) for (c = last; c < w && c - last <= 30; c++) if (column[c]) last = c
            print n + 0, last
        }'
}

# "<count> <r> <g> <b>" per colour of a picture, most common first.
e2e_histogram() {
    convert "$1" -format %c histogram:info:- |
        sed -E 's/^ *([0-9]+): *\( *([0-9]+), *([0-9]+), *([0-9]+).*/\1 \2 \3 \4/' | sort -rn
}

# How many disc colours a picture shows. Disc colours are 15 + 16k in every channel; the
# background, the text's blends and (almost always) nothing else are not. Pure white is
# left out: it is the text's own colour.
e2e_disc_colours() {
    e2e_histogram "$1" | awk '$2 % 16 == 15 && $3 % 16 == 15 && $4 % 16 == 15 && !($2 == 255 && $3 == 255 && $4 == 255)' | wc -l
}

# e2e_about_discs <colours> <discs>: a picture's disc colours fit that many discs. Two
# discs may draw the same colour, or one hide another: a few fewer may show.
e2e_about_discs() { [ "$1" -ge $(($2 * 4 / 5)) ] && [ "$1" -le "$2" ]; }

# e2e_shows_discs <shot> <discs>: a screenshot into the file given shows about that many
# discs (for e2e_within, which takes screenshots until one does).
e2e_shows_discs() {
    e2e_screenshot "$1"
    local colours
    colours=$(e2e_disc_colours "$1")
    e2e_about_discs "$colours" "$2" || { echo "$colours disc colours in $1, for $2 discs" >&2; return 1; }
    echo "$colours"
}

# e2e_drawing <shot>: the saver draws: a screenshot shows discs of five colours or more.
e2e_drawing() {
    e2e_screenshot "$1"
    [ "$(e2e_disc_colours "$1")" -ge 5 ] || { echo "no discs drawn in $1" >&2; return 1; }
}

# e2e_check <message> <command...>: one check of many; e2e_checks_done ends the test,
# failing when any failed.
e2e_failures=0
e2e_check() {
    local message=$1
    shift
    if "$@"; then
        echo "ok: $message"
    else
        echo "FAIL: $message" >&2
        e2e_failures=$((e2e_failures + 1))
    fi
}
e2e_checks_done() {
    [ "$e2e_failures" -eq 0 ] || e2e_fail "$e2e_failures check(s) failed"
    echo "$1"
}

# e2e_reap_within <pid> <limit ms>: the process ends within the limit; its exit code is
# then in $e2e_exit_code. Not for a subshell: only this shell can wait for its own children.
e2e_reap_within() {
    e2e_wait_gone_ms "$1" "$2" >/dev/null || { echo "still running after $2 ms" >&2; return 1; }
    e2e_exit_code=0
    wait "$1" || e2e_exit_code=$?
    e2e_reaped "$1" "$e2e_exit_code"
}

# e2e_ended_with <pid> <limit ms> <code>: the process ends within the limit with that exit
# code.
e2e_ended_with() {
    e2e_reap_within "$1" "$2" || return 1
    [ "$e2e_exit_code" = "$3" ] || { echo "it ended with exit code $e2e_exit_code" >&2; return 1; }
}

# e2e_ended_by_wine <pid> <limit ms> <output file>: a Windows program that Wine itself
# ended (a session's end, TerminateProcess) has gone within the limit, as such a program
# goes. Wine gives it exit code 0, or 1 when another of its threads was still talking to
# the wineserver as the process was torn down: that thread's request finds its pipe gone
# ("wine client error:250: write: Bad file descriptor": 6 of 12 session ends of the 32-bit
# saver under emulation and load, none of 8 of the 64-bit one) and ntdll exits with 1.
# Any other end fails, and a code of 1 without that line too.
e2e_ended_by_wine() {
    e2e_reap_within "$1" "$2" || return 1
    case $e2e_exit_code in
        0) return 0 ;;
        1) if grep -q '^wine client error:' "$3" 2>/dev/null; then
               echo "(exit code 1 from Wine's lost server connection: $(grep -m1 '^wine client error:' "$3"))"
               return 0
           fi ;;
    esac
    echo "it ended with exit code $e2e_exit_code; its output: $(tail -5 "$3" 2>/dev/null | tr '\n' ' ')" >&2
    return 1
}
