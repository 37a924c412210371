#!/usr/bin/env bash
# Benchmark: the cost of a section call (goto) under Wine against a plain
# statement, with /SILENT and shown, per call. Prints the median of several
# runs of each script. Builds what is missing first.
set -euo pipefail
source "$(dirname "$0")/../scripts/lib.sh"

calls=${1:-300}
runs=${2:-5}
install_missing_packages
build_windows_programs -DVORN_TESTS=OFF >/dev/null

work=$VORN_BUILD/bench-calls
rm -rf "$work" && mkdir -p "$work"
cp "$VORN_BUILD/win64/setup.exe" "$work/"

fresh_prefix bench-prefix
trap stop_wine_and_display EXIT
start_private_display
start_wineserver

# write_script KIND: $calls statements of that kind.
write_script() {
  {
    printf '[Setup]\r\n'
    for i in $(seq "$calls"); do
      if [ "$1" = goto ]; then printf 'goto "Callee"\r\n'; else printf 'set V%d "x"\r\n' $((i % 50)); fi
    done
    printf '[Callee]\r\nset CALLED "yes"\r\n'
  } >"$work/setup.ini"
}

# median_time ARGS...: median wall time of setup.exe over $runs runs.
median_time() {
  local times=() r start end
  for r in $(seq "$runs"); do
    start=$(date +%s.%N)
    (cd "$work" && "$WINE64" setup.exe "$@" </dev/null >/dev/null 2>&1)
    end=$(date +%s.%N)
    times+=("$(awk -v a="$start" -v b="$end" 'BEGIN { printf "%.4f", b - a }')")
  done
  printf '%s\n' "${times[@]}" | sort -n | sed -n "$(((runs + 1) / 2))p"
}

for mode in /SILENT shown; do
  args=()
  [ "$mode" = /SILENT ] && args=(/SILENT)
  write_script set
  plain=$(median_time "${args[@]}")
  write_script goto
  called=$(median_time "${args[@]}")
  awk -v m="$mode" -v n="$calls" -v p="$plain" -v c="$called" 'BEGIN {
    printf "%-8s %d set statements %.3f s, %d goto calls %.3f s: a call costs %.2f ms more than a statement\n",
           m, n, p, n, c, (c - p) * 1000 / n }'
done
