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
home=$(getent passwd "$user" | cut -d: -f6)
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
for _ in $(seq 100); do
  xscreensaver-command -time >/dev/null 2>&1 && break
  sleep 0.1
done
xscreensaver-command -time >/dev/null 2>&1 || fail "the daemon did not start: $(tail -5 "$work/daemon.err")"

xscreensaver-command -activate >/dev/null
hack=""
for _ in $(seq 100); do
  hack=$(pgrep -u "$user" -x varbules || true)
  [ -n "$hack" ] && break
  sleep 0.05
done
[ -n "$hack" ] || fail "-activate did not start the hack: $(tail -5 "$work/daemon.err")"
grep -qa -- '--root' "/proc/$hack/cmdline" || fail "the hack was not started with --root"

sleep 1.5
import -window root "$work/activated.png"
discs=$(check_picture "$work/activated.png" 5)

xscreensaver-command -deactivate >/dev/null
for _ in $(seq 60); do
  kill -0 "$hack" 2>/dev/null || break
  sleep 0.05
done
kill -0 "$hack" 2>/dev/null && fail "-deactivate did not end the hack"
# The log is written as the animation thread ends, which only a clean stop lets it do.
for _ in $(seq 20); do [ -s "$work/log/frames" ] && break; sleep 0.05; done
frames=$(sed -n 's/^frames=\([0-9]*\).*/\1/p' "$work/log/frames" 2>/dev/null || true)
[ -n "$frames" ] && [ "$frames" -gt 50 ] || fail "no clean end of the animation (frame log: $(cat "$work/log/frames" 2>/dev/null))"
grep -q "varbules: X error" "$work/daemon.err" && fail "the hack reported an X error: $(grep 'X error' "$work/daemon.err")"

xscreensaver-command -exit >/dev/null 2>&1 || true
exit_within "$daemon_pid" 5
echo "ok: xscreensaver ran the hack with --root ($discs disc colours on its window), -deactivate ended it after $frames frames"
