#!/usr/bin/env bash
# The real saver full screen under Wine for a long run (VARBULES_SOAK_SECONDS, 60 unless
# told): the memory of its process, and of the wineserver that keeps its windows and
# handles, stays flat after the first seconds; the rate on screen keeps changing; frames
# keep coming to the end; and a key press then still ends it at once with exit code 0.
# (Wine keeps no count of GDI objects, so a leak of them shows as memory here.)
#
#   wine_soak_test.sh <Varbule.scr> <window_probe.exe>
set -euo pipefail
scr=$(realpath "$1")
probe=$(realpath "$2")
source "$(dirname "${BASH_SOURCE[0]}")/wine_e2e_common.sh"

seconds=${VARBULES_SOAK_SECONDS:-60}
readonly kWarmUpSeconds=10 kSampleSeconds=5
# Growth allowed after the warm-up: Wine's own heaps and caches move by some pages; a leak
# of one brush or region a frame would be thousands of objects by the end.
readonly kMemorySlackKb=400

# flat <lowest kB> <highest kB>: measured at all, and within the slack.
flat() { [ "$1" -gt 0 ] && [ $(($2 - $1)) -le "$kMemorySlackKb" ]; }

rss_kb() {
    local kb
    kb=$(sed -n 's/^VmRSS:[[:space:]]*\([0-9]*\) kB/\1/p' "/proc/$1/status" 2>/dev/null)
    echo "${kb:-0}"
}

# The rate label's white text alone, as a fingerprint: it changes when the rate does.
label_print() {
    convert "$1" -crop 260x16+0+0 +repage -fuzz 25% -fill black +opaque white -fill white -opaque white \
        -depth 8 rgb:- | md5sum | cut -c1-12
}

e2e_setup
e2e_start_xvfb
e2e_wine_warmup "$probe"
(( seconds > kWarmUpSeconds + 2 * kSampleSeconds )) || e2e_fail "a soak needs more than $((kWarmUpSeconds + 2 * kSampleSeconds)) s"

dir="$e2e_work/soak"
mkdir -p "$dir"
xdotool mousemove 500 400
VARBULES_FRAME_LOG=$(e2e_winpath "$dir/frames.txt") e2e_full_screen "$probe" "$dir" "$scr"
started=$(e2e_now_ms)
# Wine runs the program in the process that started it, and names that process by the
# program's path; under emulation the process is the emulator's, with Wine's loader and
# the program's path among its arguments.
program_pid=$saver_pid
tr '\0' ' ' <"/proc/$program_pid/cmdline" 2>/dev/null | grep -F "$scr /s" >/dev/null ||
    e2e_fail "process $program_pid does not run $scr: $(tr '\0' ' ' <"/proc/$program_pid/cmdline" 2>/dev/null)"
server_pid=$(e2e_wineserver_pid) || e2e_fail "no wineserver runs for $VARBULES_WINEPREFIX"

echo "time_s saver_rss_kb wineserver_rss_kb label"
samples=0 changes=0 previous_print=""
saver_low=0 saver_high=0 server_low=0 server_high=0
while :; do
    elapsed=$((($(e2e_now_ms) - started) / 1000))
    [ "$elapsed" -ge "$seconds" ] && break
    e2e_alive "$saver_pid" || e2e_fail "the saver ended by itself after $elapsed s"
    saver_rss=$(rss_kb "$program_pid")
    server_rss=$(rss_kb "$server_pid")
    e2e_screenshot "$dir/shot.png"
    print=$(label_print "$dir/shot.png")
    echo "$elapsed $saver_rss $server_rss $print"
    if [ "$elapsed" -ge "$kWarmUpSeconds" ]; then
        if [ "$samples" -eq 0 ]; then
            saver_low=$saver_rss saver_high=$saver_rss server_low=$server_rss server_high=$server_rss
        fi
        saver_low=$((saver_rss < saver_low ? saver_rss : saver_low))
        saver_high=$((saver_rss > saver_high ? saver_rss : saver_high))
        server_low=$((server_rss < server_low ? server_rss : server_low))
        server_high=$((server_rss > server_high ? server_rss : server_high))
        [ "$samples" -gt 0 ] && [ "$print" != "$previous_print" ] && changes=$((changes + 1))
        samples=$((samples + 1))
        previous_print=$print
    fi
    sleep "$kSampleSeconds"
done

e2e_check "the saver's memory stays flat after ${kWarmUpSeconds} s (${saver_low} to ${saver_high} kB)" \
    flat "$saver_low" "$saver_high"
e2e_check "the wineserver's memory stays flat too (${server_low} to ${server_high} kB)" \
    flat "$server_low" "$server_high"
e2e_check "the rate label changed between $changes of $((samples - 1)) pairs of samples" \
    [ $((2 * changes)) -ge $((samples - 1)) ]

xdotool key a
limit=$(e2e_bound_ms 1)
took=$(e2e_wait_gone_ms "$saver_pid" "$limit") || took=
e2e_check "after $seconds s a key press still ends it within $limit ms (${took:-more than $limit} ms)" [ -n "$took" ]
rc=0
wait "$saver_pid" || rc=$?
e2e_reaped "$saver_pid" "$rc"
e2e_check "with exit code 0 ($rc)" [ "$rc" = 0 ]
frame_log() { tr ' \r' '\n\n' <"$dir/frames.txt" | sed -n "s/^$1=//p"; }
frames=$(frame_log frames)
first_ms=$(frame_log first_frame_ms)
last_ms=$(frame_log last_frame_ms)
echo "frames: ${frames:-none}, first at ${first_ms:-?} ms, last at ${last_ms:-?} ms of the process's clock"
e2e_check "frames kept coming to the end (last at ${last_ms:-?} ms)" [ "${last_ms:-0}" -ge $(((seconds - 2) * 1000)) ]
e2e_check "at more than 30 a second" [ $(( ${frames:-0} * 1000 )) -gt $(( 30 * (${last_ms:-0} - ${first_ms:-0}) )) ]

e2e_checks_done "the soak passed"
