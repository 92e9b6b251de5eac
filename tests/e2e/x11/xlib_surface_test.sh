#!/usr/bin/env bash
# The Xlib drawing of the Linux saver against drawing every frame in memory, on an Xvfb of
# its own (xlib_surface_test.cpp).
set -euo pipefail
program=$1
. "$(dirname "$0")/x11_common.sh"
start_xvfb 640x480
"$program" || fail "the Xlib drawing differs from drawing every frame (above)"
