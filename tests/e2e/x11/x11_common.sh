# Shared by the X11 end-to-end tests: a private Xvfb display, pictures and their colours,
# and waiting for processes. Source it; it sets DISPLAY and cleans up on exit.

. "$(dirname "${BASH_SOURCE[0]}")/../errexit_report.sh"

# How many times longer a bound on the saver's reactions is than natively: a saver built
# with the sanitizers starts, draws and stops slower (CMake sets it for those builds).
slack=${VARBULES_E2E_SLACK:-1}

# A test run inside a Wayland session must still reach its own X server, not the
# session's compositor.
unset WAYLAND_DISPLAY

work=$(mktemp -d)
chmod 755 "$work"
pids=()

cleanup() {
  for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
  # A process that SIGTERM does not end (a saver stuck in a call its handler cannot cut
  # short) is killed after a few seconds, so that a failing test never hangs here.
  local deadline=$(( $(date +%s) + 3 ))
  for pid in "${pids[@]}"; do
    while kill -0 "$pid" 2>/dev/null && [ "$(date +%s)" -lt "$deadline" ]; do sleep 0.05; done
    kill -KILL "$pid" 2>/dev/null || true
    wait "$pid" 2>/dev/null || true
  done
  [ -n "${KEEP_WORK:-}" ] && echo "kept $work" >&2 || rm -rf "$work"
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
  for _ in $(seq 100); do
    [ -s "$work/display" ] && break
    sleep 0.05
  done
  [ -s "$work/display" ] || fail "Xvfb did not start: $(cat "$work/xvfb.log")"
  export DISPLAY=":$(head -1 "$work/display")"
}

# Runs a program in the background; its pid is in $last_pid, its stderr in $work/<name>.err.
launch() {
  local name=$1
  shift
  "$@" >"$work/$name.out" 2>"$work/$name.err" &
  last_pid=$!
  pids+=("$last_pid")
}

running() {
  kill -0 "$1" 2>/dev/null
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
  exit_code=0
  wait "$pid" || exit_code=$?
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

# Waits for the process launched as NAME to end within the given seconds (times the
# slack) with exit code 0 and nothing on stderr.
expect_clean_end() {
  local name=$1 pid=$2 seconds=$3 what=$4
  exit_within "$pid" $(( seconds * slack ))
  [ "$exit_code" = 0 ] || fail "$what: exit $exit_code, expected 0 within $(( seconds * slack )) s: $(head -c 4000 "$work/$name.err")"
  [ ! -s "$work/$name.err" ] || fail "$what: $name wrote to stderr: $(head -c 4000 "$work/$name.err")"
}

# Waits until a window of that name is shown (5 s, times the slack), and prints its id.
wait_for_window() {
  local name=$1 id=""
  for _ in $(seq $(( 100 * slack ))); do
    # A window that goes while xwininfo walks the tree makes it fail; that is no answer
    # yet, not the end of the test. awk reads to the end, so that xwininfo never writes
    # into a closed pipe.
    id=$(xwininfo -root -tree 2>/dev/null | awk -v n="\"$name\"" 'index($0, n) && id == "" { id = $1 } END { print id }') || true
    if [ -n "$id" ] && xwininfo -id "$id" 2>/dev/null | grep -q 'IsViewable'; then
      echo "$id"
      return
    fi
    sleep 0.05
  done
  fail "no window named $name"
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
  first=$(echo "$colours" | head -1)
  case "$first" in *"(0,0,128)"*) ;; *) fail "background is not the most common colour in $picture: $first" ;; esac
  echo "$colours" | grep -q "(255,255,255)" || fail "no white overlay text in $picture"
  discs=$(disc_colours "$picture" "$min_pixels")
  [ "$discs" -ge "$min_discs" ] || fail "only $discs disc colours in $picture"
  echo "$discs"
}

# Pictures of a window into FILE until they have shown, between them, at least MIN disc
# colours of more than MIN_PIXELS pixels each; check_picture's checks of the background
# and the text on the last, and the count printed. A preview's two small discs move every
# 300 ms, some by a pixel or two (a wall sets a disc's speed to how far it went past), so
# one may stay under the opaque text or half under the other for seconds: the colours are
# counted over up to twenty pictures, about eight seconds.
picture_showing() {
  local window=$1 file=$2 min_discs=$3 min_pixels=${4:-100}
  local seen="" discs=0
  for _ in $(seq 20); do
    import -window "$window" "$file"
    seen=$(printf '%s\n%s' "$seen" "$(disc_colour_list "$file" "$min_pixels")" | sed '/^$/d' | sort -u)
    discs=$(printf '%s' "$seen" | grep -c . || true)
    [ "$discs" -ge "$min_discs" ] && break
    sleep 0.3
  done
  check_picture "$file" 0 "$min_pixels" >/dev/null
  [ "$discs" -ge "$min_discs" ] || fail "only $discs disc colours in 20 pictures like $file"
  echo "$discs"
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
