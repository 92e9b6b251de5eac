#!/usr/bin/env bash
# The settings file of the user's own under Wine, in a prefix of its own (Windows NT as Wine
# reports it, APPDATA the prefix user's application data):
#   - the dialog run from one current directory stores 16 in APPDATA\Varbules\Varbule.ini,
#     and a full-screen run from another current directory shows 16 discs;
#   - without a file of the user's own, the current directory's file is read, and a write
#     goes to the user's own file, leaving the current directory's as it was;
#   - with an APPDATA where the file cannot be written, OK says "Can not open INI file"
#     and changes no file;
#   - in Windows 9x mode the current directory's file is read and written, as always.
#
#   wine_user_settings_test.sh <Varbule.scr> <desktop_tool.exe> <window_probe.exe>
set -euo pipefail
scr=$(realpath "$1")
tool=$(realpath "$2")
probe=$(realpath "$3")
source "$(dirname "${BASH_SOURCE[0]}")/wine_e2e_common.sh"
source "$(dirname "${BASH_SOURCE[0]}")/wine_settings_common.sh"

e2e_setup
e2e_start_xvfb
e2e_wine_warmup "$probe"
own=$e2e_own_settings

settings choose-16 /c choose
expect "$result" marks_after_16 4001
record "$e2e_work/expected-16" 16
expect_file "OK wrote 16 in the user's own file" "$own/Varbule.ini" "$e2e_work/expected-16"
e2e_check "$run: and nothing in the current directory" [ ! -e "$dir/Varbule.ini" ]

mkdir -p "$e2e_work/elsewhere"
xdotool mousemove 500 400
e2e_full_screen "$probe" "$e2e_work/elsewhere" "$scr"
e2e_check "a full-screen run from another directory shows the 16 discs" \
    e2e_within 5 e2e_shows_discs "$e2e_work/elsewhere/shot.png" 16
xdotool key a
e2e_check "and ends on a key press" e2e_ended_with "$saver_pid" "$(e2e_bound_ms 3)" 0

# A file the user already had in the current directory counts while there is no own one;
# OK then writes the user's own file and leaves the old one alone.
rm -rf "$own"
mkdir -p "$e2e_work/old-file"
record "$e2e_work/old-file/Varbule.ini" 64 pattern
cp "$e2e_work/old-file/Varbule.ini" "$e2e_work/expected-old"
settings old-file /c look
expect "$result" marks_at_start 4004
expect_file "the current directory's file is left as it was" "$dir/Varbule.ini" "$e2e_work/expected-old"
expect_file "OK wrote what it read, every byte, in the user's own file" "$own/Varbule.ini" "$e2e_work/expected-old"

# An APPDATA whose settings file cannot be written (a folder stands in its place).
mkdir -p "$e2e_work/unwritable/Varbules/Varbule.ini" "$e2e_work/refused"
cp "$own/Varbule.ini" "$e2e_work/expected-own"
VARBULES_APPDATA=$(e2e_winpath "$e2e_work/unwritable") settings refused /c refused
expect "$result" error_box 1
expect "$result" error_text "Can not open INI file"
e2e_check "$run: nothing written in its place" [ -d "$e2e_work/unwritable/Varbules/Varbule.ini" ]
e2e_check "$run: nor in the current directory" [ ! -e "$dir/Varbule.ini" ]
expect_file "the user's usual file is left as it was" "$own/Varbule.ini" "$e2e_work/expected-own"

# Windows 9x keeps the settings in the current directory, whatever APPDATA says.
e2e_win9x_password "-"
mkdir -p "$e2e_work/win9x"
record "$e2e_work/win9x/Varbule.ini" 16
settings win9x /c look
expect "$result" marks_at_start 4001
expect_file "Windows 9x: OK wrote the current directory's file" "$dir/Varbule.ini" "$e2e_work/expected-16"
expect_file "Windows 9x: and left the user's own file alone" "$own/Varbule.ini" "$e2e_work/expected-own"

e2e_checks_done "the settings file was found and written where it belongs"
