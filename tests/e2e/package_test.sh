#!/usr/bin/env bash
# Checks the Windows package: both savers and the install note in the zip, each saver one
# self-contained file that needs no DLL but the system's own.
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
