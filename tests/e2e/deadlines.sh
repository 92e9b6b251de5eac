# Sourced by the end-to-end tests' shared files: bounds on the saver's reactions that grow
# with the build's slack and the machine's load, and waiting for a condition up to one.
#
# A check of what the saver shows or does never looks once after a fixed sleep: it tries
# again until it passes or its bound is over, and then fails with what its last try saw.
# A bound is what an idle machine needs, with room to spare, times e2e_slack (the
# sanitizer builds start, draw and stop several times slower: VARBULES_E2E_SLACK) times
# the load factor (a machine whose cores are all taken gives the saver, the X server and
# the screenshots a share of a core each). Waiting costs nothing when things go well; the
# bound only decides how long a failing test takes to say so.

e2e_slack=${VARBULES_E2E_SLACK:-1}

# Now, in Unix milliseconds.
e2e_now_ms() { date +%s%3N; }

# Tasks that want a processor per core, the more of now and of the last minute, rounded
# up: 1 on an idle machine, at most 4. VARBULES_E2E_LOAD sets it.
e2e_load_factor() {
  if [ -n "${VARBULES_E2E_LOAD:-}" ]; then
    echo "$VARBULES_E2E_LOAD"
    return
  fi
  local average runnable
  read -r average _ _ runnable _ </proc/loadavg
  # The running count includes the reader itself.
  awk -v a="$average" -v r="${runnable%/*}" -v c="$(nproc)" 'BEGIN {
    l = r - 1 > a ? r - 1 : a
    f = int(l / c + 0.999)
    print (f < 1 ? 1 : (f > 4 ? 4 : f)) }'
}

# e2e_bound_ms SECONDS: the bound for something an idle machine does within SECONDS (a
# fraction is allowed), in milliseconds.
e2e_bound_ms() {
  awk -v s="$1" -v k="$e2e_slack" -v f="$(e2e_load_factor)" 'BEGIN { printf "%d\n", s * k * f * 1000 }'
}

# e2e_bound SECONDS: the same bound, in whole seconds (at least 1).
e2e_bound() {
  local ms
  ms=$(e2e_bound_ms "$1")
  echo $(( ms < 1000 ? 1 : (ms + 999) / 1000 ))
}

# e2e_within SECONDS COMMAND [ARG...]: runs COMMAND, a check that says on stderr what is
# wrong when it fails, again and again until it passes, for at most e2e_bound_ms SECONDS.
# Prints what the passing try printed on stdout and returns 0; once the bound is over,
# says what the last try said and returns 1. Each try runs in a subshell: a check may
# call fail, and the variables it sets are lost.
e2e_within() {
  local seconds=$1
  shift
  local limit deadline out complaint
  complaint=$(mktemp)
  limit=$(e2e_bound_ms "$seconds")
  deadline=$(( $(e2e_now_ms) + limit ))
  while :; do
    if out=$("$@" 2>"$complaint"); then
      rm -f "$complaint"
      [ -z "$out" ] || printf '%s\n' "$out"
      return 0
    fi
    [ "$(e2e_now_ms)" -lt "$deadline" ] || break
    sleep 0.1
  done
  e2e_within_said=$(sed 's/^FAIL: //' "$complaint" | tail -5)
  rm -f "$complaint"
  echo "FAIL: still after $(( limit / 1000 )).$(printf '%03d' $(( limit % 1000 ))) s: ${e2e_within_said:-$* failed}" >&2
  return 1
}

# e2e_hold SECONDS: for a check that nothing happens (a second box, an end): waits the
# bound for SECONDS, in which it would have happened.
e2e_hold() {
  local ms
  ms=$(e2e_bound_ms "$1")
  sleep "$(( ms / 1000 )).$(printf '%03d' $(( ms % 1000 )))"
}

# The factor itself (the slack times the load), for a program of the test's own that
# bounds its waits (VARBULES_E2E_FACTOR).
e2e_factor() {
  echo $(( e2e_slack * $(e2e_load_factor) ))
}
