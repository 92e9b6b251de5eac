#!/usr/bin/env bash
# Starts the saver where things are not as they should be, and expects a clear and prompt
# outcome every time: it never hangs (each run is bounded), never dies of a signal or a
# sanitizer's report, and where it cannot run it says why on stderr and exits with 1.
#   - No usable current directory: one deleted under it, and (as an ordinary user, for
#     whom permissions count) one it may not read or enter. It runs with the default
#     count, 32 discs, and a key ends it with exit code 0.
#   - A settings file Varbule.ini that is a directory, or a FIFO: the same, and the FIFO
#     is never open in the saver (opening one to read waits for a writer forever).
#   - A window to draw in (/p) or on (--window-id) whose owner is killed: it ends with
#     exit code 0. A window that is gone or never was, given to /p, --window-id or, by
#     XSCREENSAVER_WINDOW, to --root: exit code 1 and "no window" on stderr.
#   - No display at the start; and the display going away under a full-screen and a
#     windowed saver, ended by SIGTERM and by SIGKILL: exit code 1 within two seconds
#     and one line on stderr.
set -euo pipefail
saver=$(realpath "$1")  # the saver is started from other directories
test_window=$(realpath "$2")
. "$(dirname "$0")/x11_common.sh"
user=varbules-e2e
results=()

# Starts the saver full screen with its current directory in DIR; the command in front
# of it (runuser ...) may be given after DIR. Its pid is $saver_pid, its stderr
# $work/NAME.err.
start_in() {
  local name=$1 dir=$2
  shift 2
  xdotool mousemove 300 200
  launch "$name" "$@" bash -c 'cd "$1" && shift && exec "$@"' _ "$dir" "$saver" /s
  saver_pid=$last_pid
}

# The saver full screen is drawing discs of more than MIN and at most MAX colours (the
# default count, 32, unless told; two discs may share a colour), and a key ends it with
# exit code 0 and nothing on stderr.
expect_default_run() {
  local name=$1 what=$2 min=${3:-16} max=${4:-32} discs
  wait_for_window SCREENSAVER >/dev/null
  discs=$(shows root "$work/$name.png" $(( min + 1 )))
  [ "$discs" -le "$max" ] || fail "$what: $discs disc colours, expected at most $max"
  xdotool key a
  expect_clean_end "$name" "$saver_pid" 1 "$what: a key"
  results+=("$what: $discs disc colours, a key ended it in $exit_ms ms")
}

# The process ends within the bound for two seconds with exit code 1, its stderr
# holds the given text, and no report.
expect_refusal() {
  local name=$1 pid=$2 text=$3 what=$4 limit
  limit=$(bound 2)
  exit_within "$pid" "$limit"
  [ "$exit_code" = 1 ] || fail "$what: exit $exit_code, expected 1 within $limit s: $(head -c 4000 "$work/$name.err")"
  no_report_in "$work/$name.err" "$what"
  grep -q "^varbules: $text" "$work/$name.err" || fail "$what: no \"$text\" on stderr: $(cat "$work/$name.err")"
  [ "$(wc -l <"$work/$name.err")" = 1 ] || fail "$what: more than one line on stderr: $(cat "$work/$name.err")"
  results+=("$what: exit 1 after $exit_ms ms, \"$(cat "$work/$name.err")\"")
}

start_xvfb 1024x768

# First a settings file that is one, for 16 discs: the saver reads Varbule.ini in its
# current directory, so what stands there under that name in the cases below is looked at.
mkdir "$work/ini-file"
{ printf '\0\020'; head -c 510 /dev/zero; } >"$work/ini-file/Varbule.ini"
start_in ini-file "$work/ini-file"
expect_default_run ini-file "Varbule.ini for 16 discs" 4 16

# The current directory deleted before the saver starts.
mkdir "$work/deleted"
xdotool mousemove 300 200
launch deleted bash -c 'cd "$1" && rmdir "$1" && exec "$2" /s' _ "$work/deleted" "$saver"
saver_pid=$last_pid
expect_default_run deleted "deleted current directory"

# A current directory the saver may neither read nor enter: it enters it, takes all
# permissions from it, and only then becomes the saver. Root passes every permission
# check, so this runs as an ordinary user; without one it is left out.
if ensure_user "$user"; then
  mkdir "$work/locked"
  chown "$user" "$work/locked"
  xdotool mousemove 300 200
  launch locked runuser -u "$user" -- env DISPLAY="$DISPLAY" ASAN_OPTIONS="${ASAN_OPTIONS:-}" \
    UBSAN_OPTIONS="${UBSAN_OPTIONS:-}" TSAN_OPTIONS="${TSAN_OPTIONS:-}" \
    bash -c 'cd "$1" && chmod 000 . && exec "$2" /s' _ "$work/locked" "$saver"
  saver_pid=$last_pid
  expect_default_run locked "mode 000 current directory as $user"
  chmod 755 "$work/locked"
else
  results+=("mode 000 current directory: left out, no ordinary user to run it as")
fi

# Varbule.ini a directory: it can be opened, but not read.
mkdir -p "$work/ini-directory/Varbule.ini"
start_in ini-directory "$work/ini-directory"
expect_default_run ini-directory "Varbule.ini a directory"

# Varbule.ini a FIFO with no writer. Once the saver draws it has not waited on it; and
# as it draws, no one has it open to read: a writer's open, which waits for a reader,
# is still waiting half a second later.
mkdir "$work/ini-fifo"
mkfifo "$work/ini-fifo/Varbule.ini"
start_in ini-fifo "$work/ini-fifo"
wait_for_window SCREENSAVER >/dev/null
for fd in /proc/"$saver_pid"/fd/*; do
  [ "$(readlink "$fd")" = "$work/ini-fifo/Varbule.ini" ] && fail "the saver holds Varbule.ini, a FIFO, open"
done
status=0
timeout 0.5 bash -c ': >"$1"' _ "$work/ini-fifo/Varbule.ini" || status=$?
[ "$status" = 124 ] || fail "Varbule.ini, a FIFO, has a reader (a writer's open ended with $status)"
expect_default_run ini-fifo "Varbule.ini a FIFO"

# Another client's window, whose owner dies without a word (SIGKILL: the server destroys
# its windows): the preview in it and the saver on it end with exit code 0.
open_test_window owner
launch preview "$saver" /p "$window_id"
preview_pid=$last_pid
launch on-window "$saver" --window-id "$window_id"
on_window_pid=$last_pid
e2e_within 5 viewable_child "$window_id" || exit 1
# The preview, a child covering the whole window, is what shows: its small discs.
discs=$(picture_showing "$window_id" "$work/owned.png" 1 30)
kill -KILL "$window_pid"
reap "$window_pid"
expect_clean_end preview "$preview_pid" 1 "/p in a window whose owner was killed"
preview_ms=$exit_ms
expect_clean_end on-window "$on_window_pid" 1 "--window-id on a window whose owner was killed"
results+=("another client's window (the preview's $discs disc colours in it), its owner killed: /p ended after $preview_ms ms, --window-id after $exit_ms ms, both exit 0")

# A window that was there and is gone, and one that never was.
open_test_window gone
gone=$window_id
kill -TERM "$window_pid"
exit_within "$window_pid" "$(bound 2)"
xwininfo -id "$gone" >/dev/null 2>&1 && fail "the test window is still there"
launch gone-preview "$saver" /p "$gone"
expect_refusal gone-preview "$last_pid" "no window" "/p in a destroyed window"
launch gone-window-id "$saver" --window-id "$gone"
expect_refusal gone-window-id "$last_pid" "no window" "--window-id on a destroyed window"
launch never-preview "$saver" /p 2147483647
expect_refusal never-preview "$last_pid" "no window" "/p in a window that never was"
launch never-window-id "$saver" --window-id 0x7fffffff
expect_refusal never-window-id "$last_pid" "no window" "--window-id on a window that never was"
launch never-root env XSCREENSAVER_WINDOW=0x7fffffff "$saver" --root
expect_refusal never-root "$last_pid" "no window" "--root on an XSCREENSAVER_WINDOW that never was"

# No display to open.
launch no-display "$saver" --display :9999 /s
expect_refusal no-display "$last_pid" "cannot open display" "no display"

# The display going away under the saver, full screen and in a window of its own, by
# the server's orderly end and by its sudden death.
for signal in TERM KILL; do
  for mode in /s --window; do
    start_xvfb 1024x768
    name=lost-${signal}${mode//\//-}
    launch "$name" "$saver" "$mode"
    saver_pid=$last_pid
    window=$(wait_for_window "$([ "$mode" = /s ] && echo SCREENSAVER || echo Varbules)")
    shows "$window" "$work/$name.png" 5 >/dev/null
    # The time is counted from the server's end.
    kill "-$signal" "$xvfb_pid"
    reap "$xvfb_pid"
    expect_refusal "$name" "$saver_pid" "lost the connection to display" "display ended (SIG$signal) under $mode"
  done
done

echo "ok:"
printf '  %s\n' "${results[@]}"
