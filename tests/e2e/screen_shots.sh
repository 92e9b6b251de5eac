# Pictures of the whole screen one after another, for the tests that look at a saver's
# first second. xwd takes them raw, in a fraction of ImageMagick's time with its
# encoding, so that even a busy machine fits some into that second.
#
# e2e_shoot_until_stopped DIR: takes pictures into DIR until DIR/stop exists, writing
# per picture a line "FILE START_MS END_MS" to DIR/shots: its capture began after START
# and was over by END (Unix milliseconds). Before it reads the screen, xwd asks after
# every window on it, and a window that goes away between its listing and its turn (Wine
# makes and ends hidden windows of its own as a program starts) ends xwd with BadWindow:
# that picture was never taken, and the next one is. Any other failure ends the loop
# with xwd's message.
e2e_shoot_until_stopped() {
    local dir=$1 i=0 start
    while [ ! -e "$dir/stop" ]; do
        start=$(e2e_now_ms)
        if xwd -root -silent -out "$dir/shot$i.xwd" 2>"$dir/xwd.err"; then
            echo "$dir/shot$i.xwd $start $(e2e_now_ms)" >>"$dir/shots"
        elif grep -q BadWindow "$dir/xwd.err"; then
            echo "$start" >>"$dir/vanished"
        else
            echo "no screenshot: $(head -3 "$dir/xwd.err" | tr '\n' ' ')" >&2
            return 1
        fi
        i=$((i + 1))
    done
}
