#!/usr/bin/env bash
# /s: full screen, the picture and the count; a key press, a button press and a pointer
# move of one pixel each end the saver with exit code 0 within a second; a pointer that
# stays where it is does not.
set -euo pipefail
saver=$1
. "$(dirname "$0")/x11_common.sh"
start_xvfb 1024x768

# start_saver MIN [OPTION...]: starts the saver full screen and waits until it is drawing:
# its picture shows discs of at least MIN colours, and the text; their count in $discs.
start_saver() {
  local min=$1
  shift
  xdotool mousemove 300 200
  launch saver "$saver" "$@" /s
  saver_pid=$last_pid
  wait_for_window SCREENSAVER >/dev/null
  discs=$(shows root "$work/saver.png" "$min")
}

expect_end() {
  expect_clean_end saver "$saver_pid" 1 "$1"
  ends+=" $1 ${exit_ms} ms;"
}
ends=""

# The picture, with the count from the command line: 16 discs, then 64.
start_saver 5 --count 16
few=$discs
[ "$few" -le 16 ] || fail "--count 16 shows $few disc colours"

# A pointer that does not move, told to go where it already is, ends nothing.
xdotool mousemove 300 200
sleep 1.2
running "$saver_pid" || fail "a still pointer ended the saver"
xdotool key a
expect_end "key press"

start_saver 33 --count 64
many=$discs
xdotool click 1
expect_end "button press"

start_saver 5
xdotool mousemove_relative 1 0
expect_end "pointer moved one pixel"

start_saver 5
xdotool click 3
expect_end "right button press"

# The count from the user's own settings file ($XDG_CONFIG_HOME/varbules) comes before the
# current directory's, and --count before both.
settings_file() {  # settings_file <file> <count>: a 512-byte record with the count at byte 1
  mkdir -p "$(dirname "$1")"
  { printf '\000'; printf "\\$(printf %03o "$2")"; head -c 510 /dev/zero; } >"$1"
}
# shown <min> <options...>: a run's picture with at least MIN disc colours, their count
# in $discs; a key ends it.
shown() {
  start_saver "$@"
  xdotool key a
  expect_end "key press"
}
settings_file "$work/config/varbules/Varbule.ini" 16
settings_file "$work/here/Varbule.ini" 64
cd "$work/here"
XDG_CONFIG_HOME="$work/config" shown 5
own=$discs
[ "$own" -le 16 ] || fail "the user's own file says 16, the current directory's 64: $own disc colours show"
rm "$work/config/varbules/Varbule.ini"
XDG_CONFIG_HOME="$work/config" shown 33
here=$discs
settings_file "$work/config/varbules/Varbule.ini" 16
XDG_CONFIG_HOME="$work/config" shown 33 --count 64
counted=$discs
cd - >/dev/null

echo "ok: the user's own file gives $own disc colours, the current directory's $here, --count 64 over both $counted"
echo "ok: --count 16 shows $few disc colours, --count 64 shows $many; key, buttons and a one-pixel move end it, a still pointer does not; ended after:$ends"
