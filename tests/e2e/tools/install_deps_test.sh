#!/usr/bin/env bash
# tools/install-deps against a stand-in apt-get on a package mirror caught mid-sync: an
# update that misses one index and an install that then fails as "held broken packages"
# must end in an install from the base suite; an install that keeps failing must stop the
# script with the packages and apt's error; an update that fetched nothing must stop it.
set -euo pipefail
. "$(dirname "$0")/../errexit_report.sh"
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/../../.." && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir "$work/bin"

# Every package is missing, and the script runs as root.
printf '#!/bin/sh\nexit 1\n' >"$work/bin/dpkg-query"
printf '#!/bin/sh\necho 0\n' >"$work/bin/id"
# apt-get writes each call to the log. FAKE_APT_UPDATE is partial or nothing;
# FAKE_APT_INSTALL_OK lists the tries (1, 2, ...) of install that succeed.
cat >"$work/bin/apt-get" <<'FAKE'
#!/bin/bash
echo "$*" >>"$FAKE_APT_LOG"
if [ "$1" = update ]; then
  if [ "$FAKE_APT_UPDATE" = partial ]; then
    echo "Hit:1 http://deb.debian.org/debian bookworm InRelease"
    echo "Get:2 http://deb.debian.org/debian-security bookworm-security InRelease [48.0 kB]"
  fi
  echo "Err:3 http://deb.debian.org/debian-security bookworm-security/main i386 Packages"
  echo "  File has unexpected size (155284 != 155280). Mirror sync in progress? [IP: 151.101.2.132 80]"
  echo "  Hashes of expected file:"
  echo "E: Some index files failed to download. They have been ignored, or old ones used instead."
  exit 100
fi
try=$(grep -c '^install' "$FAKE_APT_LOG")
case " $FAKE_APT_INSTALL_OK " in *" $try "*) exit 0 ;; esac
echo "E: Unable to correct problems, you have held broken packages."
exit 100
FAKE
chmod +x "$work/bin"/*

fail() { echo "FAIL: $*"; exit 1; }

# Runs install-deps for the Linux saver's packages; sets rc, out (its stderr) and calls.
install_deps() {
  : >"$work/apt.log"
  rc=0
  out=$(PATH="$work/bin:$PATH" FAKE_APT_LOG="$work/apt.log" FAKE_APT_UPDATE="$1" FAKE_APT_INSTALL_OK="$2" \
    VARBULES_APT_RETRY_PAUSE=0 "$root/tools/install-deps" run 2>&1 >/dev/null) || rc=$?
  calls=$(cat "$work/apt.log")
}

install_deps partial 2
[ "$rc" = 0 ] || fail "a partial update and a consistent install from the base suite exit with $rc: $out"
[ "$(grep -c '^update' <<<"$calls")" = 3 ] || fail "the update was not tried three times: $calls"
grep -q 'could not fetch .*bookworm-security/main i386 Packages (File has unexpected size' <<<"$out" ||
  fail "the failed index is not named: $out"
installs=$(grep '^install' <<<"$calls")
[ "$(wc -l <<<"$installs")" = 2 ] || fail "install was not tried twice: $installs"
head -1 <<<"$installs" | grep -vq -- '-t ' || fail "the first install already chose a suite: $installs"
tail -1 <<<"$installs" | grep -- "-t bookworm .*libx11-dev" >/dev/null || fail "the second install is not from bookworm: $installs"
echo "ok: a partial update goes on, and a failed install is tried again from bookworm"

install_deps partial ""
[ "$rc" != 0 ] || fail "install-deps succeeds although every install failed"
line=$(tail -1 <<<"$out")
grep -q 'could not install cmake ninja-build g++ .*: Unable to correct problems, you have held broken packages' <<<"$line" ||
  fail "the last line does not name the packages and apt's error: $line"
echo "ok: an install that keeps failing stops it with the packages and apt's error"

install_deps nothing 1
[ "$rc" != 0 ] || fail "install-deps succeeds after an update that fetched nothing"
! grep -q '^install' <<<"$calls" || fail "install-deps installed after an update that fetched nothing"
echo "ok: an update that fetched nothing stops it"
