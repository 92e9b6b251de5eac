#!/usr/bin/env bash
# Checks the Windows package: both savers and the install note in the zip, each saver one
# self-contained file that needs no DLL but the system's own; and the 32-bit saver fit for
# the PCs of its era: no MMX or SSE instruction anywhere in it, and no import that
# Windows 95 or NT 4.0 lacks (the list beside this script). Then the setup program: a
# Windows program that names its version, which installs, upgrades and removes the saver
# under Wine, in a 64-bit prefix and in a 32-bit one (wine_installer_test.sh). Last the
# Debian package of the Linux saver (debian_package_test.sh).
set -euo pipefail
. "$(dirname "$0")/errexit_report.sh"
cd "$(dirname "${BASH_SOURCE[0]}")/../.."

package=$(tools/package)
zip=$(echo "$package" | sed -n 1p)
setup=$(echo "$package" | sed -n 2p)
deb=$(echo "$package" | sed -n 3p)
listing=$(cmake -E tar tf "$zip")
for entry in Varbule.scr x64/Varbule.scr INSTALL.txt; do
  echo "$listing" | grep "/$entry\$" >/dev/null || { echo "FAIL: $entry is not in $zip"; exit 1; }
done

system_dlls='^(ADVAPI32|GDI32|KERNEL32|USER32|msvcrt)\.dll$'
for scr in build/win32/src/Varbule.scr build/win64/src/Varbule.scr; do
  dlls=$(x86_64-w64-mingw32-objdump -p "$scr" | sed -n 's/^\s*DLL Name: //p')
  others=$(echo "$dlls" | grep -viE "$system_dlls" || true)
  [ -z "$others" ] || { echo "FAIL: $scr needs $others"; exit 1; }
  size=$(stat -c %s "$scr")
  [ "$size" -lt 153600 ] || { echo "FAIL: $scr is $size bytes"; exit 1; }
  echo "ok: $scr, $size bytes, needs only $(echo $dlls)"
done

scr=build/win32/src/Varbule.scr
# Any MMX, SSE or AVX register, and the SSE instructions that name none.
simd=$(i686-w64-mingw32-objdump -d "$scr" | grep -E '%[xyz]?mm[0-9]|mxcsr|[lsm]fence|prefetch|movnt' || true)
[ -z "$simd" ] || { echo "FAIL: $scr has $(echo "$simd" | wc -l) MMX or SSE instructions, e.g.:"; echo "$simd" | sed -n 1,5p; exit 1; }
imports=$(i686-w64-mingw32-objdump -p "$scr" | awk '
    /DLL Name:/ { dll = toupper($3); next }
    /^ [0-9a-f]+\t/ { dll = "" }
    dll && /^\t[0-9a-f]+\t/ { print dll "!" $NF }')
[ -n "$imports" ] || { echo "FAIL: no imports read from $scr"; exit 1; }
unknown=$(echo "$imports" | grep -vxF -f <(grep -v '^#' tests/e2e/win32_imports.txt) || true)
[ -z "$unknown" ] || { echo "FAIL: $scr imports what Windows 95 or NT 4.0 may lack:" $unknown; exit 1; }
echo "ok: $scr has no MMX or SSE instruction, and its $(echo "$imports" | wc -l) imports are all in Windows 95 and NT 4.0"

version=$(sed -n 's/^project(Varbules VERSION \([0-9.]*\).*/\1/p' CMakeLists.txt)
[ "$setup" = "$(pwd)/build/Varbules-$version-setup.exe" ] && [ -f "$setup" ] || { echo "FAIL: no setup program ($setup)"; exit 1; }
format=$(i686-w64-mingw32-objdump -f "$setup" | sed -n 's/.*file format //p')
[ "$format" = pei-i386 ] || { echo "FAIL: $setup is no 32-bit Windows program ($format)"; exit 1; }
# grep reads the whole of its input: with -q it would stop at the first match, and the
# writer, cut off, would fail the pipeline (pipefail).
strings -e l "$setup" | grep -x "$version" >/dev/null || { echo "FAIL: $setup does not name version $version"; exit 1; }
strings "$setup" | grep 'level="requireAdministrator"' >/dev/null || { echo "FAIL: $setup does not ask for administrator rights"; exit 1; }
[ -f "$zip" ] || { echo "FAIL: the zip is gone"; exit 1; }
echo "ok: $setup, a 32-bit Windows program of version $version that asks for administrator rights, beside the zip"

# The setup program is a 32-bit one: where 32-bit programs cannot run (and that is
# allowed, see tools/test) both runs report themselves skipped.
for arch in win64 win32; do
  rc=0
  VARBULES_WINE_ARCH=$arch VARBULES_WINEPREFIX=$(pwd)/build/wine-installer-$arch \
    tests/e2e/wine_installer_test.sh "$setup" "build/$arch/tests/e2e/window_probe.exe" "build/$arch/src/Varbule.scr" \
    "$version" || rc=$?
  [ "$rc" = 77 ] && echo "skipped: the setup program in a $arch prefix (no 32-bit programs here)" && continue
  [ "$rc" = 0 ] || exit "$rc"
done

# The Debian package, installed and removed for real.
tests/e2e/debian_package_test.sh "$deb"
