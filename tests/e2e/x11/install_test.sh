#!/usr/bin/env bash
# cmake --install puts the hack, its settings description and its manual page where
# Debian's xscreensaver and man look for them; the description is well-formed and every
# command line it can make is one the hack accepts.
set -euo pipefail
build_dir=$1
. "$(dirname "$0")/x11_common.sh"

DESTDIR="$work/root" cmake --install "$build_dir" >/dev/null
hack="$work/root/usr/libexec/xscreensaver/varbules"
xml="$work/root/usr/share/xscreensaver/config/varbules.xml"
man="$work/root/usr/share/man/man6/varbules.6"
[ -x "$hack" ] || fail "no hack at /usr/libexec/xscreensaver/varbules"
[ -x "${hack}-wayland" ] || fail "no varbules-wayland beside the hack, for Wayland's runs"
[ -f "$xml" ] || fail "no settings description at /usr/share/xscreensaver/config/varbules.xml"
[ -f "$man" ] || fail "no manual page at /usr/share/man/man6/varbules.6"

xmllint --noout "$xml" || fail "varbules.xml is not well-formed"
[ "$(xmllint --xpath 'string(/screensaver/@name)' "$xml")" = varbules ] || fail "the description names another hack"
command=$(xmllint --xpath 'string(/screensaver/command/@arg)' "$xml")
[ "$command" = "--root" ] || fail "the hack's command is '$command', not --root"
counts=$(xmllint --xpath '//select[@id="count"]/option/@arg-set' "$xml" | sed 's/ *arg-set="\([^"]*\)"/\1\n/g' | sed '/^$/d')
[ "$(echo "$counts" | wc -l)" = 3 ] || fail "the count is not a choice of three: $counts"
while read -r option; do
  # --help last: everything before it is read, so a wrong option would fail first.
  # shellcheck disable=SC2086
  "$hack" $command $option --help >/dev/null || fail "the hack refuses '$command $option'"
done <<<"$counts"
"$hack" --count 48 --help >/dev/null 2>&1 && fail "the hack accepts a count of 48"

warnings=$(groff -man -Tutf8 -ww -z "$man" 2>&1)
[ -z "$warnings" ] || fail "the manual page has faults: $warnings"
echo "ok: hack, description (counts: $(echo $counts | tr '\n' ' ')) and manual page installed"
