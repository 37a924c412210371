# Shared by the copy benchmarks (sourced): the Windows programs and the
# bare copy loop built, a work folder holding setup.exe, bare_copy.exe and
# data/ with 2,000 files of 100 KB in 20 folders, and the timing helpers.
source "$(dirname "${BASH_SOURCE[0]}")/../scripts/lib.sh"

# prepare_tree_payload WORK: builds, then fills WORK/src.
prepare_tree_payload() {
  local work=$1 d f
  install_missing_packages
  build_windows_programs -DVORN_TESTS=OFF >/dev/null
  cmake --build "$VORN_BUILD/win64" --target bare_copy >/dev/null
  rm -rf "$work" && mkdir -p "$work/src/data"
  cp "$VORN_BUILD/win64/setup.exe" "$VORN_BUILD/win64/bench/bare_copy.exe" "$work/src/"
  head -c 102400 /dev/urandom >"$work/payload"
  for d in $(seq -w 1 20); do
    mkdir -p "$work/src/data/dir$d"
    for f in $(seq -w 1 100); do cp "$work/payload" "$work/src/data/dir$d/file$f.bin"; done
  done
}

# seconds COMMAND...: wall time of one run, in $work/src.
seconds() {
  local start end
  start=$(date +%s.%N)
  (cd "$work/src" && "$@" </dev/null >/dev/null 2>&1) || true
  end=$(date +%s.%N)
  awk -v a="$start" -v b="$end" 'BEGIN { printf "%.3f", b - a }'
}

median() { printf '%s\n' "$@" | sort -n | sed -n "$((($# + 1) / 2))p"; }
