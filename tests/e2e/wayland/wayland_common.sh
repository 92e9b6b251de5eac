# Shared by the Wayland end-to-end tests: a private headless sway (outputs of 1280x720
# side by side, a swaybar at the top of each, a black background), input through sway's
# seat, pictures with grim, and checks of those pictures. Source it after set -euo
# pipefail; it sources x11_common.sh for the generic helpers ($work, pids and their
# cleanup, fail, launch, running, exit_within, expect_clean_end, histogram, disc_colours,
# ensure_user, bound, e2e_within). Needs sway, swaybg, grim, wtype, wayvnc and ImageMagick.
#
# After start_sway, WAYLAND_DISPLAY is the absolute path of sway's socket, so a client
# run as root reaches it; SWAYSOCK is its IPC socket.

. "$(dirname "${BASH_SOURCE[0]}")/../x11/x11_common.sh"

# The swaybar's background: not black, not the saver's blue, and no disc colour (those
# are 15 + 16k in each channel), so where it shows it is the bar and nothing else.
readonly kBarColour='#663311'
sway_user=varbules-e2e
sway_starts=0

# The start of a command line that runs a program as the user sway runs as (sway refuses
# root), in a clean environment with the session's runtime directory and HOME, and
# killed if the test's shell dies (launched from that shell, not a subshell); more
# VAR=value may follow before the program (WAYLAND_DISPLAY, and a sanitizer's options:
# env -i drops them). Set by start_sway. setpriv and env exec, so the pid of
# `launch NAME "${as_user[@]}" PROGRAM` is the program's own.
as_user=()

# swaymsg on the session's IPC socket, bounded: a stopped or hung sway fails the call
# (exit 124) instead of hanging the test. Exit 2 where sway refused the command.
sway_msg() {
  timeout "$(bound 5)" swaymsg -s "$SWAYSOCK" "$@"
}

# The outputs' names, one a line.
outputs() {
  sway_msg -r -t get_outputs | grep -o '"name": *"[^"]*"' | sed 's/.*"\([^"]*\)"$/\1/'
}

# start_sway [OUTPUTS [WIDTHxHEIGHT]]: starts sway with that many headless outputs (2
# unless told) of that size (1280x720) side by side, and returns once its IPC answers and
# every output shows the bar on a black background. Sets sway_pid. Exits 77 (skipped)
# where there can be no ordinary user to run it as.
start_sway() {
  local count=${1:-2} size=${2:-1280x720} i config socket
  if [ "$(id -u)" -eq 0 ]; then
    ensure_user "$sway_user" || { echo "skipped: no user $sway_user to run sway as" >&2; exit 77; }
  else
    sway_user=$(id -un)
  fi
  command -v sway >/dev/null || fail "sway is not installed (tools/install-deps)"
  # A directory of its own for each start, so that a test can start another sway after
  # killing one and never find the old one's sockets.
  sway_starts=$(( sway_starts + 1 ))
  sway_runtime=$work/sway$sway_starts/runtime
  sway_home=$work/sway$sway_starts/home
  config=$work/sway$sway_starts/config
  mkdir -p "$sway_runtime" "$sway_home"
  chmod 700 "$sway_runtime"
  chown "$sway_user" "$sway_runtime" "$sway_home"
  {
    echo "xwayland disable"
    echo "output * bg #000000 solid_color"
    for i in $(seq "$count"); do echo "output HEADLESS-$i mode $size position $(( (i - 1) * ${size%x*} )) 0"; done
    echo "bar {"
    echo "  position top"
    echo "  status_command while true; do echo varbules-test; sleep 60; done"
    echo "  colors {"
    echo "    background $kBarColour"
    echo "    statusline #ffffff"
    echo "  }"
    echo "}"
  } >"$config"
  chmod 644 "$config"
  # SIGKILL when the test's shell dies, even unable to clean up (killed on a timeout).
  as_user=(setpriv --pdeathsig KILL)
  [ "$(id -u)" -eq 0 ] && as_user+=(--reuid="$sway_user" --regid="$(id -g "$sway_user")" --init-groups)
  # In its home, where it may write a core dump.
  as_user+=(env -i -C "$sway_home" PATH=/usr/local/bin:/usr/bin:/bin HOME="$sway_home" XDG_RUNTIME_DIR="$sway_runtime")
  unset WAYLAND_DISPLAY SWAYSOCK
  launch "sway$sway_starts" "${as_user[@]}" WLR_BACKENDS=headless WLR_LIBINPUT_NO_DEVICES=1 \
    WLR_HEADLESS_OUTPUTS="$count" sway -c "$config"
  sway_pid=$last_pid
  local log=$work/sway$sway_starts.err
  SWAYSOCK=$sway_runtime/sway-ipc.$(id -u "$sway_user").$sway_pid.sock
  export SWAYSOCK
  sway_answers() {
    running "$sway_pid" || { echo "sway ended at its start: $(tail -5 "$log")" >&2; return 2; }
    [ -S "$SWAYSOCK" ] && sway_msg -t get_version >/dev/null 2>&1 || { echo "sway's IPC does not answer: $(tail -5 "$log")" >&2; return 1; }
  }
  e2e_within 5 sway_answers || exit 1
  # The Wayland socket is there before the IPC one; exactly one in this directory.
  socket=$(find "$sway_runtime" -maxdepth 1 -type s -name 'wayland-*')
  [ -n "$socket" ] && [ "$(echo "$socket" | wc -l)" = 1 ] || fail "no single Wayland socket in $sway_runtime: '$socket'"
  export WAYLAND_DISPLAY=$socket
  [ "$(outputs | wc -l)" = "$count" ] || fail "sway has outputs $(outputs | tr '\n' ' '), expected $count"
  for i in $(outputs); do wait_for_desktop "$i"; done
  shot "$work/desktop.png"
  [ "$(identify -format %wx%h "$work/desktop.png")" = "$(( count * ${size%x*} ))x${size#*x}" ] ||
    fail "the layout is $(identify -format %wx%h "$work/desktop.png"), not $count outputs of $size side by side"
}

# Waits until an output shows the bar and, below it, the black background (the bound for
# 5 s): only then can a test prove that a saver covers both.
wait_for_desktop() {
  e2e_within 5 desktop_shown "$1" || exit 1
}
desktop_shown() {
  local output=$1 file=$work/desktop-$1.png
  shot "$file" "$output"
  bar_visible "$file" && [ "$(histogram "$file" | sed -n 1p | awk '{ print $2 }')" = "(0,0,0)" ] ||
    { echo "output $output shows no bar on black: $(histogram "$file" | sed -n 1,3p | tr -s ' \n' ' ')" >&2; return 1; }
}

# The seat's capabilities as wl_seat gives them to clients (1 pointer, 2 keyboard).
seat_capabilities() {
  local caps
  caps=$(sway_msg -r -t get_seats | grep -o '"capabilities": *[0-9]*' | sed -n 1p | grep -o '[0-9]*$') && [ -n "$caps" ] &&
    echo "$caps"
}

has_pointer() {
  local caps
  caps=$(seat_capabilities) && [ $(( caps & 1 )) = 1 ]
}

# Fails the test, saying what for, unless the seat has a pointer: without one, swaymsg's
# cursor commands succeed but reach no client.
require_pointer() {
  local caps
  caps=$(seat_capabilities) || fail "$1: sway's IPC does not answer"
  [ $(( caps & 1 )) = 1 ] || fail "$1: the seat has no pointer (enable_pointer first, or wayvnc ended)"
}

# enable_pointer [OUTPUT]: a headless sway has no input device, and `seat cursor` then
# moves a cursor no client hears of (yet swaymsg says success). A wayvnc adds a virtual
# pointer and keyboard to the seat for as long as it runs. It listens on a Unix socket in
# the runtime directory, so no port can clash with another test's. It is ready once the
# seat has the pointer and wayvnc listens (it would end if it could not). Once per sway.
# sway then draws a cursor at about 100,100 of the layout until a test moves it.
enable_pointer() {
  local output=${1:-$(outputs | sed -n 1p)} socket=$sway_runtime/vnc.sock
  [ ! -e "$socket" ] || fail "enable_pointer: this sway has a wayvnc already"
  launch wayvnc "${as_user[@]}" WAYLAND_DISPLAY="$WAYLAND_DISPLAY" wayvnc -u -o "$output" "$socket"
  wayvnc_pid=$last_pid
  pointer_ready() {
    running "$wayvnc_pid" || { echo "wayvnc ended: $(tail -5 "$work/wayvnc.err")" >&2; return 1; }
    [ -S "$socket" ] && has_pointer || { echo "the seat has no pointer: $(tail -5 "$work/wayvnc.err")" >&2; return 1; }
  }
  e2e_within 5 pointer_ready || exit 1
}

# pointer_to X Y: moves the pointer to a point of the layout (all outputs side by side).
# It fails where the seat has no pointer, for then the move would reach no client.
pointer_to() {
  require_pointer "pointer_to $1 $2"
  sway_msg -q seat seat0 cursor set "$1" "$2" || fail "pointer_to $1 $2: swaymsg failed"
}

# A click of the left button where the pointer is.
click() {
  require_pointer click
  sway_msg -q seat seat0 cursor press button1 || fail "click: the press failed"
  sway_msg -q seat seat0 cursor release button1 || fail "click: the release failed"
}

# key NAME: presses and releases a key (an XKB keysym name: Escape, a, space, ...) for the
# focused client. Each run is a new virtual keyboard: the client gets its keymap and an
# enter first. Where the seat had no keyboard before (no enable_pointer), it also gets a
# capabilities change, and a client slow to ask for the keyboard may miss the key.
key() {
  timeout "$(bound 5)" wtype -k "$1" 2>"$work/wtype.err" || fail "key $1: wtype failed: $(cat "$work/wtype.err")"
}

# shot FILE [OUTPUT]: a picture of the whole layout, or of one output. Once there is a
# pointer, sway draws the cursor into the picture itself (it has no hardware cursor
# here), with grim -c or without: over a client's surface, it is the image that client
# set (none, if it set a null one), over the desktop sway's arrow.
shot() {
  local args=()
  [ -n "${2:-}" ] && args=(-o "$2")
  timeout "$(bound 5)" grim "${args[@]}" "$1" 2>"$work/grim.err" || fail "shot of ${2:-the layout}: grim: $(cat "$work/grim.err")"
}

# Adds a headless output (sway places it right of the others, at 1920x1080) and prints
# its name once sway lists it.
add_output() {
  local before
  before=$(outputs)
  sway_msg -q create_output || fail "create_output failed"
  new_output() { outputs | grep -vxF "$before" | sed -n 1p | grep . || { echo "no new output after create_output" >&2; return 1; }; }
  e2e_within 5 new_output || exit 1
}

# Ends sway at once (SIGKILL: no goodbye to its clients, as when a compositor crashes)
# and reaps it. Its pid leaves pids so that cleanup cannot signal a reused pid. wayvnc,
# which is no part of what is tested, is ended first: Debian 12's wayvnc 0.5 crashes
# (SIGSEGV in wl_proxy_get_version, as it tears down) when its compositor goes away.
kill_compositor() {
  local pid kept=()
  if [ -n "${wayvnc_pid:-}" ] && running "$wayvnc_pid"; then
    kill -TERM "$wayvnc_pid"
    exit_within "$wayvnc_pid" "$(bound 5)"
    [ "$exit_code" != running ] || fail "wayvnc is still there $(bound 5) s after SIGTERM"
  fi
  kill -KILL "$sway_pid"
  exit_within "$sway_pid" "$(bound 5)" 2>/dev/null # not bash's "Killed"
  [ "$exit_code" != running ] || fail "sway is still there $(bound 5) s after SIGKILL"
  for pid in "${pids[@]}"; do [ "$pid" = "$sway_pid" ] || kept+=("$pid"); done
  pids=("${kept[@]}")
}

# Whether every pixel of a picture is the saver's background: for an output it covers
# with no animation (and the bar and cursor hidden under it).
all_background() {
  [ "$(histogram "$1" | awk '{ print $2 }' | tr '\n' ' ')" = "(0,0,128) " ]
}

# covered OUTPUT: a picture of the output, in $work/OUTPUT.png, is all background.
covered() {
  shot "$work/$1.png" "$1"
  all_background "$work/$1.png" ||
    { echo "output $1 is not all background: $(histogram "$work/$1.png" | sed -n 1,3p | tr -s ' \n' ' ')" >&2; return 1; }
}

# covered_within OUTPUT SECONDS: waits (the bound for SECONDS) until the output is covered;
# false, saying what it showed last, if it never is.
covered_within() {
  e2e_within "$2" covered "$1"
}

# saver_on OUTPUT FILE MIN_DISCS: waits (the bound for 5 s) until a picture of the output
# into FILE passes check_saver_output, and prints the count of disc colours.
saver_on() {
  local output=$1 file=$2
  shift 2
  e2e_within 5 shot_then "$output" "$file" check_saver_output "$file" "$@" || exit 1
}
shot_then() {
  local output=$1 file=$2
  shift 2
  shot "$file" "$output" && "$@"
}

# Whether a picture of one output shows the swaybar: its colour over most of the top 16
# rows (the bar is 23 rows high; its buttons and text take the rest).
bar_visible() {
  [ "$(bar_pixels "$1" "$(identify -format %w "$1")x16+0+0")" -gt "$(( $(identify -format %w "$1") * 8 ))" ]
}

# bar_pixels FILE [WxH+X+Y]: pixels of the bar's background colour in a picture or part.
bar_pixels() {
  colour_pixels "$1" "$kBarColour" "${2:-}"
}

# colour_pixels FILE COLOUR [WxH+X+Y]: pixels of exactly that colour (not black) in a
# picture or part.
colour_pixels() {
  local crop=()
  [ -n "${3:-}" ] && crop=(-crop "$3" +repage)
  convert "$1" "${crop[@]}" -fill black +opaque "$2" -fill white -opaque "$2" -format '%[fx:round(mean*w*h)]' info:-
}

# check_saver_output FILE MIN_DISCS [MIN_PIXELS]: a picture of the one output the saver
# animates: the background most common, discs of at least MIN_DISCS colours (check_picture),
# the white rate label at its top left, the white credit line at its bottom right, and
# none of the bar. Prints the number of disc colours.
check_saver_output() {
  local file=$1 discs
  discs=$(check_picture "$@") || exit 1
  [ "$(bar_pixels "$file")" = 0 ] || fail "the bar shows in $file: $(bar_pixels "$file") pixels"
  [ "$(colour_pixels "$file" white 400x16+0+0)" -gt 20 ] || fail "no rate label at the top left of $file"
  local width height
  read -r width height < <(identify -format '%w %h\n' "$file")
  [ "$(colour_pixels "$file" white "500x30+$(( width - 500 ))+$(( height - 30 ))")" -gt 20 ] ||
    fail "no credit line at the bottom right of $file"
  echo "$discs"
}
