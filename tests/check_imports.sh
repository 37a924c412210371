#!/usr/bin/env bash
# Checks that each given setup.exe imports Windows system DLLs only, so that
# it runs on a bare Windows machine.
set -u
allowed='^(kernel32|user32|gdi32|advapi32|shell32|ole32|oleaut32|comctl32|comdlg32|wsock32|ws2_32|msvcrt|shlwapi|version|uuid)\.dll$'
status=0
for exe in "$@"; do
  if [ ! -f "$exe" ]; then
    echo "missing: $exe"
    status=1
    continue
  fi
  dlls=$(x86_64-w64-mingw32-objdump -p "$exe" | sed -n 's/.*DLL Name: //p')
  [ -n "$dlls" ] || { echo "no imports read from $exe"; status=1; }
  for dll in $dlls; do
    if ! tr 'A-Z' 'a-z' <<<"$dll" | grep -Eq "$allowed"; then
      echo "$exe imports $dll"
      status=1
    fi
  done
  echo "$exe:" $dlls
done
exit $status
