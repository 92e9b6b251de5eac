#!/usr/bin/env bash
# Runs the snapshot program and checks the picture it saves: the whole client area in
# the dark blue background, discs in several colours, and the overlays in white.
set -euo pipefail
. "$(dirname "$0")/errexit_report.sh"
snapshot=$1
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$work"

"$snapshot" --width 800 --height 600 --count 16 --frames 300 --out shot.ppm >/dev/null
[ "$(identify -format '%w %h' shot.ppm)" = "800 600" ] || { echo "wrong picture size"; exit 1; }

# Colours by pixel count, most common first.
histogram=$(convert shot.ppm -format %c histogram:info:- | sort -rn)
first=$(echo "$histogram" | sed -n 1p)
case "$first" in *"(0,0,128)"*) ;; *) echo "background is not the most common colour: $first"; exit 1 ;; esac
echo "$histogram" | grep "(255,255,255)" >/dev/null || { echo "no white overlay text"; exit 1; }
discs=$(echo "$histogram" | grep -v -e "(0,0,128)" -e "(255,255,255)" | wc -l)
[ "$discs" -ge 5 ] || { echo "only $discs disc colours"; exit 1; }
echo "ok: background, overlays and $discs disc colours"
