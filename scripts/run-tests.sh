#!/usr/bin/env bash
# Runs every test: the native unit tests (with sanitizers), then the Windows
# tests and the end-to-end tests under Wine in a fresh prefix of the
# project's own and a private Xvfb display. Prints "N passed, M failed".
set -uo pipefail
source "$(dirname "$0")/lib.sh"

install_missing_packages || exit 1
passed=0
failed=0

# Adds the counts of a ctest summary line to the totals.
count_results() {
  local summary
  summary=$(grep -E 'tests passed, [0-9]+ tests? failed out of [0-9]+' "$1" | tail -n1)
  if [ -z "$summary" ]; then
    failed=$((failed + 1))
    return
  fi
  local total bad
  bad=$(sed -E 's/.* ([0-9]+) tests? failed out of ([0-9]+).*/\1/' <<<"$summary")
  total=$(sed -E 's/.* failed out of ([0-9]+).*/\1/' <<<"$summary")
  passed=$((passed + total - bad))
  failed=$((failed + bad))
}

log "native build and unit tests"
if configure_and_build "$VORN_BUILD/native" -DCMAKE_BUILD_TYPE=Debug; then
  (cd "$VORN_BUILD/native" && ctest --output-on-failure --timeout 300) |
    tee "$VORN_BUILD/native-tests.log"
  count_results "$VORN_BUILD/native-tests.log"
else
  failed=$((failed + 1))
fi

log "Windows builds"
if build_windows_programs -DVORN_TESTS=ON; then
  fresh_prefix test-prefix
  trap stop_wine_and_display EXIT
  start_private_display && start_wineserver
  log "Windows and end-to-end tests under Wine"
  (cd "$VORN_BUILD/win64" && ctest --output-on-failure --timeout 600) |
    tee "$VORN_BUILD/win-tests.log"
  count_results "$VORN_BUILD/win-tests.log"
  stop_wine_and_display
else
  failed=$((failed + 1))
fi

echo "$passed passed, $failed failed"
[ "$failed" -eq 0 ]
