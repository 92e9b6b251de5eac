# Two monitors on one X display, for the Wine and the X11 end-to-end tests; sourced.
#
# Xvfb cannot lay out two heads side by side, so an Xephyr runs on an Xvfb: its one X
# screen is 1824x768 with Xinerama heads 1024x768 at 0,0 (the primary, being the first)
# and 800x600 at 1024,0.

readonly kPrimaryHead=1024x768+0+0 kSecondHead=800x600+1024+0

# two_monitors_start <directory>: starts both servers, logs in the directory, exports
# DISPLAY for Xephyr's display, and puts both servers' pids in two_monitors_pids.
two_monitors_start() {
    local dir=$1 i
    two_monitors_pids=()
    Xvfb -displayfd 3 -screen 0 1900x800x24 -nolisten tcp -noreset 3>"$dir/host.display" 2>"$dir/host.log" &
    two_monitors_pids+=($!)
    for i in $(seq 100); do [ -s "$dir/host.display" ] && break; sleep 0.05; done
    [ -s "$dir/host.display" ] || { echo "the host Xvfb did not start: $(tail -2 "$dir/host.log")" >&2; return 1; }
    DISPLAY=":$(head -1 "$dir/host.display")" Xephyr -displayfd 3 +xinerama -screen 1024x768 -screen 800x600 \
        -nolisten tcp -noreset 3>"$dir/two.display" 2>"$dir/xephyr.log" &
    two_monitors_pids+=($!)
    for i in $(seq 100); do [ -s "$dir/two.display" ] && break; sleep 0.05; done
    [ -s "$dir/two.display" ] || { echo "Xephyr did not start: $(tail -2 "$dir/xephyr.log")" >&2; return 1; }
    export DISPLAY=":$(head -1 "$dir/two.display")"
    local heads
    heads=$(xdpyinfo -ext XINERAMA 2>/dev/null | sed -n 's/^ *head #[0-9]*: \([0-9x]*\) @ \([0-9]*\),\([0-9]*\)$/\1+\2+\3/p' | tr '\n' ' ')
    [ "$heads" = "$kPrimaryHead $kSecondHead " ] || { echo "Xephyr's heads are '$heads'" >&2; return 1; }
}

# The colours of a part (WxH+X+Y) of a picture, "<pixels> <r>,<g>,<b>" a line, most first.
two_monitors_colours() {
    convert "$1" -crop "$2" +repage -format %c histogram:info:- |
        sed -E 's/^ *([0-9]+): *\( *([0-9]+), *([0-9]+), *([0-9]+).*/\1 \2,\3,\4/' | sort -rn
}

# A part of a picture that is all dark blue, the saver's background.
two_monitors_blank() {
    [ "$(two_monitors_colours "$1" "$2" | awk '{ print $2 }' | tr '\n' ' ')" = "0,0,128 " ]
}

# How many disc colours a part of a picture shows: 15 + 16k in each channel, pure white
# (the text) left out, each on more than 100 pixels.
two_monitors_disc_colours() {
    two_monitors_colours "$1" "$2" | awk -F'[ ,]' '$1 > 100 && $2 % 16 == 15 && $3 % 16 == 15 && $4 % 16 == 15 &&
        !($2 == 255 && $3 == 255 && $4 == 255) { n++ } END { print n + 0 }'
}

# White text in a part of a picture (the rate label, the credit line): pixels.
two_monitors_white() {
    two_monitors_colours "$1" "$2" | awk '$2 == "255,255,255" { print $1; found = 1 } END { if (!found) print 0 }'
}
