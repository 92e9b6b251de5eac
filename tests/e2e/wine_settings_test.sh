#!/usr/bin/env bash
# The settings dialog of the real saver under Wine, driven from another process the way
# a user would (desktop_tool settings): which count is marked, clicks that move the mark,
# Escape and the close box that leave it open, OK that stores the choice in Varbule.ini,
# and a settings file that cannot be written; then a full-screen run that shows the count
# the dialog stored. The dialogs run with an APPDATA whose folder cannot be made, as on
# a system without a folder of the user's own, so the settings file is the current
# directory's (wine_user_settings_test.sh tests the user's own).
#
#   wine_settings_test.sh <Varbule.scr> <desktop_tool.exe> <window_probe.exe>
set -euo pipefail
scr=$(realpath "$1")
tool=$(realpath "$2")
probe=$(realpath "$3")
source "$(dirname "${BASH_SOURCE[0]}")/wine_e2e_common.sh"
source "$(dirname "${BASH_SOURCE[0]}")/wine_settings_common.sh"

e2e_setup
e2e_start_xvfb
e2e_wine_warmup "$probe"
export VARBULES_APPDATA='Z:\nonexistent\appdata'

# No file: "32" is marked, and OK writes the count in a new 512-byte record.
settings no-file /c look
expect "$result" marks_at_start 4002
record "$e2e_work/expected-32" 32
expect_file "OK wrote a 512-byte record holding 32" "$dir/Varbule.ini" "$e2e_work/expected-32"

# No switch at all opens the same dialog; "64" then "16" move the one mark; Escape and
# the close box leave the dialog open; OK stores 16.
settings no-switch "" choose
expect "$result" marks_at_start 4002
expect "$result" marks_after_64 4004
expect "$result" marks_after_16 4001
expect "$result" open_after_escape 1
record "$e2e_work/expected-16" 16
expect_file "OK wrote 16" "$dir/Varbule.ini" "$e2e_work/expected-16"

# A full-screen run in the same directory shows the 16 discs the dialog stored (two may
# share a colour, or one hide another, now and then: a few fewer may show).
e2e_full_screen "$probe" "$dir" "$scr"
e2e_check "$run: the saver shows the stored 16 discs" e2e_within 5 e2e_shows_discs "$dir/shot.png" 16
xdotool key a
e2e_check "$run: the saver ends on a key press" e2e_ended_with "$saver_pid" "$(e2e_bound_ms 3)" 0

# A count the dialog does not offer marks nothing, and OK writes it back with every other
# byte kept. The number after /c: is ignored.
mkdir -p "$e2e_work/count-200"
record "$e2e_work/count-200/Varbule.ini" 200 pattern
cp "$e2e_work/count-200/Varbule.ini" "$e2e_work/expected-200"
settings count-200 /c:1234 look
expect "$result" marks_at_start none
expect_file "OK wrote 200 and every other byte back" "$dir/Varbule.ini" "$e2e_work/expected-200"

# A file held open against writing by another program: the message, then the end, and
# the old file as it was.
mkdir -p "$e2e_work/locked"
record "$e2e_work/locked/Varbule.ini" 64 pattern
cp "$e2e_work/locked/Varbule.ini" "$e2e_work/expected-locked"
settings locked /c locked
expect "$result" marks_at_start 4004
expect "$result" error_box 1
expect "$result" error_text "Can not open INI file"
expect "$result" error_owner_is_dialog 1
expect_file "the old file is left as it was" "$dir/Varbule.ini" "$e2e_work/expected-locked"

e2e_checks_done "all settings dialog checks passed"
