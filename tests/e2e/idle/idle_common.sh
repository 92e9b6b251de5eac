# Shared by the idle watch's end-to-end tests: the daemon (varbules --idle) launched as
# NAME "idle", and what its output says. Source it after the display's common file
# (x11_common.sh or wayland_common.sh), which gives launch, e2e_within and the rest.
#
# The daemon prints a line for each saver it starts and each end; the tests count them.

# The wait the tests use: 3 s, as minutes.
readonly kWaitSeconds=3
readonly kWaitMinutes=0.05

# Lines of the daemon's output that hold the text.
said() { grep -c -- "$1" "$work/idle.out" 2>/dev/null || true; }

# said_times TEXT N: the daemon has said TEXT N times (or more).
said_times() {
  local n
  n=$(said "$1")
  [ "${n:-0}" -ge "$2" ] || { echo "the idle watch said '$1' ${n:-0} times, not $2: $(tail -3 "$work/idle.out" | tr '\n' ' ') $(tail -3 "$work/idle.err" | tr '\n' ' ')" >&2; return 1; }
}

# wait_said TEXT N SECONDS: waits (the bound for SECONDS) until the daemon has said TEXT
# N times.
wait_said() {
  e2e_within "$3" said_times "$1" "$2" || exit 1
}

# saver_started N: the daemon has started its Nth saver within the wait and a few seconds.
saver_started() {
  wait_said "starting the saver" "$1" $(( kWaitSeconds + 5 ))
}

# saver_ended N CODE: its Nth saver ended with that exit code (the bound for 5 s).
saver_ended() {
  wait_said "the saver ended" "$1" 5
  [ "$(grep "the saver ended" "$work/idle.out" | sed -n "$1p")" = "varbules: the saver ended with exit code $2" ] ||
    fail "saver $1 ended otherwise: $(grep "the saver ended" "$work/idle.out" | sed -n "$1p")"
}

# held_back N SECONDS: for that long the daemon starts no more than N savers. Without an
# inhibitor the saver would come after the wait: SECONDS is some waits, and need not grow
# with the build's slack.
held_back() {
  sleep "$2"
  [ "$(said "starting the saver")" -le "$1" ] || fail "the saver started while an inhibitor held: $(tail -3 "$work/idle.out" | tr '\n' ' ')"
}

# held_back_by SAVERS WORD NAME COMMAND...: launches COMMAND as NAME, a program that holds
# idle back once it has printed WORD; for two waits the daemon starts no more than SAVERS
# savers; then it is ended and gone.
held_back_by() {
  local savers=$1 word=$2 name=$3
  shift 3
  launch "$name" "$@"
  local pid=$last_pid
  e2e_within 5 grep -q "$word" "$work/$name.out" || fail "$name did not start: $(cat "$work/$name.err")"
  held_back "$savers" $(( kWaitSeconds * 2 ))
  kill -TERM "$pid"
  exit_within "$pid" "$(bound 5)"
}

# The delay from the end of the wait to the saver's first frame: the wait counted from
# the input at INPUT_MS (Unix ms), the frame from the saver's frame log.
delay_ms() {
  local input_ms=$1 log=$2 first
  first=$(sed -n 's/.*first_frame_unix_ms=\([0-9]*\).*/\1/p' "$log")
  [ -n "$first" ] || fail "no frame log in $log"
  echo $(( first - input_ms - kWaitSeconds * 1000 ))
}
