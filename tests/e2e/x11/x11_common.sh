# Shared by the X11 end-to-end tests: a private Xvfb display, pictures and their colours,
# and waiting for processes. Source it; it sets DISPLAY and cleans up on exit.

. "$(dirname "${BASH_SOURCE[0]}")/../errexit_report.sh"
. "$(dirname "${BASH_SOURCE[0]}")/../deadlines.sh"
. "$(dirname "${BASH_SOURCE[0]}")/../crash_report.sh"
. "$(dirname "${BASH_SOURCE[0]}")/../screen_shots.sh"

# How many times slower a sanitizer build is (CMake sets it for those builds); the bounds
# on the saver's reactions take it and the machine's load: bound SECONDS.
slack=$e2e_slack
bound() { e2e_bound "$@"; }

# A test run inside a Wayland session must still reach its own X server, not the
# session's compositor.
unset WAYLAND_DISPLAY

work=$(mktemp -d)
chmod 755 "$work"
pids=()

# cleanup [STATUS]: the EXIT trap; the test ends with STATUS (the last command's unless
# given), unless a program it launched crashed.
cleanup() {
  local rc=${1:-$?} status
  trap - EXIT
  # The last launched first, each gone before the next is told: clients end before the
  # servers they use (a client that loses its server may crash on the way out). A process
  # that SIGTERM does not end (a saver stuck in a call its handler cannot cut short) is
  # killed after a few seconds, so that a failing test never hangs here. One that
  # crashes meanwhile is told and fails the test.
  local k deadline
  # Only a process still running is signalled: the pid of one that ended may be
  # another's by now.
  for (( k = ${#pids[@]} - 1; k >= 0; k-- )); do
    pid=${pids[$k]}
    ! e2e_alive "$pid" || kill "$pid" 2>/dev/null || true
    deadline=$(( $(date +%s) + 3 ))
    while e2e_alive "$pid" && [ "$(date +%s)" -lt "$deadline" ]; do sleep 0.05; done
    ! e2e_alive "$pid" || kill -KILL "$pid" 2>/dev/null || true
    status=0
    wait "$pid" 2>/dev/null || status=$?
    e2e_reaped "$pid" "$status"
  done
  [ -n "${KEEP_WORK:-}" ] && echo "kept $work" >&2 || rm -rf "$work"
  exit "$(e2e_crash_status "$rc")"
}
trap cleanup EXIT

fail() {
  echo "FAIL: $*" >&2
  exit 1
}

# Starts Xvfb on the first free display; the server names it once it listens. -noreset
# keeps the pointer where a test put it when the last client goes.
start_xvfb() {
  local size=${1:-1024x768}
  # A test may start a second server after the first has gone: the name of the old one
  # must not be read for the new one's before the new one has written it.
  rm -f "$work/display"
  Xvfb -displayfd 3 -screen 0 "${size}x24" -nolisten tcp -noreset 3>"$work/display" 2>"$work/xvfb.log" &
  xvfb_pid=$!
  pids+=("$xvfb_pid")
  e2e_track "$xvfb_pid" Xvfb "$work/xvfb.log"
  for _ in $(seq 100); do
    [ -s "$work/display" ] && break
    sleep 0.05
  done
  [ -s "$work/display" ] || fail "Xvfb did not start: $(cat "$work/xvfb.log")"
  export DISPLAY=":$(head -1 "$work/display")"
}

# Runs a program in the background; its pid is in $last_pid, its stderr in $work/<name>.err.
# It may dump core; if it crashes, the report names it as NAME. Its standard input is
# nothing, or the file (a FIFO the test writes to, say) named in launch_input.
launch() {
  local name=$1
  shift
  e2e_core_dumps "$@" <"${launch_input:-/dev/null}" >"$work/$name.out" 2>"$work/$name.err" &
  last_pid=$!
  pids+=("$last_pid")
  e2e_track "$last_pid" "$name" "$work/$name.err"
}

# reap PID: waits for a launched program that has ended or is about to (killed by the
# test) and sets $exit_code; a crash is told.
reap() {
  exit_code=0
  wait "$1" 2>/dev/null || exit_code=$?
  e2e_reaped "$1" "$exit_code"
}

running() {
  e2e_alive "$1"
}

# Waits up to the given seconds for the process to end and sets $exit_code to its exit
# code, or to "running" if it is still there, and $exit_ms to the milliseconds it waited.
# (Not in a subshell: only this shell can wait for its children.)
exit_within() {
  local pid=$1 seconds=$2
  local start
  start=$(date +%s%N)
  local deadline=$(( start + seconds * 1000000000 ))
  exit_code=running
  while running "$pid"; do
    exit_ms=$(( ($(date +%s%N) - start) / 1000000 ))
    [ "$(date +%s%N)" -gt "$deadline" ] && return 0
    sleep 0.01
  done
  exit_ms=$(( ($(date +%s%N) - start) / 1000000 ))
  reap "$pid"
}

# A sanitizer's report, or Xlib's own complaint, in a program's stderr fails the test.
# (An empty stderr is demanded where nothing at all may be said; this is for the runs
# that are expected to say something.)
no_report_in() {
  local file=$1 what=$2
  if grep -Eq 'Sanitizer|runtime error:|X [Ee]rror|XIO: ' "$file"; then
    fail "$what: $(head -c 4000 "$file")"
  fi
  return 0
}

# Waits for the process launched as NAME to end within the bound for the given seconds
# with exit code 0 and nothing on stderr.
expect_clean_end() {
  local name=$1 pid=$2 seconds=$3 what=$4 limit
  limit=$(bound "$seconds")
  exit_within "$pid" "$limit"
  [ "$exit_code" = 0 ] || fail "$what: exit $exit_code, expected 0 within $limit s: $(head -c 4000 "$work/$name.err")"
  [ ! -s "$work/$name.err" ] || fail "$what: $name wrote to stderr: $(head -c 4000 "$work/$name.err")"
}

# The id of the viewable window of that name, if there is one.
viewable_window() {
  local name=$1 id
  # A window that goes while xwininfo walks the tree makes it fail; that is no answer
  # yet, not the end of the test. awk reads to the end, so that xwininfo never writes
  # into a closed pipe.
  id=$(xwininfo -root -tree 2>/dev/null | awk -v n="\"$name\"" 'index($0, n) && id == "" { id = $1 } END { print id }') || true
  [ -n "$id" ] && xwininfo -id "$id" 2>/dev/null | grep 'IsViewable' >/dev/null || { echo "no window named $name" >&2; return 1; }
  echo "$id"
}

# Whether another window has a viewable child (a preview's window in it, say).
viewable_child() {
  local child
  child=$(xwininfo -children -id "$1" 2>/dev/null | awk '/ child(ren)?:$/ { getline; print $1; exit }') || true
  [ -n "$child" ] && xwininfo -id "$child" 2>/dev/null | grep 'IsViewable' >/dev/null || { echo "window $1 has no viewable child" >&2; return 1; }
}

# Waits until a window of that name is shown (the bound for 5 s), and prints its id.
wait_for_window() {
  e2e_within 5 viewable_window "$1" || exit 1
}

# Colours of a picture by pixel count, most common first.
histogram() {
  convert "$1" -format %c histogram:info:- | sort -rn
}

# The saver's picture: the background most common, white overlay text, and discs of at
# least the given number of colours, each covering more than the given number of pixels
# (100 unless told: a full-size disc covers well over a thousand).
check_picture() {
  local picture=$1 min_discs=$2 min_pixels=${3:-100}
  local colours first discs
  colours=$(histogram "$picture")
  first=$(echo "$colours" | sed -n 1p)
  case "$first" in *"(0,0,128)"*) ;; *) fail "background is not the most common colour in $picture: $first" ;; esac
  echo "$colours" | grep "(255,255,255)" >/dev/null ||
    fail "no white overlay text in $picture: $(echo "$colours" | sed -n 1,4p | tr -s ' \n' ' ')"
  discs=$(disc_colours "$picture" "$min_pixels")
  [ "$discs" -ge "$min_discs" ] || fail "only $discs disc colours in $picture"
  echo "$discs"
}

# shot_check WINDOW FILE CHECK [ARG...]: a picture of the window (root: the screen) into
# FILE, and the check CHECK FILE ARG... on it. For e2e_within, which takes pictures until
# one passes.
shot_check() {
  local window=$1 file=$2 check=$3
  shift 3
  import -window "$window" "$file" || { echo "no picture of window $window" >&2; return 1; }
  "$check" "$file" "$@"
}

# shows WINDOW FILE MIN_DISCS [MIN_PIXELS]: waits (the bound for 5 s) until a picture of
# the window passes check_picture, and prints its count of disc colours.
shows() {
  local window=$1 file=$2
  shift 2
  e2e_within 5 shot_check "$window" "$file" check_picture "$@" || exit 1
}

# Pictures of a window into FILE until they have shown, between them, at least MIN disc
# colours of more than MIN_PIXELS pixels each; check_picture's checks of the background
# and the text on the last, and the count printed. A preview's two small discs move every
# 300 ms, some by a pixel or two (a wall sets a disc's speed to how far it went past), so
# one may stay under the opaque text or half under the other for seconds: the colours are
# counted over the pictures of about eight seconds (the bound for them).
picture_showing() {
  local window=$1 file=$2 min_discs=$3 min_pixels=${4:-100}
  local seen="" discs=0 deadline
  deadline=$(( $(e2e_now_ms) + $(e2e_bound_ms 8) ))
  while :; do
    import -window "$window" "$file"
    seen=$(printf '%s\n%s' "$seen" "$(disc_colour_list "$file" "$min_pixels")" | sed '/^$/d' | sort -u)
    discs=$(printf '%s' "$seen" | grep -c . || true)
    [ "$discs" -ge "$min_discs" ] && (check_picture "$file" 0 "$min_pixels" >/dev/null 2>&1) && break
    [ "$(e2e_now_ms)" -lt "$deadline" ] || break
    sleep 0.3
  done
  check_picture "$file" 0 "$min_pixels" >/dev/null
  [ "$discs" -ge "$min_discs" ] || fail "only $discs disc colours in the pictures of $(( $(e2e_bound_ms 8) / 1000 )) s like $file"
  echo "$discs"
}

# open_test_window NAME [ARG...]: another client's window, made by the test window
# program (640x480 unless the arguments say otherwise). Its pid is $window_pid, its id
# $window_id, once it has named itself.
open_test_window() {
  local name=$1
  shift
  [ $# -gt 0 ] || set -- 640 480
  launch "$name" "$test_window" "$@"
  window_pid=$last_pid
  e2e_within 5 test -s "$work/$name.out" || fail "the test window $name did not name itself"
  window_id=$(head -1 "$work/$name.out")
}

# The colours other than the background and the text that cover more than the given
# number of pixels of a picture, one per line; and how many there are.
disc_colour_list() {
  histogram "$1" | grep -v -e "(0,0,128)" -e "(255,255,255)" | awk -v m="${2:-100}" '$1 + 0 > m { print $2 }'
}
disc_colours() {
  disc_colour_list "$@" | wc -l
}

# The right end of the white text in the top band (rows 0 to 15, the rate label's line),
# in pixels from the left.
label_right_end() {
  convert "$1" -crop 400x16+0+0 +repage -fill black +opaque white -fill white -opaque white \
    -trim -format '%[fx:page.x + w]' info:- 2>/dev/null || echo 0
}

# Makes sure an ordinary user of that name exists, adding it if need be (only root can);
# false where there is none. Two tests may add it at once: the loser finds it there.
ensure_user() {
  local name=$1
  id "$name" >/dev/null 2>&1 && return 0
  [ "$(id -u)" -eq 0 ] || return 1
  useradd -m "$name" 2>/dev/null || true
  id "$name" >/dev/null 2>&1
}

# own_home USER: a home of the test's own for a daemon run as USER, made and printed. The
# lanes of a test run share the user, and a daemon reads (and watches) its configuration
# in its home.
own_home() {
  mkdir -m 755 "$work/home"
  chown "$1" "$work/home"
  echo "$work/home"
}
