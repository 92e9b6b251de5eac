#!/bin/sh
# Runs one libFuzzer target for CTest.
#   run_fuzzer.sh regression TARGET CORPUS WORK SECONDS
#     runs every input of the committed corpus once.
#   run_fuzzer.sh run TARGET CORPUS WORK SECONDS
#     fuzzes for VARBULES_FUZZ_SECONDS from the environment, else SECONDS, keeping what it
#     finds in WORK/corpus (seeded from CORPUS, which it never writes).
# Crash reproducers go to WORK/artifacts; on a failure their paths are printed last.
set -u
mode=$1 target=$2 corpus=$3 work=$4 seconds=${VARBULES_FUZZ_SECONDS:-$5}

case $seconds in
  ''|*[!0-9]*|0) echo "VARBULES_FUZZ_SECONDS must be a positive number of seconds, not '$seconds'" >&2; exit 2 ;;
esac

artifacts=$work/artifacts/$mode
mkdir -p "$artifacts" "$work/corpus" || exit 2

case $mode in
  regression)
    set -- "$corpus"/*
    if [ ! -f "$1" ]; then
      echo "no committed inputs in $corpus" >&2
      exit 2
    fi
    # All inputs in one process first; only when that fails, one process per input, so
    # that every input is tried and each failing one is named.
    "$target" -artifact_prefix="$artifacts/" "$@" > "$work/regression.log" 2>&1 && exit 0
    failures=$work/failed-regression
    : > "$failures"
    for input in "$@"; do
      "$target" -artifact_prefix="$artifacts/" "$input" || echo "  $target $input" >> "$failures"
    done
    if [ -s "$failures" ]; then
      echo "$(basename "$target") failed on committed inputs; reproduce with:" >&2
      cat "$failures" >&2
      exit 1
    fi
    exit 0 ;;
  run)
    marker=$work/started-run
    : > "$marker"
    "$target" "$work/corpus" "$corpus" -max_total_time="$seconds" -timeout=5 -rss_limit_mb=2048 \
      -artifact_prefix="$artifacts/" -print_final_stats=1
    status=$?
    if [ "$status" -ne 0 ]; then
      echo "$(basename "$target") failed (exit $status); reproduce with:" >&2
      find "$artifacts" -type f -newer "$marker" | while read -r file; do
        echo "  $target $file" >&2
      done
    fi
    exit "$status" ;;
  *)
    echo "unknown mode $mode" >&2
    exit 2 ;;
esac
