#!/usr/bin/env bash
# Benchmark: CopyDir2Dest of 2,000 files of 100 KB in 20 folders, silent
# and shown, against a bare FindFirstFile/CopyFile loop in the same prefix,
# fresh and over an installed tree (an upgrade);
# and ApplyOnFiles over the fixed drives (C: and a tree of 20,000 entries
# on D:) against a bare walk. Medians of alternating runs, and the ratios;
# written data is synced before each run, so no run pays for the last.
set -euo pipefail
source "$(dirname "$0")/tree_payload.sh"

runs=${1:-5}
work=$VORN_BUILD/bench-copy
prepare_tree_payload "$work"
printf '[Setup]\r\nGetSystemVars\r\nset COPY_MSG "Copying %%s"\r\nset DSTDIR "dst"\r\nMkDir "dst"\r\nCopyDir2Dest "data"\r\n' \
  >"$work/src/setup.ini"

fresh_prefix bench-prefix
trap stop_wine_and_display EXIT
start_private_display
start_wineserver
drive_d=$VORN_BUILD/wine/bench-prefix-drive-d

bare=() gui=() silent=() shown=()
for r in $(seq "$runs"); do
  rm -rf "$work/src/dst"; mkdir "$work/src/dst"; sync; gui+=("$(seconds "$WINE64" ./bare_copy.exe copy-gui data dst/data)")
  rm -rf "$work/src/dst"; mkdir "$work/src/dst"; sync; bare+=("$(seconds "$WINE64" ./bare_copy.exe copy data dst/data)")
  rm -rf "$work/src/dst"; sync; silent+=("$(seconds "$WINE64" ./setup.exe /SILENT)")
  rm -rf "$work/src/dst"; sync; shown+=("$(seconds "$WINE64" ./setup.exe)")
done
[ -f "$work/src/dst/data/dir20/file100.bin" ] || echo "warning: the shown run did not copy the whole tree"
b=$(median "${bare[@]}"); g=$(median "${gui[@]}"); s=$(median "${silent[@]}"); w=$(median "${shown[@]}")
echo "CopyDir2Dest, 2,000 files of 100 KB in 20 folders, medians of $runs runs:"
awk -v b="$b" -v g="$g" -v s="$s" -v w="$w" 'BEGIN {
  printf "  bare loop %.3f s; the same loop with a window %.3f s (%.2fx)\n", b, g, g / b
  printf "  /SILENT %.3f s (%.2fx), shown %.3f s (%.2fx)\n", s, s / b, w, w / b }'

# An upgrade: the same copy over a tree that is already there. The bare
# loop copies straight over each file; setup.exe writes each new file
# beside the old one and renames it over it, so that a failed copy never
# loses the old file.
rm -rf "$work/src/dst"; mkdir "$work/src/dst"
(cd "$work/src" && "$WINE64" ./bare_copy.exe copy data dst/data </dev/null >/dev/null 2>&1)
bareUp=() safeUp=() silentUp=()
for r in $(seq "$runs"); do
  sync; bareUp+=("$(seconds "$WINE64" ./bare_copy.exe copy data dst/data)")
  sync; safeUp+=("$(seconds "$WINE64" ./bare_copy.exe copy-replace data dst/data)")
  sync; silentUp+=("$(seconds "$WINE64" ./setup.exe /SILENT)")
done
[ -z "$(find "$work/src/dst" -name '*.~vn*' | head -1)" ] || echo "warning: a new file was left beside an old one"
bu=$(median "${bareUp[@]}"); fu=$(median "${safeUp[@]}"); su=$(median "${silentUp[@]}")
echo "The same copy over an installed tree (an upgrade), medians of $runs runs:"
awk -v b="$bu" -v f="$fu" -v s="$su" 'BEGIN {
  printf "  bare loop over the old files %.3f s; bare loop renaming a new file over each %.3f s (%.2fx)\n", b, f, f / b
  printf "  /SILENT %.3f s (%.2fx the first loop, %.2fx the second)\n", s, s / b, s / f }'

# 20,000 entries on D: (200 folders of 100 empty files).
for d in $(seq 1 200); do
  mkdir -p "$drive_d/tree/d$d"
  (cd "$drive_d/tree/d$d" && touch $(seq -f 'f%g.txt' 1 99))
done
printf '[Setup]\r\nApplyOnFiles "no-such-file.vorn" "Found"\r\n[Found]\r\n' >"$work/src/setup.ini"
walk=() apply=()
for r in $(seq "$runs"); do
  walk+=("$(seconds "$WINE64" ./bare_copy.exe walk)")
  apply+=("$(seconds "$WINE64" ./setup.exe /SILENT)")
done
entries=$(cd "$work/src" && "$WINE64" ./bare_copy.exe walk </dev/null 2>/dev/null | tr -d '\r')
a=$(median "${apply[@]}"); k=$(median "${walk[@]}")
echo "ApplyOnFiles over C: and D: ($entries entries), /SILENT, medians of $runs runs:"
awk -v k="$k" -v a="$a" 'BEGIN { printf "  bare walk %.3f s, ApplyOnFiles %.3f s (%.2fx)\n", k, a, a / k }'
