#!/usr/bin/env bash
# Checks the Windows package: both savers and the install note in the zip, each saver one
# self-contained file that needs no DLL but the system's own; and the 32-bit saver fit for
# the PCs of its era: no MMX or SSE instruction anywhere in it, and no import that
# Windows 95 or NT 4.0 lacks (the list beside this script).
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/../.."

zip=$(tools/package | sed -n 1p)
listing=$(cmake -E tar tf "$zip")
for entry in Varbule.scr x64/Varbule.scr INSTALL.txt; do
  echo "$listing" | grep -q "/$entry\$" || { echo "FAIL: $entry is not in $zip"; exit 1; }
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
[ -z "$simd" ] || { echo "FAIL: $scr has $(echo "$simd" | wc -l) MMX or SSE instructions, e.g.:"; echo "$simd" | head -5; exit 1; }
imports=$(i686-w64-mingw32-objdump -p "$scr" | awk '
    /DLL Name:/ { dll = toupper($3); next }
    /^ [0-9a-f]+\t/ { dll = "" }
    dll && /^\t[0-9a-f]+\t/ { print dll "!" $NF }')
[ -n "$imports" ] || { echo "FAIL: no imports read from $scr"; exit 1; }
unknown=$(echo "$imports" | grep -vxF -f <(grep -v '^#' tests/e2e/win32_imports.txt) || true)
[ -z "$unknown" ] || { echo "FAIL: $scr imports what Windows 95 or NT 4.0 may lack:" $unknown; exit 1; }
echo "ok: $scr has no MMX or SSE instruction, and its $(echo "$imports" | wc -l) imports are all in Windows 95 and NT 4.0"
