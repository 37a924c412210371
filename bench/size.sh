#!/usr/bin/env bash
# Size benchmark: prints the size of both setup.exe builds against the
# budgets, and the largest contributors to the shipped i686 program from its
# link map, the program's own objects apart from the compiler runtime's.
# Builds what is missing first.
set -euo pipefail
source "$(dirname "$0")/../scripts/lib.sh"

top=${1:-12}
install_missing_packages
build_windows_programs -DVORN_TESTS=OFF >/dev/null

ceiling=91136  # the complete program
win32=$(stat -c %s "$VORN_BUILD/win32/setup.exe")
win64=$(stat -c %s "$VORN_BUILD/win64/setup.exe")
echo "setup.exe (Release, stripped): win32 $win32 bytes, win64 $win64 bytes"
echo "win32 ceiling $ceiling bytes (every command and dialog): $((ceiling - win32)) bytes left"
echo
echo "win32 link map, bytes placed per object (code, data, read-only and zero-filled data):"
# Sections placed at a nonzero address, summed per object; a long section
# name puts the address, size and object on the next line.
awk '
  function hex(s,   i, c, v) {
    v = 0; s = tolower(substr(s, 3))
    for (i = 1; i <= length(s); i++) v = v * 16 + index("0123456789abcdef", substr(s, i, 1)) - 1
    return v
  }
  function take(addr, size, obj) {
    if (hex(addr) == 0 || hex(size) == 0) return
    own = (obj ~ /libvorn_|CMakeFiles\/setup\.dir/) ? "program" : "runtime"
    sub(/.*\//, "", obj)
    bytes[own " " obj] += hex(size); total[own] += hex(size)
  }
  /^ \.[a-z_]+/ && NF == 1 { pending = 1; next }
  pending && NF == 3 && $1 ~ /^0x/ { take($1, $2, $3); pending = 0; next }
  { pending = 0 }
  /^ \.[a-z_$A-Za-z0-9.]+ +0x/ && NF == 4 { take($2, $3, $4) }
  END {
    printf "  program %d bytes, runtime %d bytes\n", total["program"], total["runtime"]
    for (k in bytes) printf "%8d  %s\n", bytes[k], k
  }' "$VORN_BUILD/win32/setup.map" | { read -r summary; echo "$summary"; sort -rn | head -n "$top"; }
