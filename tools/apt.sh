# apt-get calls that ride over a package mirror caught in the middle of a sync, for the
# set-up scripts to source. A mirror mid-sync serves some indexes at sizes that do not
# match its Release file: `apt-get update` then fetches the others, says "Mirror sync in
# progress?" and exits 100. What did arrive is still good, so the set-up goes on with it;
# but the missing index may be one architecture's half of a suite (bookworm-security's
# i386, say), and Multi-Arch packages need the same version on every architecture, so an
# install can then fail as "held broken packages". Installing from the base suite alone
# (-t bookworm) gives both architectures the same versions again. That is only a fallback:
# a machine whose ordinary install works keeps its security updates.
#
# The caller sets apt_caller (its name, for messages) and may set apt_quiet=1 to keep
# apt's own output off the terminal. VARBULES_APT_RETRY_PAUSE sets the pause in seconds
# between tries of an update.

apt_partial_update=0
apt_log=$(mktemp)
trap 'rm -f "$apt_log"' EXIT

# Runs apt-get with its output in $apt_log and, unless apt_quiet=1, on the terminal too.
apt_logged() {
  local rc=0
  if [ "${apt_quiet:-0}" = 1 ]; then
    DEBIAN_FRONTEND=noninteractive apt-get "$@" >"$apt_log" 2>&1 || rc=$?
  else
    DEBIAN_FRONTEND=noninteractive apt-get "$@" 2>&1 | tee "$apt_log" || rc=$?
  fi
  return "$rc"
}

# The indexes the last update could not fetch, each with apt's reason, on one line.
apt_failed_indexes() {
  awk '/^Err:[0-9]+ / { if (item) print item; sub(/^Err:[0-9]+ /, ""); item = $0; next }
       item && /^ +[^ ]/ { sub(/^ +/, ""); item = item " (" $0 ")"; print item; item = ""; next }
       END { if (item) print item }' "$apt_log" | paste -sd ';' - | sed 's/;/; /g'
}

# Whether the last update fetched or kept at least one index: a number that apt reported
# as a hit or a download and not also as an error.
apt_fetched_something() {
  awk '/^(Hit|Get):[0-9]+ / { split($1, a, ":"); ok[a[2]] = 1 }
       /^Err:[0-9]+ /      { split($1, a, ":"); bad[a[2]] = 1 }
       END { for (n in ok) if (!(n in bad)) exit 0; exit 1 }' "$apt_log"
}

# apt-get update, tried three times. An update that still misses some indexes counts as
# done, with one line naming them; one that fetched nothing fails the caller.
apt_update() {
  local try
  for try in 1 2 3; do
    if apt_logged update -q && ! grep -q '^Err:' "$apt_log"; then
      return 0
    fi
    [ "$try" = 3 ] || sleep "${VARBULES_APT_RETRY_PAUSE:-10}"
  done
  if ! apt_fetched_something; then
    echo "$apt_caller: apt-get update fetched no package index: $(apt_failed_indexes)" >&2
    exit 1
  fi
  apt_partial_update=1
  echo "$apt_caller: apt-get update could not fetch $(apt_failed_indexes); going on with the indexes that arrived" >&2
}

# The base suite of this release, which has every architecture's packages in one version.
apt_base_suite() {
  (. /etc/os-release && echo "${VERSION_CODENAME:-bookworm}")
}

# apt-get install of the packages, without recommends (a package may name its suite, as
# in qemu-user-static/bookworm-backports). After a partial update an install that fails
# is tried once more from the base suite. If that fails too, or the update was whole, the
# caller stops with one line naming the packages and apt's error.
apt_install() {
  local rc=0 base error
  apt_logged install -y -q --no-install-recommends "$@" || rc=$?
  [ "$rc" = 0 ] && return 0
  if [ "$apt_partial_update" = 1 ]; then
    base=$(apt_base_suite)
    echo "$apt_caller: the install failed after a partial update; trying again with $base as the default release, so that every architecture takes the same versions" >&2
    rc=0
    apt_logged install -y -q --no-install-recommends -t "$base" "$@" || rc=$?
    [ "$rc" = 0 ] && return 0
  fi
  error=$(grep '^E: ' "$apt_log" | tail -1 | cut -c4-)
  echo "$apt_caller: could not install $*: ${error:-apt-get install exited with $rc}" >&2
  exit 1
}
