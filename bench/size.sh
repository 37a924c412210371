#!/usr/bin/env bash
# Size benchmark: prints the size of both setup.exe builds against the
# budgets, and the largest contributors to the shipped i686 program: its
# own source files and the compiler runtime's objects, from the link map of
# a build without link-time optimisation.
# Builds what is missing first.
set -euo pipefail
source "$(dirname "$0")/../scripts/lib.sh"

top=${1:-12}
install_missing_packages
# setup.exe of each build (a build tree made for the tests keeps its tests),
# and the i686 one without link-time optimisation for the breakdown.
build_setup() {
  local dir=$1
  shift
  [ -f "$dir/CMakeCache.txt" ] || configure "$dir" -DVORN_TESTS=OFF "$@"
  cmake --build "$dir" -j2 --target setup >/dev/null 2>&1 ||
    { echo "cannot build $dir/setup.exe" >&2; exit 1; }
}
build_setup "$VORN_BUILD/win32" -DCMAKE_TOOLCHAIN_FILE="$(toolchain_file win32)"
build_setup "$VORN_BUILD/win64" -DCMAKE_TOOLCHAIN_FILE="$(toolchain_file win64)"
build_setup "$VORN_BUILD/win32-nolto" -DCMAKE_TOOLCHAIN_FILE="$(toolchain_file win32)" \
  -DVORN_LTO=OFF

ceiling=91136  # the complete program
win32=$(stat -c %s "$VORN_BUILD/win32/setup.exe")
win64=$(stat -c %s "$VORN_BUILD/win64/setup.exe")
echo "setup.exe (Release, stripped): win32 $win32 bytes, win64 $win64 bytes"
echo "win32 ceiling $ceiling bytes (every command and dialog): $((ceiling - win32)) bytes left"
echo
# With link-time optimisation the map names only the optimiser's own
# objects; a build without it names each source file (the bytes differ a
# little, their shares hardly).
nolto=$(stat -c %s "$VORN_BUILD/win32-nolto/setup.exe")
echo "win32 without link-time optimisation: $nolto bytes ($((nolto - win32)) more)"
echo
echo "its link map, bytes in the file per source file (code, data and read-only data;"
echo "zero-filled data takes no room in the file and is left out):"
# Sections placed at a nonzero address, summed per object; a long section
# name puts the address, size and object on the next line.
awk '
  function hex(s,   i, c, v) {
    v = 0; s = tolower(substr(s, 3))
    for (i = 1; i <= length(s); i++) v = v * 16 + index("0123456789abcdef", substr(s, i, 1)) - 1
    return v
  }
  function take(section, addr, size, obj) {
    if (hex(addr) == 0 || hex(size) == 0 || section ~ /^\.bss/) return
    own = (obj ~ /libvorn_|CMakeFiles\/setup\.dir|objects\.a/) ? "program" : "runtime"
    sub(/.*\//, "", obj); sub(/\.cpp\.obj\)$/, ".cpp", obj); sub(/^libvorn_[a-z_0-9]*\.a\(/, "", obj)
    bytes[own " " obj] += hex(size); total[own] += hex(size)
  }
  /^ \.[a-z_]+/ && NF == 1 { pending = $1; next }
  pending != "" && NF == 3 && $1 ~ /^0x/ { take(pending, $1, $2, $3); pending = ""; next }
  { pending = "" }
  /^ \.[a-z_$A-Za-z0-9.]+ +0x/ && NF == 4 { take($1, $2, $3, $4) }
  END {
    printf "  program %d bytes, runtime %d bytes\n", total["program"], total["runtime"]
    for (k in bytes) printf "%8d  %s\n", bytes[k], k
  }' "$VORN_BUILD/win32-nolto/setup.map" | { read -r summary; echo "$summary"; sort -rn | head -n "$top"; }
