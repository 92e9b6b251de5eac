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
