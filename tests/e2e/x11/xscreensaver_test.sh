#!/usr/bin/env bash
# Debian's xscreensaver daemon drives the saver as one of its hacks: with a user
# configuration naming it, -activate starts it drawing on the daemon's window and
# -deactivate ends it (by SIGTERM), after which its animation has ended cleanly.
# The daemon will not run hacks as root, so it runs as an ordinary user of its own.
set -euo pipefail
saver=$1
. "$(dirname "$0")/x11_common.sh"

user=varbules-e2e
if ! ensure_user "$user"; then
  echo "skipped: needs root to add the user $user"
  exit 77
fi
home=$(own_home "$user")
start_xvfb 1024x768

# The hack where that user can run it, and a folder where it can write its frame log.
install -m 755 "$saver" "$work/varbules"
mkdir -m 777 "$work/log"
cat >"$home/.xscreensaver" <<CONF
mode:		one
selected:	0
lock:		False
splash:		False
fade:		False
unfade:		False
timeout:	1:00:00
programs:	$work/varbules --root \\n
CONF
chown "$user" "$home/.xscreensaver"

launch daemon runuser -u "$user" -- env DISPLAY="$DISPLAY" HOME="$home" \
  VARBULES_FRAME_LOG="$work/log/frames" xscreensaver -no-splash -verbose
daemon_pid=$last_pid
e2e_within 10 xscreensaver-command -time >/dev/null || fail "the daemon did not start: $(tail -5 "$work/daemon.err")"

xscreensaver-command -activate >/dev/null
hack=$(e2e_within 5 pgrep -u "$user" -f -- "^$work/varbules") || fail "-activate did not start the hack: $(tail -5 "$work/daemon.err")"
grep -qa -- '--root' "/proc/$hack/cmdline" || fail "the hack was not started with --root"

discs=$(shows root "$work/activated.png" 5)

xscreensaver-command -deactivate >/dev/null
# Ended: gone, or a zombie that its parent (the daemon's, or init once that went) has
# not reaped yet.
gone() {
  local state
  state=$(sed -n 's/^State:[[:space:]]*\([A-Z]\).*/\1/p' "/proc/$1/status" 2>/dev/null || true)
  [ -z "$state" ] || [ "$state" = Z ] || { echo "process $1 still runs ($state)" >&2; return 1; }
}
if ! e2e_within 3 gone "$hack"; then
  e2e_live_stack "$hack"
  fail "-deactivate did not end the hack: $(ps -o pid,ppid,stat,args -p "$hack" | tail -1); the daemon said: $(tail -12 "$work/daemon.err")"
fi
# The log is written as the animation thread ends, which only a clean stop lets it do.
e2e_within 1 test -s "$work/log/frames" || true
# How many frames it drew depends on how soon the screenshot saw its discs (a quarter of a
# second on an idle machine); that it drew more than one says it animated.
frames=$(sed -n 's/^frames=\([0-9]*\).*/\1/p' "$work/log/frames" 2>/dev/null || true)
[ -n "$frames" ] && [ "$frames" -gt 1 ] || fail "no clean end of the animation (frame log: $(cat "$work/log/frames" 2>/dev/null))"
grep -q "varbules: X error" "$work/daemon.err" && fail "the hack reported an X error: $(grep 'X error' "$work/daemon.err")"

xscreensaver-command -exit >/dev/null 2>&1 || true
exit_within "$daemon_pid" "$(bound 5)"
echo "ok: xscreensaver ran the hack with --root ($discs disc colours on its window), -deactivate ended it after $frames frames"
