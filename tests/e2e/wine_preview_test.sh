#!/usr/bin/env bash
# The saver's preview (/p <HWND>) under Wine on Xvfb: preview_driver, a Win32 program in
# the same prefix, makes the window the desktop would lend, starts the saver inside it and
# checks the child window, that input leaves it running, and that it ends with exit code 0
# when its parent is destroyed. Under Wine a child drawn by another process shows nothing
# on screen, so this looks at the window and the process only.
#
#   wine_preview_test.sh <Varbule.scr> <preview_driver.exe> <window_probe.exe>
set -euo pipefail
scr=$(realpath "$1")
driver=$(realpath "$2")
probe=$(realpath "$3")
source "$(dirname "${BASH_SOURCE[0]}")/wine_e2e_common.sh"

e2e_setup
e2e_start_xvfb
e2e_log "Xvfb on $DISPLAY; Wine prefix $VARBULES_WINEPREFIX"
e2e_wine_warmup "$probe"

mkdir -p "$e2e_work/run"
result="$e2e_work/run/result.txt"
started=$(e2e_now_ms)
# The driver's output goes to a file: the saver it starts may inherit its handles, and a
# pipe would keep this script waiting for the saver too.
rc=0
(cd "$e2e_work/run" && VARBULES_E2E_FACTOR=$(e2e_factor) exec timeout "$(e2e_bound 60)" "$e2e_wine_run" "$e2e_arch" "$driver" "$(e2e_winpath "$scr")" "$(e2e_winpath "$result")" \
    >"$e2e_work/run/driver.out" 2>&1) || rc=$?
took=$(($(e2e_now_ms) - started))

if [ -f "$result" ]; then
    cat "$result"
else
    echo "FAIL: the driver wrote no result file" >&2
fi
if [ -s "$e2e_work/run/driver.out" ]; then
    echo "driver output:"
    cat "$e2e_work/run/driver.out"
fi
e2e_log "the driver took $took ms and exited with code $rc"
[ "$rc" -eq 0 ] || e2e_fail "preview checks failed (driver exit code $rc)"
tr -d '\r' <"$result" | grep -x 'result=pass' >/dev/null || e2e_fail "the result file does not say result=pass"
grep -q '^FAIL' "$result" && e2e_fail "the result file lists failures"
echo "all preview checks passed"
