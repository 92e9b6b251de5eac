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

# Only the frames the display shows are drawn, the others stepped; every picture is
# still a frame of the rules. A disc left behind where a stepped frame moved it from
# would be pixels of its colour beyond what 64 discs cover (30 pixels across here, each
# the pixels whose centres lie inside its circle; overlaps and text only cover fewer).
disc_area=$(awk 'BEGIN { d = 30; for (y = 0; y < d; y++) for (x = 0; x < d; x++) {
  u = (x + 0.5 - d / 2) / (d / 2); v = (y + 0.5 - d / 2) / (d / 2); n += u * u + v * v <= 1 } print n }')
disc_pixels() {
  histogram "$1" | grep -v -e "(0,0,128)" -e "(255,255,255)" | awk '{ s += $1 } END { print s + 0 }'
}
# The rate label's band, as a checksum.
label_of() {
  convert "$1" -crop 400x16+0+0 +repage rgb:- | md5sum
}
# label_changes SHOT: pictures until the label differs from the one in $label; each
# picture's discs no more than 64 cover.
label_changes() {
  import -window root "$1"
  local pixels
  pixels=$(disc_pixels "$1")
  [ "$pixels" -le $(( 64 * disc_area )) ] || fail "$pixels pixels of disc colours in $1, more than 64 discs of $disc_area cover: a disc was left behind"
  [ "$(label_of "$1")" != "$label" ]
}
import -window root "$work/stepped-0.png"
label=$(label_of "$work/stepped-0.png")
for second in 1 2; do
  e2e_within 3 label_changes "$work/stepped-$second.png" ||
    fail "the rate label did not change within $(bound 3) s (second $second)"
  label=$(label_of "$work/stepped-$second.png")
done
echo "ok: stepped frames leave no disc behind (at most $(( 64 * disc_area )) disc pixels), and the rate label changes every second"
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
