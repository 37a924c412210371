#!/usr/bin/env bash
# dry-run-cycle.sh SETUPSIM MEDIA OUTDIR USER
# The bundled example's cycle as run-example.sh runs it under Wine, as dry
# runs of setupsim: the install (its answers recorded), an upgrade that
# fails (the font missing from the media) and is rolled back, the upgrade,
# the uninstall, the install and upgrade unattended, and the uninstall
# through the quiet uninstall command the product registered. MEDIA are
# the install media (mounted as M:), USER the user's name. Each run's plan
# goes to OUTDIR/<run>.plan, with the changes it made (the unattended pair
# together, and the last run's since the machine before the install), the
# machine states to OUTDIR/s*. Prints each run's exit code and the
# cycle's time; ends with 1 when a run did not end as it should.
set -uo pipefail
sim=$1 media=$2 out=$3 user=$4
status=0

# run NAME EXPECTED ARGS...: one dry run that should end with EXPECTED.
run() {
  local name=$1 expected=$2
  shift 2
  "$sim" --user "$user" "$@" >"$out/$name.plan"
  local code=$?
  echo "dry run, $name: exit code $code"
  [ "$code" = "$expected" ] || status=1
}

nofont=$out/media-nofont
rm -rf "$nofont"
cp -r "$media" "$nofont"
rm -f "$nofont/vornsans.ttf"
start=$(date +%s.%N)
run install 0 --drive "M=$media" --save-start-state "$out/s0" --save-state "$out/s1" --changes \
  -- /SAVEANSWERS=answers.txt
run failed-upgrade 1 --state "$out/s1" --drive "N=$nofont" --setup 'N:\setup.exe' \
  --save-state "$out/s1b" --changes -- /SILENT '/ANSWERS=M:\answers.txt'
run upgrade 0 --state "$out/s1b" --setup 'M:\setup.exe' --save-state "$out/s2" --changes
run uninstall 0 --state "$out/s2" --save-state "$out/s3" --changes -- /UNINSTALL
run unattended-install 0 --state "$out/s3" --save-state "$out/s4a" -- /SILENT /ANSWERS=answers.txt
run unattended-upgrade 0 --state "$out/s4a" --save-state "$out/s4" --changes-since "$out/s3" \
  -- /SILENT /ANSWERS=answers.txt
# The command line as the product registered it: "PROGRAM" SWITCHES.
registered=$(sed -n 's/.*"QuietUninstallString" = "\(.*\)"$/\1/p' "$out/unattended-upgrade.plan" | tail -1)
program=${registered#\"}
program=${program%%\"*}
run registered-uninstall 0 --state "$out/s4" --setup "$program" --changes-since "$out/s0" \
  -- "${registered#\"$program\" }"
end=$(date +%s.%N)
echo "the example's cycle, dry run: 7 runs in $(awk -v a="$start" -v b="$end" 'BEGIN { printf "%.3f", b - a }') s"
exit $status
