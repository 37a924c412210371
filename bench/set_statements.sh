#!/usr/bin/env bash
# Benchmark: prints the size of both setup.exe builds and the time setup.exe
# takes under Wine for a script of 10,000 `set` statements in /SILENT mode
# (best and median of several runs). Builds what is missing first.
set -euo pipefail
source "$(dirname "$0")/../scripts/lib.sh"

statements=${1:-10000}
runs=${2:-5}
install_missing_packages
build_windows_programs -DVORN_TESTS=OFF >/dev/null

work=$VORN_BUILD/bench
rm -rf "$work" && mkdir -p "$work"
cp "$VORN_BUILD/win64/setup.exe" "$work/"
{
  printf '[Setup]\r\n'
  for i in $(seq "$statements"); do printf 'set VAR%d "value %d"\r\n' $((i % 300)) "$i"; done
} >"$work/setup.ini"

fresh_prefix bench-prefix
trap stop_wine_and_display EXIT
start_private_display
start_wineserver

echo "setup.exe size: win32 $(stat -c %s "$VORN_BUILD/win32/setup.exe") bytes," \
     "win64 $(stat -c %s "$VORN_BUILD/win64/setup.exe") bytes"
times=()
for r in $(seq "$runs"); do
  start=$(date +%s.%N)
  (cd "$work" && "$WINE64" setup.exe /SILENT </dev/null >/dev/null 2>&1)
  end=$(date +%s.%N)
  times+=("$(awk -v a="$start" -v b="$end" 'BEGIN { printf "%.3f", b - a }')")
done
sorted=$(printf '%s\n' "${times[@]}" | sort -n)
echo "$statements set statements, /SILENT, $runs runs (s): $(echo $sorted)"
echo "best $(head -n1 <<<"$sorted") s, median $(sed -n "$(((runs + 1) / 2))p" <<<"$sorted") s"

# A script without statements gives the fixed cost of starting setup.exe
# under Wine.
printf '[Setup]\r\n' >"$work/setup.ini"
start=$(date +%s.%N)
(cd "$work" && "$WINE64" setup.exe /SILENT </dev/null >/dev/null 2>&1)
end=$(date +%s.%N)
echo "baseline, empty [Setup]: $(awk -v a="$start" -v b="$end" 'BEGIN { printf "%.3f", b - a }') s"
