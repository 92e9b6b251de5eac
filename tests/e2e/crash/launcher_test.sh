#!/usr/bin/env bash
# The launcher of the X11 and Wayland end-to-end tests names what dies: a saver broken on
# purpose (it crashes as its first frame ends) is told once, by the name it was launched
# as, with its signal (or, in a sanitizer build, the sanitizer's report), the last lines
# of its stderr and its stack from its core dump; the test that launched it fails,
# though it checked nothing else, and a program ended by the test's own SIGTERM is no
# crash.
#   launcher_test.sh <crashing_saver>
set -euo pipefail
crasher=$1
here=$(dirname "$0")
out=$(mktemp)
trap 'rm -f "$out"' EXIT
say() { echo "FAIL: $*" >&2; echo "--- the inner test said:" >&2; cat "$out" >&2; exit 1; }

# The inner test: launches the crasher and a program that SIGTERM ends, reaps both, and
# would pass.
status=0
bash -c '
  set -euo pipefail
  . "$1/../x11/x11_common.sh"
  launch broken-saver "$2"
  broken=$last_pid
  launch sleeper sleep 60
  exit_within "$broken" "$(bound 10)"
  [ "$exit_code" != running ] || fail "the crasher still runs"
  kill -TERM "$last_pid"
  echo "inner test done"
' _ "$here" "$(realpath "$crasher")" >"$out" 2>&1 || status=$?

[ "$status" = 1 ] || say "the inner test ended with $status, not 1"
grep -q '^inner test done$' "$out" || say "the inner test did not run to its end"
reports=$(grep -c '^FAIL: broken-saver (pid [0-9]*) ended' "$out" || true)
[ "$reports" = 1 ] || say "$reports reports name broken-saver, expected one"
grep -q 'sleeper' "$out" && say "a program ended by SIGTERM was reported"
grep -q 'first frame drawn' "$out" || say "the report does not show the crasher's stderr"
if grep -q "broken-saver (pid [0-9]*) ended with a sanitizer's report" "$out"; then
  grep -q 'SEGV' "$out" || say "the sanitizer's report does not say SEGV"
  grep -q 'Pause .*crashing_saver.cpp' "$out" || say "the sanitizer's report has no stack through the crasher's Pause"
  how="a sanitizer's report"
else
  grep -q 'broken-saver (pid [0-9]*) ended by signal 11 (SIGSEGV)' "$out" || say "no signal named"
  grep -q '^  core dump' "$out" || say "no core dump read"
  grep -q 'CrashingClock::Pause' "$out" || say "the stack does not name CrashingClock::Pause"
  how="SIGSEGV and a stack from its core dump"
fi
echo "ok: the crash was told once, with $how, and failed the test"
