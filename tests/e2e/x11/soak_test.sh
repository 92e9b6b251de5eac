#!/usr/bin/env bash
# The saver full screen for VARBULES_SOAK_SECONDS (60 unless told), with nothing touching
# it. Every few seconds: its resident memory (VmRSS), what the X server holds for each of
# its two connections (the main thread's and the animation thread's, from the X-Resource
# extension through xrestop), and the rate label's band at the top left. From the first
# sample on, the memory stays flat and the server's resources do not change at all; the
# label keeps changing; the frame log shows frames came until the end; and then one key
# still ends the saver with exit code 0 within a second. The series are printed.
set -euo pipefail
saver=$1
. "$(dirname "$0")/x11_common.sh"
seconds=${VARBULES_SOAK_SECONDS:-60}
interval=$(( seconds / 12 > 2 ? seconds / 12 : 2 ))
# Pages touched once, late in the run (a stack page, a buffer of Xlib's, a sanitizer's
# own bookkeeping), may add a few kilobytes. A leak of one small block a frame would add
# far more: at 100 frames a second, 16 bytes a frame make 160 kB in 100 s.
rss_tolerance_kb=$(( 64 * slack ))
start_xvfb 1024x768

xdotool mousemove 300 200
started=$(date +%s%N)
VARBULES_FRAME_LOG="$work/frames" launch saver "$saver" /s
saver_pid=$last_pid
wait_for_window SCREENSAVER >/dev/null
# Sampled from when it draws.
shows root "$work/first.png" 5 >/dev/null

# What the server holds for each client but itself (whose base is 0) and xrestop: one
# line per client, its resource base, its resource counts and the bytes they take.
x_resources() {
  xrestop -b -m 1 | awk -F': *' '
    /^[0-9]+ - / { if (base != "") print base, name, counts, bytes; base = ""; name = $0; sub(/^[0-9]+ - /, "", name); sub(/ \(.*$/, "", name); counts = "" }
    /res_base/ { base = $2 }
    /^\t(windows|GCs|fonts|pixmaps|pictures|glyphsets|colormaps|passive grabs|cursors|unknowns) / { key = $1; gsub(/[\t ]/, "", key); if ($2 != 0) counts = counts key "=" $2 "," }
    /total bytes/ { bytes = $2 }
    END { if (base != "") print base, name, counts, bytes }' |
    awk '$1 != "0" && $2 != "xrestop" { print $1, $3, $4 " bytes" }' | sort
}

# The rate label's band, as a checksum of its pixels.
label_band() {
  import -window root -crop 400x16+0+0 +repage rgb:- 2>/dev/null | md5sum | cut -c1-12
}

rss_series=()
first_rss=""
first_x=""
band_changes=0
samples=0
last_band=""
while :; do
  rss=$(awk '/^VmRSS:/ { print $2 }' "/proc/$saver_pid/status")
  x=$(x_resources)
  band=$(label_band)
  elapsed=$(( ($(date +%s%N) - started) / 1000000000 ))
  samples=$((samples + 1))
  rss_series+=("${elapsed}s:${rss}kB")
  echo "${elapsed} s: VmRSS ${rss} kB, label band ${band}, X resources: $(echo "$x" | paste -sd';' | sed 's/;/; /g')"

  [ "$(echo "$x" | wc -l)" = 2 ] || fail "expected the saver's two connections among the server's clients, found: $x"
  if [ -z "$first_rss" ]; then
    first_rss=$rss
    first_x=$x
  else
    [ "$x" = "$first_x" ] || fail "the server's resources for the saver changed after ${elapsed} s: from $first_x to $x"
    [ "$band" != "$last_band" ] && band_changes=$((band_changes + 1))
  fi
  last_band=$band
  running "$saver_pid" || fail "the saver ended by itself after ${elapsed} s: $(cat "$work/saver.err")"
  [ "$elapsed" -ge "$seconds" ] && break
  sleep "$interval"
done

min_rss=$(printf '%s\n' "${rss_series[@]}" | sed 's/.*:\([0-9]*\)kB/\1/' | sort -n | sed -n 1p)
max_rss=$(printf '%s\n' "${rss_series[@]}" | sed 's/.*:\([0-9]*\)kB/\1/' | sort -n | tail -1)
echo "VmRSS series: ${rss_series[*]}"
[ $((max_rss - min_rss)) -le "$rss_tolerance_kb" ] ||
  fail "resident memory moved by $((max_rss - min_rss)) kB (from $min_rss to $max_rss), more than $rss_tolerance_kb kB"
# The rate has two decimals and changes every second; two pictures seconds apart rarely
# show the same one, a stopped animation always does.
[ "$band_changes" -ge $(( (samples - 1) / 2 )) ] ||
  fail "the rate label changed between only $band_changes of $((samples - 1)) samples"

pressed_ms=$(( ($(date +%s%N) - started) / 1000000 ))
xdotool key a
expect_clean_end saver "$saver_pid" 1 "a key after the soak"
end_ms=$exit_ms

# The frame log is written as the animation ends: frames came all along, and the last
# one shortly before the key (times are from the saver's start, a little after ours).
e2e_within 1 test -s "$work/frames" || fail "no frame log after the saver ended"
read -r frames first_ms last_ms < <(sed -n 's/^frames=\([0-9]*\) first_frame_ms=\([0-9]*\) last_frame_ms=\([0-9]*\) .*$/\1 \2 \3/p' "$work/frames")
[ -n "${frames:-}" ] || fail "no frame log: $(cat "$work/frames" 2>/dev/null)"
per_second=$(( frames * 1000 / (last_ms - first_ms + 1) ))
[ "$per_second" -ge 10 ] || fail "only $per_second frames a second over the run ($frames frames)"
[ "$last_ms" -ge $(( pressed_ms - $(e2e_bound_ms 2) )) ] ||
  fail "the last frame was at $last_ms ms, the key came at $pressed_ms ms"

echo "ok: ${seconds} s full screen: VmRSS from $min_rss to $max_rss kB (tolerance $rss_tolerance_kb kB), X resources the same in all $samples samples, the rate label changed $band_changes times in $((samples - 1)) intervals, $frames frames ($per_second a second, the last at $last_ms ms, the key at $pressed_ms ms); the key ended it in $end_ms ms with exit 0"
