#!/usr/bin/env bash
# The Debian package of the Linux saver, for real on this machine (as root): lintian has
# no error and no warning to give (debian/varbules.lintian-overrides says why for any it
# is told to keep quiet), its dependencies were computed from the programs (libc6 at a
# version, X11's and Wayland's libraries), apt-get installs it, the command on the PATH
# runs the saver full screen on an X server and ends it on a key with exit code 0 and
# hands a Wayland run to the program beside it, xscreensaver's settings description
# parses, and apt-get purge leaves none of its files behind.
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
for library in 'libc6 (>= ' libx11-6 libwayland-client0; do
  grep -qF "$library" <<<"$depends" || fail "the package's Depends lacks $library: $depends"
done
echo "ok: Depends: $depends"

DEBIAN_FRONTEND=noninteractive apt-get install -y -q --no-install-recommends "$deb" >"$work/install.out" 2>&1 ||
  fail "apt-get install: $(tail -5 "$work/install.out")"
# Its files and links; its folders may be others' too.
files=$(dpkg -L varbules | while read -r path; do if [ -L "$path" ] || [ ! -d "$path" ]; then echo "$path"; fi; done)
for path in /usr/bin/varbules /usr/libexec/xscreensaver/varbules /usr/libexec/xscreensaver/varbules-wayland \
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

purge || fail "apt-get purge: $(tail -5 "$work/purge.out")"
left=$(while read -r path; do if [ -e "$path" ] || [ -L "$path" ]; then echo "$path"; fi; done <<<"$files")
[ -z "$left" ] || fail "purged, yet these are left: $left"
! dpkg -s varbules >/dev/null 2>&1 || fail "dpkg still knows varbules after the purge"
echo "ok: purged, and none of its $(wc -l <<<"$files") files is left"
