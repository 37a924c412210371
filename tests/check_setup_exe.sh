#!/usr/bin/env bash
# Facts about the built setup.exe: each given program imports Windows system
# DLLs only, so that it runs on a bare Windows machine, and the shipped i686
# program stays under its size ceiling.
# usage: check_setup_exe.sh I686_SETUP_EXE [OTHER_SETUP_EXE...]
set -u
ceiling=91136
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
if [ -f "$1" ]; then
  size=$(stat -c %s "$1")
  echo "$1: $size bytes (ceiling $ceiling)"
  if ! x86_64-w64-mingw32-objdump -f "$1" | grep -q 'pei-i386'; then
    echo "$1 is not an i686 program"
    status=1
  fi
  if [ "$size" -ge "$ceiling" ]; then
    echo "$1 is over the ceiling by $((size - ceiling + 1)) bytes"
    status=1
  fi
fi
exit $status
