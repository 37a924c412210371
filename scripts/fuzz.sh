#!/usr/bin/env bash
# Runs every fuzz target for SECONDS seconds each (default 60), from its seed
# corpus (tests/fuzz/corpus/<target>, plus what earlier runs found in
# build/fuzz/corpus/<target>). A crash stops with the input that caused it.
set -euo pipefail
source "$(dirname "$0")/lib.sh"

seconds=${1:-60}
VORN_PACKAGES+=(clang)
install_missing_packages
dir=$VORN_BUILD/fuzz
CC=clang CXX=clang++ cmake -S "$VORN_ROOT" -B "$dir" -DCMAKE_BUILD_TYPE=Debug \
  -DVORN_FUZZ=ON -DVORN_TESTS=OFF >/dev/null
cmake --build "$dir" -j2 >/dev/null
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
status=0
for target in statement_fuzz split_words_fuzz message_format_fuzz language_fuzz \
              config_merge_fuzz script_run_fuzz setupcheck_fuzz machine_files_fuzz; do
  found=$dir/corpus/$target
  mkdir -p "$found"
  seeds=$VORN_ROOT/tests/fuzz/corpus/$target
  log "$target for $seconds s"
  # The scripts a run fuzzes may read files: they run in a scratch folder.
  if ! (cd "$scratch" && "$dir/tests/fuzz/$target" -max_total_time="$seconds" \
        -max_len=4096 -timeout=10 -artifact_prefix="$dir/$target-" \
        "$found" $( [ -d "$seeds" ] && echo "$seeds" ) 2>"$dir/$target.log"); then
    log "$target failed; see $dir/$target.log"
    tail -30 "$dir/$target.log"
    status=1
  fi
  grep -E '^(Done|#[0-9]+.*DONE)' "$dir/$target.log" | tail -1 || true
done
exit $status
