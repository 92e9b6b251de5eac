# A headless GNOME session for the idle watch's tests and tools/measure-idle, sourced after
# x11_common.sh: mutter (Wayland only, one virtual monitor of 1024x768) and gnome-session
# with a session of no components of its own, on a session bus and a system bus of their
# own, all as an ordinary user (mutter will not run as root), and the user's keyboard
# through mutter's remote desktop.
#
# start_gnome BUS_TOOL: starts it all; as_user then starts a program in that session
# (launch NAME "${as_user[@]}" PROGRAM ...), $gnome is its folder (its user's home in
# $gnome/home), and press KEYSYM presses a key. Exits 77 (skipped) where there can be no
# ordinary user to run it as.
start_gnome() {
  gnome_bus_tool=$1
  command -v mutter >/dev/null && command -v gnome-session >/dev/null ||
    fail "mutter and gnome-session are not installed (tools/install-deps)"
  user=varbules-e2e
  ensure_user "$user" || { echo "skipped: needs root to add the user $user"; exit 77; }
  gnome=$work/gnome
  mkdir -p "$gnome/run" "$gnome/home" "$gnome/data/gnome-session/sessions"
  chmod 700 "$gnome/run"
  chown "$user" "$gnome/run" "$gnome/home"
  # A session of its own with nothing to start: gnome-session gives it its inhibitors.
  printf '[GNOME Session]\nName=varbules test\nRequiredComponents=\n' >"$gnome/data/gnome-session/sessions/varbules-test.session"
  chmod -R a+rX "$gnome/data"
  # A session bus, and a system bus of the session's own (gnome-session will not run
  # without one; nothing on it answers, as logind and systemd would).
  bus=unix:path=$gnome/run/bus
  system_bus=unix:path=$gnome/run/system-bus
  as_user=(setpriv --pdeathsig KILL --reuid="$user" --regid="$(id -g "$user")" --init-groups
    env -i -C "$gnome/home" PATH=/usr/local/bin:/usr/bin:/bin HOME="$gnome/home" XDG_RUNTIME_DIR="$gnome/run"
    DBUS_SESSION_BUS_ADDRESS="$bus" DBUS_SYSTEM_BUS_ADDRESS="$system_bus" XDG_DATA_DIRS="$gnome/data:/usr/share"
    WAYLAND_DISPLAY=varbules-gnome ASAN_OPTIONS="${ASAN_OPTIONS:-}" UBSAN_OPTIONS="${UBSAN_OPTIONS:-}"
    TSAN_OPTIONS="${TSAN_OPTIONS:-}")

  launch bus "${as_user[@]}" dbus-daemon --session --nofork --address="$bus"
  launch system-bus "${as_user[@]}" dbus-daemon --config-file=/usr/share/dbus-1/session.conf --nofork --address="$system_bus"
  e2e_within 5 test -S "$gnome/run/bus" -a -S "$gnome/run/system-bus" ||
    fail "no buses: $(cat "$work/bus.err" "$work/system-bus.err")"
  owned() { "${as_user[@]}" "$gnome_bus_tool" has-name "$1" || { echo "nobody has $1 on the bus" >&2; return 1; }; }
  launch session "${as_user[@]}" gnome-session --builtin --disable-acceleration-check --session=varbules-test
  e2e_within 10 owned org.gnome.SessionManager || fail "gnome-session did not start: $(tail -5 "$work/session.err")"
  launch mutter "${as_user[@]}" mutter --headless --wayland --no-x11 --virtual-monitor 1024x768 --wayland-display varbules-gnome
  e2e_within 10 owned org.gnome.Mutter.IdleMonitor || fail "mutter did not start: $(tail -5 "$work/mutter.err")"
  e2e_within 10 test -S "$gnome/run/varbules-gnome" || fail "mutter has no Wayland socket: $(tail -5 "$work/mutter.err")"
  # The user's keyboard: a remote desktop session for the whole test, so that the seat has
  # a keyboard before the saver comes (one that came later might be learnt of too late).
  mkfifo "$work/remote.in"
  exec 8<>"$work/remote.in"
  launch_input=$work/remote.in launch remote "${as_user[@]}" "$gnome_bus_tool" gnome-remote
  e2e_within 5 grep -q '^started' "$work/remote.out" || fail "no remote desktop session: $(cat "$work/remote.err")"
  presses=0
  press() {
    echo "key $1" >&8
    presses=$((presses + 1))
    pressed() { [ "$(grep -c '^pressed' "$work/remote.out")" -ge "$presses" ] || { echo "no key pressed" >&2; return 1; }; }
    e2e_within 5 pressed || fail "the remote desktop pressed no key $1: $(cat "$work/remote.err")"
  }
  # mutter makes the session's keyboard at its first key: one now, before any saver.
  press 0xffe1  # Shift
}
