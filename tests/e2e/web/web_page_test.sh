#!/usr/bin/env bash
# The web page in headless Chromium:
#   - it is one file of less than 150 KB;
#   - its self-test leaves the table after N frames exactly as the native build's
#     varbules-snapshot leaves it, for the same seed, size and count (64 discs on
#     1024x768, 16 on a small odd screen, and a screen of one pixel);
#   - a picture of it running shows the background, discs of many colours, the rate
#     label at the top left and the credit line at the bottom right, also when its
#     address holds nonsense.
#
#   web_page_test.sh <varbules.html> <varbules-snapshot>
set -euo pipefail
. "$(dirname "$0")/../errexit_report.sh"
page=$(realpath "$1")
snapshot=$(realpath "$2")
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failures=0
check() {
    local message=$1
    shift
    if "$@"; then echo "ok: $message"; else echo "FAIL: $message" >&2; failures=$((failures + 1)); fi
}

# chromium <what> <flags...>: a fresh headless browser; prints its output.
chromium_run() {
    rm -rf "$work/profile"
    timeout 60 chromium --headless=new --no-sandbox --disable-gpu --no-first-run --disable-background-networking \
        --disable-component-update --disable-sync --user-data-dir="$work/profile" "$@" 2>"$work/chromium.err"
}

size=$(stat -c %s "$page")
check "the page is one file of $size bytes, under 150 KB" [ "$size" -lt 153600 ]

# same_state <seed> <frames> <W>x<H> <count>
same_state() {
    local seed=$1 frames=$2 size=$3 count=$4
    local query="selftest&seed=$seed&frames=$frames&size=$size&count=$count"
    chromium_run --virtual-time-budget=10000 --dump-dom "file://$page?$query" >"$work/dom.html"
    perl -0777 -ne 'print $1 if /<pre id="state" data-done="1">(.*?)<\/pre>/s' "$work/dom.html" >"$work/page.txt"
    local args=(--seed "$seed" --frames "$frames" --width "${size%x*}" --height "${size#*x}" --count "$count")
    "$snapshot" "${args[@]}" --out "$work/native.ppm" --state "$work/native.txt" >/dev/null
    echo "  $query: $(($(wc -l <"$work/native.txt") - 1)) varbules in the native state, $(($(wc -l <"$work/page.txt") - 1)) in the page's"
    [ -s "$work/native.txt" ] && cmp -s "$work/page.txt" "$work/native.txt"
}
check "64 varbules on 1024x768 after 2000 frames: the page's table is the native one, bit for bit" \
    same_state 20261208 2000 1024x768 64
check "16 on 321x203 after 700 frames as well" same_state 7 700 321x203 16
check "a screen of one pixel: no varbule is seen, and the table still moves the same" same_state 99 300 1x1 32

# picture <address options> <file>: the page running for two seconds of its time.
picture() {
    chromium_run --window-size=1024,768 --virtual-time-budget=2000 --screenshot="$2" "file://$page${1:+?$1}" >/dev/null
}
colours() { convert "$1" -format %c histogram:info:- | sed -E 's/^ *([0-9]+): *\( *([0-9]+), *([0-9]+), *([0-9]+).*/\1 \2 \3 \4/' | sort -rn; }
disc_colours() { colours "$1" | awk '$1 > 100 && $2 % 16 == 15 && $3 % 16 == 15 && $4 % 16 == 15 && !($2 == 255 && $3 == 255 && $4 == 255)' | wc -l; }
# Text pixels in a part of a picture: white, or the light greys of its smoothed edges.
white_in() {
    convert "$1" -crop "$2" +repage -depth 8 rgb:- | od -An -v -tu1 -w3 |
        awk '$1 >= 200 && $2 >= 200 && $3 >= 200 && $1 - $3 <= 8 && $3 - $1 <= 8 { n++ } END { print n + 0 }'
}
looks_right() {
    local shot=$1 discs=$2 first
    first=$(colours "$shot" | sed -n 1p)
    [ "$(echo "$first" | cut -d' ' -f2-)" = "0 0 128" ] || { echo "  most common colour: $first"; return 1; }
    [ "$(disc_colours "$shot")" -ge "$discs" ] || { echo "  $(disc_colours "$shot") disc colours"; return 1; }
    [ "$(white_in "$shot" 300x20+0+0)" -ge 50 ] || { echo "  no text at the top left"; return 1; }
    [ "$(white_in "$shot" 500x24+524+744)" -ge 50 ] || { echo "  no text at the bottom right"; return 1; }
}
picture "count=64" "$work/64.png"
check "running with 64: the background, $(disc_colours "$work/64.png") disc colours, the label and the credit line" \
    looks_right "$work/64.png" 40
picture "count=abc&size=-1&frames=x&%zz&preview=no" "$work/nonsense.png"
check "an address of nonsense leaves the defaults: $(disc_colours "$work/nonsense.png") disc colours" \
    looks_right "$work/nonsense.png" 20

[ "$failures" -eq 0 ] || { echo "$failures check(s) failed; chromium said: $(tail -3 "$work/chromium.err")"; exit 1; }
echo "the page passed"
