# The settings dialog driven from another process, for the Wine end-to-end tests; sourced
# after wine_e2e_common.sh, with $scr (the saver) and $tool (desktop_tool.exe) set.

expect() {  # expect <result file> <key> <value>
    e2e_check "$run: $2=$3 (is '$(e2e_value "$1" "$2")')" [ "$(e2e_value "$1" "$2")" = "$3" ]
}
expect_file() {  # expect_file <what> <file> <expected file>
    e2e_check "$run: $1 ($(stat -c %s "$2" 2>/dev/null) bytes)" cmp -s "$2" "$3"
}

# settings <run> <switch> <scenario>: the dialog played (see desktop_tool) in a directory
# of the run's name; the driver's findings are in $result.
settings() {
    run=$1
    dir="$e2e_work/$run"
    mkdir -p "$dir"
    result="$dir/result.txt"
    (cd "$dir" && "$e2e_wine_run" "$e2e_arch" "$tool" settings "$(e2e_winpath "$scr")" "$2" "$3" "$(e2e_winpath "$result")" \
        >"$dir/tool.out" 2>&1) || true
    [ -f "$result" ] || e2e_fail "$run: the driver wrote no result: $(cat "$dir/tool.out")"
    expect "$result" dialog 1
    expect "$result" owner_ok 1
    expect "$result" ended 1
    expect "$result" exit 0
}

# A 512-byte record: zeros with the count at offset 1, or a pattern when asked.
record() {  # record <file> <count> [pattern]
    local i byte
    for i in $(seq 0 511); do
        byte=0
        [ "${3:-}" = pattern ] && byte=$(((i * 7 + 3) & 255))
        [ "$i" -eq 1 ] && byte=$2
        printf "\\$(printf %03o "$byte")"
    done >"$1"
}
