#!/usr/bin/env bash
# The Debian package of the Linux saver, for real on this machine (as root): lintian has
# no error and no warning to give (debian/varbules.lintian-overrides says why for any it
# is told to keep quiet), its dependencies were computed from the programs (libc6 at a
# version, X11's and Wayland's libraries, libsystemd's), apt-get installs it, the command
# on the PATH runs the saver full screen on an X server and ends it on a key with exit
# code 0 and hands a Wayland run to the program beside it, its idle watch starts it after
# the wait, the user unit verifies, xscreensaver's settings description parses, and
# apt-get purge leaves none of its files behind.
#   debian_package_test.sh <varbules_VERSION_ARCH.deb>
set -euo pipefail
deb=$(realpath "$1")
. "$(dirname "$0")/x11/x11_common.sh"

purge() {
  DEBIAN_FRONTEND=noninteractive apt-get purge -y -q varbules >"$work/purge.out" 2>&1
}
# A failed check leaves no package behind either; the test's own status is the one it
# ends with.
trap 'rc=$?; if dpkg -s varbules >/dev/null 2>&1; then purge || true; fi; cleanup "$rc"' EXIT

# Every tag lintian knows, the pedantic ones and the mere information included, is
# printed; an error or a warning fails. (As root it says that it is; that is no tag.)
lintian --fail-on error,warning --info --pedantic "$deb" >"$work/lintian.out" 2>&1 ||
  fail "lintian: $(cat "$work/lintian.out")"
tags=$(grep -v 'running with root privileges' "$work/lintian.out" || true)
echo "ok: lintian: ${tags:-nothing to say}"
depends=$(dpkg-deb -f "$deb" Depends)
for library in 'libc6 (>= ' libx11-6 libwayland-client0 libxcb-screensaver0 libsystemd0; do
  grep -qF "$library" <<<"$depends" || fail "the package's Depends lacks $library: $depends"
done
echo "ok: Depends: $depends"

DEBIAN_FRONTEND=noninteractive apt-get install -y -q --no-install-recommends "$deb" >"$work/install.out" 2>&1 ||
  fail "apt-get install: $(tail -5 "$work/install.out")"
# Its files and links; its folders may be others' too.
files=$(dpkg -L varbules | while read -r path; do if [ -L "$path" ] || [ ! -d "$path" ]; then echo "$path"; fi; done)
for path in /usr/bin/varbules /usr/libexec/xscreensaver/varbules /usr/libexec/xscreensaver/varbules-wayland \
  /usr/libexec/xscreensaver/varbules-idle /usr/lib/systemd/user/varbules-idle.service \
  /usr/share/xscreensaver/config/varbules.xml /usr/share/man/man6/varbules.6.gz \
  /usr/share/applications/screensavers/varbules.desktop /usr/share/doc/varbules/copyright \
  /usr/share/doc/varbules/changelog.gz; do
  grep -qx "$path" <<<"$files" || fail "the package has no $path"
done
xmllint --noout /usr/share/xscreensaver/config/varbules.xml || fail "the installed varbules.xml does not parse"

start_xvfb 1024x768
launch saver varbules /s
wait_for_window SCREENSAVER >/dev/null
discs=$(shows root "$work/installed.png" 25)
xdotool key a
expect_clean_end saver "$last_pid" 1 "the installed saver, a key"
rc=0
env WAYLAND_DISPLAY=/nonexistent varbules /s 2>"$work/wayland.err" || rc=$?
[ "$rc" = 1 ] && grep -q "cannot connect to the Wayland display /nonexistent" "$work/wayland.err" ||
  fail "varbules did not hand a Wayland run to varbules-wayland (exit $rc): $(cat "$work/wayland.err")"
echo "ok: installed, varbules /s shows $discs disc colours and ends on a key, and hands Wayland's runs on"

# The idle watch beside it starts it after the wait, and the user unit is one systemd takes.
. "$(dirname "$0")/idle/idle_common.sh"
launch idle varbules --idle "$kWaitMinutes"
idle_pid=$last_pid
saver_started 1
shows root "$work/idle-saver.png" 25 >/dev/null
xdotool key a
saver_ended 1 0
kill -TERM "$idle_pid"
expect_clean_end idle "$idle_pid" 2 "the installed idle watch, on SIGTERM"
mkdir -m 700 "$work/runtime"
XDG_RUNTIME_DIR=$work/runtime systemd-analyze verify --man=no --user /usr/lib/systemd/user/varbules-idle.service \
  >"$work/unit.out" 2>&1 || fail "systemd-analyze verify: $(cat "$work/unit.out")"
# Each user turns it on; installing it turns it on for nobody.
[ ! -e /etc/systemd/user/graphical-session.target.wants/varbules-idle.service ] ||
  fail "installing the package turned the idle watch on for every user"
grep -qx 'ExecStart=/usr/bin/varbules --idle ${VARBULES_IDLE_MINUTES}' /usr/lib/systemd/user/varbules-idle.service ||
  fail "the unit does not start /usr/bin/varbules --idle"
echo "ok: the installed idle watch started the saver after $kWaitSeconds s of idle time, and its user unit verifies"

purge || fail "apt-get purge: $(tail -5 "$work/purge.out")"
left=$(while read -r path; do if [ -e "$path" ] || [ -L "$path" ]; then echo "$path"; fi; done <<<"$files")
[ -z "$left" ] || fail "purged, yet these are left: $left"
! dpkg -s varbules >/dev/null 2>&1 || fail "dpkg still knows varbules after the purge"
echo "ok: purged, and none of its $(wc -l <<<"$files") files is left"
