#!/usr/bin/env bash
# /s: full screen, the picture and the count; a key press, a button press and a pointer
# move of one pixel each end the saver with exit code 0 within a second; a pointer that
# stays where it is does not.
set -euo pipefail
saver=$1
. "$(dirname "$0")/x11_common.sh"
start_xvfb 1024x768

# Starts the saver full screen and waits until it is drawing.
start_saver() {
  xdotool mousemove 300 200
  launch saver "$saver" "$@" /s
  saver_pid=$last_pid
  wait_for_window SCREENSAVER >/dev/null
  sleep 0.4
}

expect_end() {
  expect_clean_end saver "$saver_pid" 1 "$1"
  ends+=" $1 ${exit_ms} ms;"
}
ends=""

# The picture, with the count from the command line: 16 discs, then 64.
start_saver --count 16
sleep 0.8
import -window root "$work/16.png"
few=$(check_picture "$work/16.png" 5)
[ "$few" -le 16 ] || fail "--count 16 shows $few disc colours"

# A pointer that does not move, told to go where it already is, ends nothing.
xdotool mousemove 300 200
sleep 1.2
running "$saver_pid" || fail "a still pointer ended the saver"
xdotool key a
expect_end "key press"

start_saver --count 64
import -window root "$work/64.png"
many=$(check_picture "$work/64.png" 5)
[ "$many" -gt 32 ] || fail "--count 64 shows only $many disc colours"
xdotool click 1
expect_end "button press"

start_saver
xdotool mousemove_relative 1 0
expect_end "pointer moved one pixel"

start_saver
xdotool click 3
expect_end "right button press"

# The count from the user's own settings file ($XDG_CONFIG_HOME/varbules) comes before the
# current directory's, and --count before both.
settings_file() {  # settings_file <file> <count>: a 512-byte record with the count at byte 1
  mkdir -p "$(dirname "$1")"
  { printf '\000'; printf "\\$(printf %03o "$2")"; head -c 510 /dev/zero; } >"$1"
}
# shown <name> <options...>: a run's picture, its disc colours in $discs; a key ends it.
shown() {
  local name=$1
  shift
  start_saver "$@"
  import -window root "$work/$name.png"
  discs=$(check_picture "$work/$name.png" 5)
  xdotool key a
  expect_end "key press"
}
settings_file "$work/config/varbules/Varbule.ini" 16
settings_file "$work/here/Varbule.ini" 64
cd "$work/here"
XDG_CONFIG_HOME="$work/config" shown own
own=$discs
[ "$own" -le 16 ] || fail "the user's own file says 16, the current directory's 64: $own disc colours show"
rm "$work/config/varbules/Varbule.ini"
XDG_CONFIG_HOME="$work/config" shown here
here=$discs
[ "$here" -gt 32 ] || fail "without a file of the user's own the current directory's 64 count: $here disc colours show"
settings_file "$work/config/varbules/Varbule.ini" 16
XDG_CONFIG_HOME="$work/config" shown count --count 64
counted=$discs
[ "$counted" -gt 32 ] || fail "--count 64 over a file of 16: $counted disc colours show"
cd - >/dev/null

echo "ok: the user's own file gives $own disc colours, the current directory's $here, --count 64 over both $counted"
echo "ok: --count 16 shows $few disc colours, --count 64 shows $many; key, buttons and a one-pixel move end it, a still pointer does not; ended after:$ends"
