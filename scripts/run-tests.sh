#!/usr/bin/env bash
# Runs every test: the native unit tests (with sanitizers), each fuzz target
# for 10 s, then the Windows
# tests and the end-to-end tests under Wine in a fresh prefix of the
# project's own and a private Xvfb display. Every GoogleTest case, every
# end-to-end case and every language case is a test of its own; the last
# line is "N passed, M failed" over all of them, with each failed test named
# above it.
set -uo pipefail
source "$(dirname "$0")/lib.sh"

install_missing_packages || exit 1
passed=0
failed=0
failedNames=()

# count_results LAYER LOG CTEST_STATUS: adds the counts of a ctest run to the
# totals and notes the names of its failed tests. A run that ended without
# its summary, or failed without naming a test, counts as one failure.
count_results() {
  local layer=$1 log=$2 status=$3 summary
  summary=$(grep -E 'tests passed, [0-9]+ tests? failed out of [0-9]+' "$log" | tail -n1)
  if [ -z "$summary" ]; then
    failed=$((failed + 1))
    failedNames+=("$layer: the tests did not run to their end")
    return
  fi
  local total bad
  bad=$(sed -E 's/.* ([0-9]+) tests? failed out of ([0-9]+).*/\1/' <<<"$summary")
  total=$(sed -E 's/.* failed out of ([0-9]+).*/\1/' <<<"$summary")
  passed=$((passed + total - bad))
  failed=$((failed + bad))
  local name
  while IFS= read -r name; do
    [ -n "$name" ] && failedNames+=("$name")
  done < <(sed -n '/The following tests FAILED:/,$p' "$log" |
    sed -nE 's/^[[:space:]]+[0-9]+ - (.*)$/\1/p')
  if [ "$bad" -eq 0 ] && [ "$status" -ne 0 ]; then
    failed=$((failed + 1))
    failedNames+=("$layer: a test program could not be listed (see the log above)")
  fi
}

# run_ctest LAYER DIR JOBS: runs the tests of one build directory. The Wine
# tests share one prefix (its registry, its drives) and run one at a time.
run_ctest() {
  local layer=$1 dir=$2 log=$VORN_BUILD/$1-tests.log
  (cd "$dir" && ctest --output-on-failure --timeout 600 $3) 2>&1 | tee "$log"
  count_results "$layer" "$log" "${PIPESTATUS[0]}"
}

log "native build and unit tests"
if configure_and_build "$VORN_BUILD/native" -DCMAKE_BUILD_TYPE=Debug; then
  run_ctest native "$VORN_BUILD/native" -j2
else
  failed=$((failed + 1))
  failedNames+=("native build")
fi

log "fuzz targets, 10 s each"
if "$VORN_ROOT/scripts/fuzz.sh" 10; then
  passed=$((passed + 1))
else
  failed=$((failed + 1))
  failedNames+=("fuzzing (see build/fuzz/*.log)")
fi

# The Wine tests run the shipped i686 program in a pure 32-bit prefix where
# the machine can run 32-bit code, the x86_64 build otherwise; both builds
# are made and size-checked either way.
tested=$(tested_build)
log "Windows builds; the tests run the $tested build"
if build_windows_programs --tested "$tested" -DVORN_TESTS=ON \
  -DVORN_TEST_FONT="$(fetch_test_font)"; then
  fresh_prefix test-prefix "$tested"
  trap stop_wine_and_display EXIT
  start_private_display && start_wineserver
  log "Windows and end-to-end tests under Wine"
  run_ctest win "$VORN_BUILD/$tested" -j1
  stop_wine_and_display
else
  failed=$((failed + 1))
  failedNames+=("Windows builds")
fi

if [ ${#failedNames[@]} -gt 0 ]; then
  echo "Failed:"
  printf '  %s\n' "${failedNames[@]}"
fi
tested_build_line "$tested"
echo "$passed passed, $failed failed"
[ "$failed" -eq 0 ]
