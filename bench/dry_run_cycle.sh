#!/usr/bin/env bash
# Benchmark: the bundled example's whole cycle as dry runs (setupsim, a
# native optimised build): seven runs, each a process that reads the
# machine's state, runs the script and saves the state (see
# scripts/dry-run-cycle.sh). Prints the cycle's time, the median of
# several. The media are the example with small stand-ins for the
# program, the COM server, the post-install helper and the font.
set -euo pipefail
source "$(dirname "$0")/../scripts/lib.sh"

runs=${1:-5}
install_missing_packages
build=$VORN_BUILD/bench-sim
configure "$build" -DVORN_TESTS=OFF
cmake --build "$build" -j2 --target setupsim >/dev/null

work=$VORN_BUILD/bench-dry-run
rm -rf "$work" && mkdir -p "$work/media"
cp -r "$VORN_ROOT"/examples/* "$work/media/"
for stand_in in setup.exe vornshell.dll postinstall.exe vornsans.ttf; do
  printf 'MZ stand-in' >"$work/media/$stand_in"
done

times=()
for i in $(seq "$runs"); do
  mkdir -p "$work/run-$i"
  line=$("$VORN_ROOT/scripts/dry-run-cycle.sh" "$build/setupsim" "$work/media" "$work/run-$i" user |
         grep "the example's cycle")
  times+=("$(sed 's/.* in \([0-9.]*\) s$/\1/' <<<"$line")")
done
median=$(printf '%s\n' "${times[@]}" | sort -g | sed -n "$(( (runs + 1) / 2 ))p")
printf "the example's cycle as dry runs (7 runs, each its own process): %.3f s (median of %d)\n" \
  "$median" "$runs"
