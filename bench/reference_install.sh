#!/usr/bin/env bash
# Benchmark: the reference install (2,000 files of 100 KB in 20 folders, an
# uninstall entry, a program group with 3 shortcuts, /SILENT) against a
# bare FindFirstFile/CopyFile loop of the same files in the same prefix, and
# the same install with the journal (/LOG), and with rollback armed
# (/ROLLBACK): fresh, and as an upgrade that overwrites every file. Medians
# of alternating runs, and the ratios; written data is synced before each
# run.
set -euo pipefail
source "$(dirname "$0")/tree_payload.sh"

runs=${1:-5}
work=$VORN_BUILD/bench-install
prepare_tree_payload "$work"
printf '%s\r\n' '[Setup]' 'GetSystemVars' 'set COPY_MSG "Copying %s"' 'set DSTDIR "dst"' \
  'MkDir "dst"' 'CopyDir2Dest "data"' 'SetUninstall "Vorn Bench" "dst\uninstall.exe"' \
  'MkPgmGroup "Vorn Bench"' 'set PROGRAMGROUP "Vorn Bench"' \
  'MkLink "data\dir01\file001.bin" "One"' 'MkLink "data\dir02\file001.bin" "Two"' \
  'MkLink "data\dir03\file001.bin" "Three"' >"$work/src/setup.ini"

fresh_prefix bench-prefix
trap stop_wine_and_display EXIT
start_private_display
start_wineserver

bare=() install=() journaled=() rollback=() upgrade=() upgradeRollback=()
for r in $(seq "$runs"); do
  rm -rf "$work/src/dst"; mkdir "$work/src/dst"; sync
  bare+=("$(seconds "$WINE64" ./bare_copy.exe copy data dst/data)")
  rm -rf "$work/src/dst"; sync
  install+=("$(seconds "$WINE64" ./setup.exe /SILENT)")
  rm -rf "$work/src/dst" "$work/src/journal.log"; sync
  journaled+=("$(seconds "$WINE64" ./setup.exe /SILENT /LOG=journal.log)")
  rm -rf "$work/src/dst"; sync
  rollback+=("$(seconds "$WINE64" ./setup.exe /SILENT /ROLLBACK)")
  sync
  upgrade+=("$(seconds "$WINE64" ./setup.exe /SILENT)")
  sync
  upgradeRollback+=("$(seconds "$WINE64" ./setup.exe /SILENT /ROLLBACK)")
done
[ -f "$work/src/dst/data/dir20/file100.bin" ] || echo "warning: the install did not copy the whole tree"
[ -z "$(find "$work/src/dst" -name '*.~vu*' -print -quit)" ] ||
  echo "warning: an install that ended well left kept files behind"
b=$(median "${bare[@]}"); i=$(median "${install[@]}"); j=$(median "${journaled[@]}")
r=$(median "${rollback[@]}"); u=$(median "${upgrade[@]}"); ur=$(median "${upgradeRollback[@]}")
echo "Reference install, 2,000 files of 100 KB in 20 folders, /SILENT, medians of $runs runs:"
awk -v b="$b" -v i="$i" -v j="$j" -v r="$r" -v u="$u" -v ur="$ur" 'BEGIN {
  printf "  bare copy loop %.3f s\n", b
  printf "  setup.exe %.3f s (%.2fx the bare loop)\n", i, i / b
  printf "  setup.exe with /LOG %.3f s (%.2fx the bare loop, %.2fx without the journal)\n", j, j / b, j / i
  printf "  setup.exe with /ROLLBACK %.3f s (%+.1f%% against without)\n", r, (r / i - 1) * 100
  printf "  upgrade over every file %.3f s, with /ROLLBACK %.3f s (%+.1f%%)\n", u, ur, (ur / u - 1) * 100 }'
echo "journal: $(wc -l <"$work/src/journal.log") lines"
