#!/usr/bin/env bash
# Builds setup.exe and runs the bundled example (examples/) under Wine: the
# install (its answers recorded), a second install over it (the upgrade) and
# the uninstall; then the same unattended, as a deployment tool runs it: the
# install replaying the recorded answers, the upgrade, and the uninstall
# through the quiet uninstall command the product registered, with the
# install media gone. After
# each run it prints what changed on the machine: files under the prefix's
# drives, registry keys and values, and shortcuts with their targets. With
# a display (and VORN_HEADLESS unset) you answer the windows; otherwise a
# private Xvfb display is used and the project's UI robot takes every
# default, printing each window, status line and box it saw. Last, the
# same cycle runs as a dry run (setupsim) and its changes are compared
# with the Wine run's, phase by phase.
# VORN_EXAMPLE_NO_BUILD=1 uses the programs built already.
set -euo pipefail
source "$(dirname "$0")/lib.sh"

# The shipped i686 program in a pure 32-bit prefix where the machine can
# run 32-bit code, the x86_64 build otherwise.
[ "${VORN_EXAMPLE_NO_BUILD:-0}" = 1 ] || install_missing_packages
build=$(tested_build)
programs=$VORN_BUILD/$build
if [ "${VORN_EXAMPLE_NO_BUILD:-0}" != 1 ]; then
  configure "$programs" -DCMAKE_TOOLCHAIN_FILE="$(toolchain_file "$build")" -DVORN_TESTS=ON
  cmake --build "$programs" -j2 --target setup robot_cli record_args reg_ok
  # The dry-run tool, native, for the comparison at the end.
  configure "$VORN_BUILD/native" -DCMAKE_BUILD_TYPE=Debug
  cmake --build "$VORN_BUILD/native" -j2 --target setupsim
fi

work=$VORN_BUILD/example
rm -rf "$work"
mkdir -p "$work"
cp -r "$VORN_ROOT"/examples/* "$work/"
cp "$programs/setup.exe" "$work/"
# The product's COM server, font and post-install helper are stand-ins the
# project builds (tests/helpers) and a free font from its Debian package.
cp "$programs/tests/helpers/reg_ok.dll" "$work/vornshell.dll"
cp "$programs/tests/helpers/record_args.exe" "$work/postinstall.exe"
font=$(fetch_test_font)
[ -n "$font" ] && cp "$font" "$work/vornsans.ttf"
# The media as they are before the first run, for the dry run.
rm -rf "$work.media"
cp -r "$work" "$work.media"

fresh_prefix example-prefix "$build"
log "the $build setup.exe"
prefix=$WINEPREFIX
trap stop_wine_and_display EXIT
interactive=0
if [ -n "${DISPLAY:-}" ] && [ "${VORN_HEADLESS:-0}" != 1 ]; then
  interactive=1
else
  start_private_display
fi
start_wineserver

# files LETTER: the files of the drive in the current folder (path, size,
# time, MD5 sum), the Windows and Temp folders left out.
files() {
  find . -path ./windows -prune -o -path './users/*/AppData/Local/Temp' -prune -o \
    -path './users/*/Temp' -prune -o -type f -print0 | xargs -0 -r md5sum >"$work/.sums"
  find . -path ./windows -prune -o -path './users/*/AppData/Local/Temp' -prune -o \
    -path './users/*/Temp' -prune -o -type f -printf "file $1:/%P\t%s %T@\n" |
    awk -F'\t' -v sums="$work/.sums" '
      BEGIN { while ((getline line < sums) > 0) sum[substr(line, 37)] = substr(line, 1, 32) }
      { print $0 " " sum[substr($1, 9)] }'
}

# snapshot FILE: the prefix's files (path, size, time, sum) and registry
# values, one per line, sorted. The wineserver is stopped first, so that
# the registry is on disk, and started again.
snapshot() {
  "$WINESERVER" -k 2>/dev/null || true
  "$WINESERVER" -w 2>/dev/null || true
  {
    (cd "$prefix/drive_c" && files C)
    (cd "$prefix-drive-d" && files D)
    for hive in system user; do
      awk -v hive="$hive" '
        /^\[/ { key = $0; sub(/\] [0-9]+.*$/, "]", key); next }
        /^#/ || /^$/ || /^@="/ && key ~ /Wine/ { next }
        key != "" && key !~ /\\\\Wine|Control\\\\Class|WineBrowser|MuiCache|Explorer\\\\|DeviceClasses|Enum\\\\|Perflib|Time Zones|SessionInfo|RecentDocs|Volatile/ {
          print "registry " hive " " key " " $0 }' "$prefix/$hive.reg"
    done
  } | LC_ALL=C sort >"$1"
  start_wineserver
}

# summarise BEFORE AFTER: what was added, changed and removed.
summarise() {
  local before=$1 after=$2
  awk -F'\t' '{ print $1 }' "$before" | sort -u >"$before.names"
  awk -F'\t' '{ print $1 }' "$after" | sort -u >"$after.names"
  local added removed changed
  added=$(comm -13 "$before.names" "$after.names")
  removed=$(comm -23 "$before.names" "$after.names")
  changed=$(comm -13 "$before" "$after" | awk -F'\t' '{ print $1 }' | grep -Fxv -f <(printf '%s\n' "$added") || true)
  section() {
    local title=$1 sign=$2 lines=$3
    local count
    count=$(printf '%s' "$lines" | grep -c . || true)
    echo "$title ($count):"
    [ "$count" -gt 0 ] && printf '%s\n' "$lines" | sed "s/^/  $sign /"
    return 0
  }
  section "files added" + "$(printf '%s\n' "$added" | grep '^file ' | sed 's/^file //')"
  section "files changed" '*' "$(printf '%s\n' "$changed" | grep '^file ' | sed 's/^file //')"
  section "files removed" - "$(printf '%s\n' "$removed" | grep '^file ' | sed 's/^file //')"
  section "registry values written" + "$(printf '%s\n' "$added" | grep '^registry ' | sed 's/^registry //')"
  section "registry values changed" '*' "$(printf '%s\n' "$changed" | grep '^registry ' | sed 's/^registry //')"
  section "registry values removed" - "$(printf '%s\n' "$removed" | grep '^registry ' | sed 's/^registry //')"
  echo "shortcuts:"
  local link
  { printf '%s\n' "$added" | grep '^file .*\.lnk$' || true; } | sed 's/^file //' |
    while read -r link; do
      local path=$prefix/drive_c/${link#C:/}
      echo "  $link -> $(strings -n 4 "$path" | grep -m1 -E '^[A-Za-z]:\\' || echo '?')"
    done
}

# run TITLE ARGS...: one run of setup.exe, answered by you or by the robot.
run() {
  local title=$1
  shift
  log "$title"
  local status=0
  if [ "$interactive" = 1 ]; then
    (cd "$work" && "$WINE" ./setup.exe "$@") || status=$?
  else
    (cd "$work" && "$WINE" "$programs/tests/robot/robot.exe" --timeout 120 \
      ./setup.exe "$@") || status=$?
  fi
  log "setup.exe exit code: $status"
}

# run_registered VALUE: the command line the product registered in
# Windows' list of programs as VALUE, run as Windows runs it (from a batch
# file, so that its quotes stay as written); its exit code is reported.
run_registered() {
  local entry='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\Vorn 4.12 Setup'
  local command
  command=$("$WINE" reg query "$entry" /v "$1" 2>/dev/null | tr -d '\r' |
    sed -n "s/^ *$1 *REG_SZ *//p")
  log "the uninstall through the registered $1: $command"
  printf '@%s\r\n@exit /b %%errorlevel%%\r\n' "$command" >"$VORN_BUILD/uninstall.bat"
  local status=0
  "$WINE" cmd /c "Z:${VORN_BUILD//\//\\}\\uninstall.bat" || status=$?
  log "setup.exe exit code: $status"
}

# wait_until_gone PATH: the uninstall's copy of setup.exe removes the
# product's last files once the uninstaller it was started by has ended.
wait_until_gone() {
  local i
  for i in $(seq 1 60); do
    [ -e "$1" ] || return 0
    sleep 0.5
  done
}

product="$prefix/drive_c/Program Files/vorn"
snapshot "$work/.machine-0"
run "the install, its answers recorded" /SAVEANSWERS=answers.txt
snapshot "$work/.machine-1"
summarise "$work/.machine-0" "$work/.machine-1"
log "the answers recorded:"
tr -d '\r' <"$work/answers.txt"
# An upgrade that fails half-way is rolled back: the first install stays
# as it was. Only the install-state record (its failure marker and its
# "Success" value) and the log
# that the stand-in COM server keeps of its own registration and
# unregistration may differ.
mv "$work/vornsans.ttf" "$work/vornsans.ttf.away"
run "an upgrade that fails (vornsans.ttf is missing from the media)" /SILENT /ANSWERS=answers.txt
mv "$work/vornsans.ttf.away" "$work/vornsans.ttf"
snapshot "$work/.machine-1b"
log "the machine after the failed upgrade, against the first install:"
record=(-e '[Software\\Kelvaro] "InstallFailled"' -e '[Software\\Kelvaro] "Success"'
        -e 'vornshell.dll.log')
changed=$(diff <(grep -vF "${record[@]}" "$work/.machine-1") \
               <(grep -vF "${record[@]}" "$work/.machine-1b") || true)
if [ -z "$changed" ]; then
  echo "as the first install left it: the failed upgrade was rolled back"
else
  printf '%s\n' "$changed"
fi
run "a second install over the first: the upgrade"
snapshot "$work/.machine-2"
summarise "$work/.machine-1" "$work/.machine-2"
run "the uninstall" /UNINSTALL
snapshot "$work/.machine-3"
summarise "$work/.machine-2" "$work/.machine-3"

run "unattended: the install with the recorded answers" /SILENT /ANSWERS=answers.txt
run "unattended: the upgrade" /SILENT /ANSWERS=answers.txt
snapshot "$work/.machine-4"
mv "$work" "$work.gone"
log "the install media is gone: $work renamed"
run_registered QuietUninstallString
wait_until_gone "$product"
mv "$work.gone" "$work"
snapshot "$work/.machine-5"
summarise "$work/.machine-4" "$work/.machine-5"

log "left of the product after the uninstall, against the machine before the install:"
left=$(comm -13 <(awk -F'\t' '{ print $1 }' "$work/.machine-0" | sort -u) \
                <(awk -F'\t' '{ print $1 }' "$work/.machine-5" | sort -u))
# The uninstall's temporary copy cannot delete its own running file: it
# leaves it to the next start of Windows, which is all that may be left.
at_reboot=$(grep -F '"PendingFileRenameOperations"' <<<"$left" | grep -F 'VornUninstall.' || true)
[ -z "$at_reboot" ] || left=$(grep -vF -- "$at_reboot" <<<"$left" || true)
if [ -z "$left" ]; then
  echo "nothing: every file, registry value and shortcut of the product is gone"
else
  printf '  %s\n' "$left"
fi
if [ -n "$at_reboot" ]; then
  echo "deleted at the next start of Windows: the uninstall's temporary copy"
fi

log "the same cycle as a dry run (setupsim), against the Wine run's changes"
if [ -x "$VORN_BUILD/native/setupsim" ]; then
  "$VORN_ROOT/scripts/compare-dry-run.sh" "$VORN_BUILD/native/setupsim" "$work.media" "$work" \
    "$(id -un)" || true
else
  echo "no dry run: $VORN_BUILD/native/setupsim is not built"
fi
exit 0
