# What the measuring commands share; sourced.

ticks=$(getconf CLK_TCK)

# utime + stime of a process, in clock ticks.
cpu_ticks() {
  awk '{ print $14 + $15 }' "/proc/$1/stat"
}

# calc FORMAT EXPRESSION: the expression worked out by awk and printed in that format.
calc() {
  awk "BEGIN { printf \"$1\", $2 }"
}

# started_child PID: the pid of the program that PID (a /usr/bin/time just started) runs,
# once it has one; nothing if PID ended first (the program refused its arguments).
started_child() {
  local pid=""
  for _ in $(seq 500); do
    pid=$(pgrep -P "$1" || true)
    [ -n "$pid" ] || ! kill -0 "$1" 2>/dev/null && break
    sleep 0.01
  done
  echo "$pid"
}
