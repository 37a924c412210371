#!/usr/bin/env bash
# example_dry_run_test.sh SETUPSIM: the bundled example's whole cycle as dry
# runs, without Wine (scripts/dry-run-cycle.sh, with small stand-ins for the
# program, the COM server, the post-install helper and the font): every run
# ends as it should, and after the last uninstall nothing of the product is
# left: no file on C: and no registry value (the install-state record's
# empty key and the session's font count may stay).
set -uo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir "$work/media" "$work/out"
cp -r "$root"/examples/* "$work/media/"
for stand_in in setup.exe vornshell.dll postinstall.exe vornsans.ttf; do
  printf 'MZ stand-in' >"$work/media/$stand_in"
done
"$root/scripts/dry-run-cycle.sh" "$1" "$work/media" "$work/out" user || exit 1
left=$(sed -n '/^changes (/,$p' "$work/out/registered-uninstall.plan" | grep -E '^  [-+*] (file C:|value )')
if [ -n "$left" ]; then
  echo "left of the product after the cycle:"
  printf '%s\n' "$left"
  exit 1
fi
echo "nothing of the product is left after the cycle"
