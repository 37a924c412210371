#!/usr/bin/env bash
# Builds setup.exe and runs the bundled example install (examples/) under
# Wine: on your display when there is one, else on a private Xvfb display
# where the project's UI robot answers the boxes and prints what it saw.
set -euo pipefail
source "$(dirname "$0")/lib.sh"

install_missing_packages
build_setup_and_robot

work=$VORN_BUILD/example
rm -rf "$work"
mkdir -p "$work"
cp "$VORN_ROOT"/examples/* "$work/"
cp "$VORN_BUILD/win64/setup.exe" "$work/"

fresh_prefix example-prefix
trap stop_wine_and_display EXIT
status=0
if [ -n "${DISPLAY:-}" ] && [ "${VORN_HEADLESS:-0}" != 1 ]; then
  log "running the example on $DISPLAY; answer its windows"
  "$WINE64" "$work/setup.exe" "$@" || status=$?
else
  start_private_display
  start_wineserver
  log "running the example under Xvfb; the UI robot answers each box"
  "$WINE64" "$VORN_BUILD/win64/tests/robot/robot.exe" --timeout 120 \
    "$work/setup.exe" "$@" || status=$?
fi
log "setup.exe exit code: $status"
log "files the example wrote:"
ls -l "$work"
[ -f "$work/install.log" ] && cat "$work/install.log"
exit 0
