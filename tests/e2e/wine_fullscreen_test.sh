#!/usr/bin/env bash
# The saver run full screen (/s) under Wine on a 1024x768 Xvfb, looked at from outside:
#   - its window: class WindowsScreenSaverClass, title SCREENSAVER, a visible topmost popup
#     covering the screen, the cursor hidden over it (read by window_probe, a Win32
#     program in the same prefix);
#   - its picture: mostly dark blue RGB(0,0,128), discs in at least five colours, white
#     text at the top left and the bottom right, and the top-left text growing to the
#     right once the first rate stands behind "Actions per sec:" (screenshots from before
#     the rate could show, as the frame log and the window's appearance bound it, against
#     screenshots well after it; on a machine too busy for a screenshot in that time, the
#     first second is looked at again on a new saver);
#   - its end: with the pointer left still (and moved to where it already is) it runs on;
#     a key press, a button press or a one-pixel move each end it, in runs of their own,
#     with exit code 0 within 1 s.
#
#   wine_fullscreen_test.sh <Varbule.scr> <window_probe.exe>
set -euo pipefail
scr=$(realpath "$1")
probe=$(realpath "$2")
source "$(dirname "${BASH_SOURCE[0]}")/wine_e2e_common.sh"

readonly kPointerX=512 kPointerY=384
timings=()

# Starts the saver full screen in a fresh directory of its own (no Varbule.ini there: 32
# discs) with the pointer at a known place; returns once its window exists.
start_saver() {
    local run=$1
    run_dir="$e2e_work/$run"
    mkdir -p "$run_dir"
    xdotool mousemove "$kPointerX" "$kPointerY"
    e2e_probe_start "$probe" WindowsScreenSaverClass SCREENSAVER 20000 "$run_dir/window.txt"
    launch_ms=$(e2e_now_ms)
    (cd "$run_dir" && VARBULES_FRAME_LOG=$(e2e_winpath "$run_dir/frames.txt") \
        exec "$e2e_wine_run" "$e2e_arch" "$scr" /s >"$run_dir/saver.out" 2>&1) &
    saver_pid=$!
    e2e_started "$saver_pid"
    e2e_track "$saver_pid" "the saver ($run)" "$run_dir/saver.out"
    if ! wait "$e2e_probe_pid"; then
        local state="still running"
        if ! e2e_alive "$saver_pid"; then
            local rc=0
            wait "$saver_pid" || rc=$?
            state="ended with exit code $rc"
        fi
        e2e_fail "[$run] no window of class WindowsScreenSaverClass titled SCREENSAVER within 20 s (saver $state);" \
            "probe: $(cat "$run_dir/window.txt" 2>/dev/null) saver output: $(cat "$run_dir/saver.out")"
    fi
    found_ms=$(e2e_value "$run_dir/window.txt" found_unix_ms)
    if ! e2e_alive "$saver_pid"; then
        local rc=0
        wait "$saver_pid" || rc=$?
        e2e_fail "[$run] the saver ended (exit code $rc) right after its window appeared"
    fi
    e2e_log "[$run] window appeared $((found_ms - launch_ms)) ms after launching Wine" \
        "(its process created after $(($(e2e_value "$run_dir/window.txt" process_created_unix_ms) - launch_ms)) ms)"
    timings+=("$run: launch to window $((found_ms - launch_ms)) ms")
}

# Sends one input with xdotool and checks the saver ends within the limit, exit code 0.
end_by_input() {
    local run=$1
    shift
    e2e_alive "$saver_pid" || e2e_fail "[$run] the saver ended before any input came"
    e2e_log "[$run] sending: xdotool $*"
    local took rc=0 kEndLimitMs
    kEndLimitMs=$(e2e_bound_ms 1)
    xdotool "$@"
    if took=$(e2e_wait_gone_ms "$saver_pid" "$kEndLimitMs"); then
        wait "$saver_pid" || rc=$?
        e2e_reaped "$saver_pid" "$rc"
        e2e_check "[$run] the saver ended $took ms after 'xdotool $*' with exit code $rc" [ "$rc" -eq 0 ]
        timings+=("$run: input to exit $took ms")
    else
        e2e_check "[$run] the saver still runs $kEndLimitMs ms after 'xdotool $*'" false
        if took=$(e2e_wait_gone_ms "$saver_pid" 4000); then
            wait "$saver_pid" || rc=$?
            echo "  (it ended $((took + kEndLimitMs)) ms after the input, exit code $rc)" >&2
        else
            echo "  (it still ran $((4000 + kEndLimitMs)) ms after the input; killed)" >&2
            kill "$saver_pid" 2>/dev/null || true
        fi
        timings+=("$run: input to exit > $kEndLimitMs ms")
    fi
}

e2e_setup
e2e_start_xvfb
e2e_log "Xvfb on $DISPLAY; Wine prefix $VARBULES_WINEPREFIX"
e2e_wine_warmup "$probe"


# The lines of the shots in a directory that started once the window appeared.
shots_since_window() { awk -v from="$found_ms" '$2 >= from' "$1/shots" 2>/dev/null; }

# The rate first stands behind the label more than a second after the animation's time
# base. That base comes after the launch, after the window exists (the animation needs
# its client area; the probe sees the window within a few ms, 100 allowed), no earlier
# than 100 ms before the first frame ended (the frame log tells when, on the process's
# clock and on the wall clock, once the run is over), and no earlier than 100 ms before
# the start of the last screenshot that showed no text yet (the first frame had not ended
# when it was taken). Screenshots taken before a second after the latest of these show
# the label alone.
#
# start_saver_shooting <run>: starts the saver as start_saver does, with screenshots taken
# from before the launch on, in the background (on a busy machine the probe may take a
# second to report the window, and the first second is what they are for), until three
# have started since the window appeared and 1.3 s have passed. Sets early_shots,
# early_done (when each was surely over) and early_text (near-white pixels in the top 20
# rows), for the shots started since the window appeared, and blank_start_ms, the start
# of the last shot before the first with text.
start_saver_shooting() {
    local run=$1 shooter shot done_ms count
    local dir="$e2e_work/$run-early"
    mkdir -p "$dir"
    e2e_shoot_until_stopped "$dir" &
    shooter=$!
    e2e_started "$shooter"
    start_saver "$run"
    while :; do
        now=$(e2e_now_ms)
        [ "$now" -ge $((found_ms + 4000)) ] && break
        [ "$(shots_since_window "$dir" | wc -l)" -ge 3 ] && [ "$now" -ge $((found_ms + 1300)) ] && break
        sleep 0.05
    done
    touch "$dir/stop"
    wait "$shooter"
    e2e_alive "$saver_pid" || e2e_fail "[$run] the saver ended by itself within $((now - found_ms)) ms of its window appearing"
    early_shots=()
    early_done=()
    early_text=()
    blank_start_ms=0
    local start_ms text_seen=0
    while read -r shot start_ms done_ms; do
        read -r count _ < <(e2e_text_extent 1024 20 0 0 "$shot")
        [ "$count" -ge 20 ] && text_seen=1
        [ "$text_seen" = 0 ] && blank_start_ms=$start_ms
        [ "$start_ms" -ge "$found_ms" ] || continue
        early_shots+=("$shot")
        early_done+=("$done_ms")
        early_text+=("$count")
    done <"$dir/shots"
}

# pick_label_shots: once the saver of the last run has ended and written its frame log,
# sets label_shots to the early shots with text that were surely over before the rate
# could show, and deadline to that time.
pick_label_shots() {
    log=$(tr -d '\r' <"$run_dir/frames.txt" 2>/dev/null || true)
    local first_frame_ms first_frame_unix_ms created_ms clock_origin_ms by_log i
    first_frame_ms=$(sed -n 's/.*first_frame_ms=\([0-9]*\).*/\1/p' <<<"$log")
    deadline=$((found_ms - 100 + 1000))
    # The frame log counts from when the C runtime started, which is no earlier than the
    # process's creation (the probe read it), nor than the launch.
    created_ms=$(e2e_value "$run_dir/window.txt" process_created_unix_ms)
    clock_origin_ms=$launch_ms
    [ "${created_ms:-0}" -gt "$clock_origin_ms" ] && clock_origin_ms=$created_ms
    # The log also tells when the first frame ended on the wall clock, which our
    # screenshots' times are read from: that places it exactly.
    first_frame_unix_ms=$(sed -n 's/.*first_frame_unix_ms=\([0-9]*\).*/\1/p' <<<"$log")
    if [ -n "$first_frame_ms" ]; then
        by_log=$((clock_origin_ms + first_frame_ms - 100 + 1000))
        [ -n "$first_frame_unix_ms" ] && [ $((first_frame_unix_ms - 100 + 1000)) -gt "$by_log" ] &&
            by_log=$((first_frame_unix_ms - 100 + 1000))
        [ "$by_log" -gt "$deadline" ] && deadline=$by_log
    else
        echo "note: no frame log ('$log'): the early shots count only up to 0.9 s after the window appeared"
    fi
    [ $((blank_start_ms - 100 + 1000)) -gt "$deadline" ] && deadline=$((blank_start_ms - 100 + 1000))
    label_shots=()
    for i in "${!early_shots[@]}"; do
        if [ "${early_done[$i]}" -lt "$deadline" ] && [ "${early_text[$i]}" -ge 20 ]; then
            label_shots+=("${early_shots[$i]}")
        fi
    done
}

# --- run 1: the window, the picture, the still pointer, then a key press ---------------
start_saver_shooting key

# The window as it stands once running (the first look came as soon as it existed).
e2e_probe_start "$probe" WindowsScreenSaverClass SCREENSAVER 1000 "$run_dir/window-running.txt"
wait "$e2e_probe_pid" || e2e_fail "the saver's window is gone: $(cat "$run_dir/window-running.txt")"
window="$run_dir/window-running.txt"
e2e_check "window class is '$(e2e_value "$window" class)'" [ "$(e2e_value "$window" class)" = WindowsScreenSaverClass ]
e2e_check "window title is '$(e2e_value "$window" title)'" [ "$(e2e_value "$window" title)" = SCREENSAVER ]
e2e_check "window rectangle is '$(e2e_value "$window" rect)' (the screen is $(e2e_value "$window" screen))" \
    [ "$(e2e_value "$window" rect)" = "0 0 1024 768" ]
e2e_check "window is topmost (extended style $(e2e_value "$window" exstyle))" [ "$(e2e_value "$window" topmost)" = 1 ]
e2e_check "window is a visible popup, no child (style $(e2e_value "$window" style))" \
    [ "$(e2e_value "$window" popup)$(e2e_value "$window" visible)$(e2e_value "$window" child)" = 110 ]
# The pointer rests over the window: the cursor there is hidden (shown no more, or none).
cursor="showing=$(e2e_value "$window" cursor_showing) handle=$(e2e_value "$window" cursor_handle)"
e2e_check "the cursor is hidden over the window (GetCursorInfo from another process: $cursor)" \
    [ "$(e2e_value "$window" cursor_showing)" = 0 -o "$(e2e_value "$window" cursor_handle)" = 0 ]

# When the first early shot with text was over.
first_text_ms=
for i in "${!early_shots[@]}"; do
    if [ "${early_text[$i]}" -ge 20 ]; then
        first_text_ms=${early_done[$i]}
        read -r _ first_text_col < <(e2e_text_extent 1024 20 0 0 "${early_shots[$i]}")
        break
    fi
done
shot_list=
for i in "${!early_shots[@]}"; do
    shot_list+=" $((early_done[i] - found_ms))ms:${early_text[$i]}"
done
echo "note: early screenshots (time after the window appeared: near-white pixels in the top 20 rows):$shot_list"
[ -n "$first_text_ms" ] || e2e_fail "no text in the top 20 rows of ${#early_shots[@]} screenshots" \
    "over $((now - found_ms)) ms after the window appeared"

# Well after the first rate: from 2 s after the window, and 1.6 s after text first
# showed, three screenshots at a time until they show both overlays and the text at the
# top left reaching well beyond where it first did (up to the bound for 3 s more).
late_at=$((found_ms + 2000))
[ $((first_text_ms + 1600)) -gt "$late_at" ] && late_at=$((first_text_ms + 1600))
e2e_sleep_until_ms "$late_at"
late=("$run_dir/late1.png" "$run_dir/late2.png" "$run_dir/late3.png")
late_until=$(( $(e2e_now_ms) + $(e2e_bound_ms 3) ))
while :; do
    late_at=$(e2e_now_ms)
    for shot in "${late[@]}"; do
        e2e_screenshot "$shot"
    done
    read -r late_count late_col < <(e2e_text_extent 1024 20 0 0 "${late[@]}")
    read -r top_left _ < <(e2e_text_extent 400 30 0 0 "${late[@]}")
    read -r bottom_right _ < <(e2e_text_extent 500 30 524 738 "${late[@]}")
    [ "$top_left" -ge 30 ] && [ "$bottom_right" -ge 30 ] && [ "$late_col" -ge $((first_text_col + 30)) ] && break
    [ "$(e2e_now_ms)" -lt "$late_until" ] || break
done
e2e_log "$((late_at - found_ms)) ms after the window appeared: text reaches column $late_col ($late_count near-white pixels)"

e2e_check "white text in the top-left corner: $top_left near-white pixels in 400x30" [ "$top_left" -ge 30 ]
e2e_check "white text in the bottom-right corner: $bottom_right near-white pixels in 500x30" [ "$bottom_right" -ge 30 ]

e2e_histogram "$run_dir/late1.png" >"$run_dir/histogram.txt"
read -r first_count first_r first_g first_b < "$run_dir/histogram.txt"
total=$((1024 * 768))
dominant=no
[ "$first_r $first_g $first_b" = "0 0 128" ] && [ $((first_count * 100)) -ge $((total * 70)) ] && dominant=yes
e2e_check "dark blue dominates: the most common colour, ($first_r,$first_g,$first_b), covers $((first_count * 100 / total))% of the screen (RGB(0,0,128) on at least 70% wanted)" \
    [ "$dominant" = yes ]
# Disc colours: solid areas of 300 pixels or more that are neither the background nor the
# white of the text (its blended edges are small and scattered).
disc_colours=$(awk '$1 >= 300 && !($2 == 0 && $3 == 0 && $4 == 128) && !($2 == 255 && $3 == 255 && $4 == 255)' \
    "$run_dir/histogram.txt" | wc -l)
e2e_check "$disc_colours disc colours on the screen (at least 5)" [ "$disc_colours" -ge 5 ]
if [ "$e2e_failures" -gt 0 ]; then
    echo "most common colours:" >&2
    head -12 "$run_dir/histogram.txt" >&2
fi

# The pointer left still, then moved to the very place it already is: the saver runs on.
xdotool mousemove "$kPointerX" "$kPointerY"
e2e_hold 2
eval "$(xdotool getmouselocation --shell)"
[ "$X $Y" = "$kPointerX $kPointerY" ] || e2e_fail "the pointer moved by itself to $X,$Y"
e2e_check "the saver still runs seconds after a move of the pointer to where it already was" e2e_alive "$saver_pid"

end_by_input key key a

# Now the frame log tells until when the early shots surely showed the label alone. A
# machine too busy to take a screenshot within that time proves nothing either way: the
# first second is then looked at again on a new saver, up to twice.
pick_label_shots
for again in 2 3; do
    [ "${#label_shots[@]}" -ge 1 ] && break
    echo "note: no screenshot with text was over before the rate could show ($((deadline - found_ms)) ms after" \
        "the window appeared; log: $log): the machine is busy; the first second again, on a new saver"
    start_saver_shooting "key$again"
    end_by_input "key$again" key a
    pick_label_shots
done
[ "${#label_shots[@]}" -ge 1 ] || e2e_fail "no screenshot with text before the rate could show, in three runs" \
    "($((deadline - found_ms)) ms after the window appeared in the last; log: $log): is the machine too busy?"
[ "${#label_shots[@]}" -gt 3 ] && label_shots=("${label_shots[@]: -3}")
read -r early_count early_col < <(e2e_text_extent 1024 20 0 0 "${label_shots[@]}")
e2e_log "label alone (${#label_shots[@]} screenshots before $((deadline - found_ms)) ms after the window appeared):" \
    "text reaches column $early_col ($early_count near-white pixels)"
e2e_check "the top-left text grew to the right after the first second: column $early_col -> $late_col (at least 30 more)" \
    [ "$late_col" -ge $((early_col + 30)) ]

# --- run 2: a button press, once it draws -----------------------------------------------
start_saver click
e2e_within 10 e2e_drawing "$run_dir/drawing.png" || e2e_fail "[click] the saver does not draw"
end_by_input click click 1

# --- run 3: a move by one pixel, once it draws ------------------------------------------
start_saver move
e2e_within 10 e2e_drawing "$run_dir/drawing.png" || e2e_fail "[move] the saver does not draw"
end_by_input move mousemove_relative 1 0

echo "timings:"
printf '  %s\n' "${timings[@]}"
e2e_checks_done "all full-screen checks passed"
