#!/usr/bin/env bash
# The setup program under Wine, in the prefix of the architecture given (VARBULES_WINE_ARCH):
#   - a silent install (/S) puts the saver of that architecture into the system folder,
#     makes it the current screen saver and registers its uninstaller with the version,
#     the publisher and the size; run again, it upgrades in place;
#   - the installed saver runs full screen (/s) with the system folder as its current
#     directory, and a key press ends it with exit code 0;
#   - a silent uninstall removes the saver, the uninstaller and their registry entries,
#     and leaves another saver that the desktop has chosen since alone; with ours still
#     chosen, it resets the choice.
#
#   wine_installer_test.sh <setup.exe> <window_probe.exe> <the architecture's Varbule.scr> <version>
set -euo pipefail
setup=$(realpath "$1")
probe=$(realpath "$2")
expected=$(realpath "$3")
version=$4
source "$(dirname "${BASH_SOURCE[0]}")/wine_e2e_common.sh"

readonly kDesktopKey='HKCU\Control Panel\Desktop'
# The desktop's value that names the current screen saver, which the installer sets and
# resets (as packaging/varbules.nsi spells it, from its two words).
readonly kSaverWord=SAVE.EXE
readonly kCurrentSaver=SCRN$kSaverWord
readonly kUninstallKey='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\Varbules'

# reg_value <key> <name>: the value's data, or nothing when there is none.
reg_value() {
    "$e2e_wine_run" "$e2e_arch" reg query "$1" /v "$2" 2>/dev/null | tr -d '\r' |
        sed -n "s/^ *$2 *REG_[A-Z_]* *//p"
}
reg_set() { "$e2e_wine_run" "$e2e_arch" reg add "$kDesktopKey" /v "$1" /d "$2" /f >/dev/null 2>&1; }
# The Unix path of a path on Wine's drive C.
unix_path() { local p=${1#[Cc]:\\}; echo "$VARBULES_WINEPREFIX/drive_c/${p//\\//}"; }
run_setup() { "$e2e_wine_run" "$e2e_arch" "$@" >"$e2e_work/setup.out" 2>&1; }

# The setup program is a 32-bit program in either prefix.
rc=0
VARBULES_WINEPREFIX="$e2e_root/build/wine-win32" "$e2e_wine_run" win32 --version >/dev/null 2>&1 || rc=$?
[ "$rc" -ne 77 ] || { echo "skipped: 32-bit programs cannot run under Wine on this machine"; exit 77; }
e2e_setup
e2e_start_xvfb
e2e_wine_warmup "$probe"
sysdir="$VARBULES_WINEPREFIX/drive_c/windows/system32"

rc=0
run_setup "$setup" /S || rc=$?
e2e_check "a silent install ends with exit code 0 ($rc)" [ "$rc" = 0 ]
e2e_check "the $e2e_arch saver is in the system folder" cmp -s "$sysdir/Varbule.scr" "$expected"
e2e_check "and is the current screen saver ($(reg_value "$kDesktopKey" "$kCurrentSaver"))" \
    [ "$(reg_value "$kDesktopKey" "$kCurrentSaver" | tr A-Z a-z)" = 'c:\windows\system32\varbule.scr' ]
e2e_check "screen saving is switched on" [ "$(reg_value "$kDesktopKey" ScreenSaveActive)" = 1 ]
e2e_check "the uninstaller is registered with the version" [ "$(reg_value "$kUninstallKey" DisplayVersion)" = "$version" ]
e2e_check "and the publisher" [ "$(reg_value "$kUninstallKey" Publisher)" = "The Varbules project" ]
size=$(reg_value "$kUninstallKey" EstimatedSize)
e2e_check "and the size ($size)" [ $((size)) -gt 0 ]
uninstaller=$(unix_path "$(reg_value "$kUninstallKey" InstallLocation)")/uninstall.exe
e2e_check "the uninstaller is where its entry says ($uninstaller)" [ -f "$uninstaller" ]

rc=0
run_setup "$setup" /S || rc=$?
e2e_check "run again, it upgrades in place with exit code 0 ($rc)" [ "$rc" = 0 ]
e2e_check "leaving one saver, the same" cmp -s "$sysdir/Varbule.scr" "$expected"

xdotool mousemove 500 400
e2e_full_screen "$probe" "$sysdir" "$sysdir/Varbule.scr"
e2e_within 10 e2e_drawing "$e2e_work/installed.png" || e2e_fail "the installed saver does not draw"
xdotool key a
e2e_check "the installed saver runs from the system folder and a key ends it with exit code 0" \
    e2e_ended_with "$saver_pid" "$(e2e_bound_ms 3)" 0

# uninstall_and_wait: the uninstaller copies itself away and returns at once; its copy
# does the work, and is done when the install folder is gone and it has ended. (A setup
# run before then can find its folder removed under it.) What is still there after 20 s
# (more on a busy machine) is told.
uninstalled() {
    local left=()
    [ ! -e "$sysdir/Varbule.scr" ] || left+=("the saver")
    [ ! -e "$uninstaller" ] || left+=("the uninstaller")
    [ -z "$(reg_value "$kUninstallKey" DisplayVersion)" ] || left+=("its entry")
    [ ! -e "$(dirname "$uninstaller")" ] || left+=("the install folder")
    [ -z "$(e2e_wine_strays)" ] || left+=("a running program")
    [ "${#left[@]}" = 0 ] ||
        { echo "still there after the uninstall: ${left[*]}; the uninstaller said: $(head -c 2000 "$e2e_work/setup.out")" >&2; return 1; }
}
uninstall_and_wait() {
    run_setup "$uninstaller" /S || true
    e2e_within 20 uninstalled
}

reg_set "$kCurrentSaver" 'C:\windows\system32\other.scr'
e2e_check "a silent uninstall removes the saver, the uninstaller and its entry" uninstall_and_wait
e2e_check "and leaves another saver chosen since alone" \
    [ "$(reg_value "$kDesktopKey" "$kCurrentSaver")" = 'C:\windows\system32\other.scr' ]

run_setup "$setup" /S || true
e2e_check "installed again, it is the current screen saver" [ -n "$(reg_value "$kDesktopKey" "$kCurrentSaver" | grep -i varbule)" ]
e2e_check "uninstalled with it still chosen" uninstall_and_wait
e2e_check "the choice is reset" [ -z "$(reg_value "$kDesktopKey" "$kCurrentSaver")" ]

e2e_checks_done "the setup program installed, upgraded and removed the saver"
