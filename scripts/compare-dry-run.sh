#!/usr/bin/env bash
# compare-dry-run.sh SETUPSIM MEDIA SNAPSHOTS WINEUSER
# Runs the bundled example's cycle through the dry run, as run-example.sh
# runs it under Wine, and compares each phase's changes with the Wine
# run's: SNAPSHOTS holds the machine after each Wine phase (.machine-0 to
# .machine-5, as run-example.sh writes them), MEDIA the install media as
# they were before the first run. Both sides are taken as names: files
# under C: (without the Windows and Temp folders) and registry values,
# each added (+), changed (*: other bytes, not merely written again) or
# removed (-). A difference that a named limit of the dry run explains (a
# DLL's own registration code, an uninstall's move to the temporary
# folder, the file times a shortcut keeps of its target) is listed as
# such; any other fails. The last phase compares what the whole cycle
# leaves. The runs are those of dry-run-cycle.sh. Ends with 0 when every
# phase lists the same changes.
set -uo pipefail
sim=$1 media=$2 snapshots=$3 wineuser=$4
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# Differences the dry run cannot know, each with its reason.
explained() {
  case "$1" in
    *'VORNSHELL.DLL.LOG') echo "written by the COM server's own registration code" ;;
    *'|PENDINGFILERENAMEOPERATIONS') echo "the uninstall's temporary copy, which the dry run does not make" ;;
    '* file '*.LNK) echo "a shortcut keeps its target's file times, which the dry run does not keep" ;;
    *) return 1 ;;
  esac
}

# wine_changes BEFORE AFTER: "+ NAME", "* NAME", "- NAME", one a line.
wine_changes() {
  normalise_wine() {
    awk -F'\t' '
      /^file / { name = substr($1, 6); gsub("/", "\\", name)
                 n = split($2, facts, " "); print "file " toupper(name) "\t" facts[1] " " facts[n]; next }
      /^registry / {
        hive = $0; sub(/^registry /, "", hive); root = (hive ~ /^user/) ? "HKCU" : "HKLM"
        line = hive; sub(/^(system|user) \[/, "", line)
        key = line; sub(/\] .*/, "", key); gsub(/\\\\/, "\\", key)
        rest = line; sub(/^[^]]*\] /, "", rest)
        name = rest; value = rest
        if (name ~ /^@=/) { name = "" } else { sub(/^"/, "", name); sub(/"=.*/, "", name) }
        sub(/^(@|"[^"]*")=/, "", value)
        print "value " toupper(root "\\" key "|" name) "\t" value }' "$1" | sort
  }
  normalise_wine "$1" >"$work/before"
  normalise_wine "$2" >"$work/after"
  join -t $'\t' -a1 -a2 -e '(none)' -o 0,1.2,2.2 \
    <(sort -t $'\t' -k1,1 "$work/before") <(sort -t $'\t' -k1,1 "$work/after") |
    awk -F'\t' '$2 == "(none)" { print "+ " $1; next }
                $3 == "(none)" { print "- " $1; next }
                $2 != $3 { print "* " $1 }'
}

# sim_changes PLAN: the plan's "changes" lines, taken as Wine's snapshot
# takes them: files and values only, HKCR under HKLM\Software\Classes,
# nothing of the Windows folder, the Temp folders or the media drive.
sim_changes() {
  sed -n '/^changes (/,$p' "$1" | sed 1d | sed 's/^  //' | awk '
    { sign = substr($0, 1, 1); what = substr($0, 3) }
    what ~ /^file / { name = toupper(substr(what, 6))
      if (name ~ /^C:\\WINDOWS\\/ || name ~ /\\APPDATA\\LOCAL\\TEMP\\/ || name !~ /^C:/) next
      print sign " file " name; next }
    what ~ /^value / { name = substr(what, 7); root = substr(name, 1, 4); key = substr(name, 6)
      sub(/ "/, "|", key); sub(/" = .*/, "", key)
      if (root == "HKCR") { root = "HKLM"; key = "SOFTWARE\\CLASSES\\" key }
      print sign " value " toupper(root "\\" key) }'
}

# compare PHASE PLAN BEFORE AFTER
failures=0
compare() {
  local phase=$1 plan=$2
  wine_changes "$snapshots/$3" "$snapshots/$4" | sort >"$work/wine"
  sim_changes "$plan" | sort >"$work/sim"
  local same only_wine only_sim line why
  same=$(comm -12 "$work/wine" "$work/sim" | grep -c .)
  only_wine=$(comm -23 "$work/wine" "$work/sim")
  only_sim=$(comm -13 "$work/wine" "$work/sim")
  local unexplained=0
  while IFS= read -r line; do
    [ -n "$line" ] || continue
    if why=$(explained "$line"); then
      echo "  $phase: only under Wine: $line ($why)"
    else
      echo "  $phase: only under Wine: $line"
      unexplained=$((unexplained + 1))
    fi
  done <<<"$only_wine"
  while IFS= read -r line; do
    [ -n "$line" ] || continue
    echo "  $phase: only in the dry run: $line"
    unexplained=$((unexplained + 1))
  done <<<"$only_sim"
  echo "$phase: $same changes listed by both, $unexplained unexplained differences"
  failures=$((failures + unexplained))
}

"$(dirname "$0")/dry-run-cycle.sh" "$sim" "$media" "$work" "$wineuser" || exit 1

compare install "$work/install.plan" .machine-0 .machine-1
compare "failed upgrade" "$work/failed-upgrade.plan" .machine-1 .machine-1b
compare upgrade "$work/upgrade.plan" .machine-1b .machine-2
compare uninstall "$work/uninstall.plan" .machine-2 .machine-3
compare "unattended install and upgrade" "$work/unattended-upgrade.plan" .machine-3 .machine-4
# The last run's changes are those since the machine before the install:
# what the whole cycle leaves.
compare "left after the registered uninstall" "$work/registered-uninstall.plan" .machine-0 .machine-5
left=$(sim_changes "$work/registered-uninstall.plan")
echo "left of the product after the cycle, dry run: ${left:-nothing}"
if [ "$failures" -eq 0 ]; then
  echo "the dry run lists the same changes as the Wine run in every phase"
else
  echo "the dry run and the Wine run differ: $failures unexplained differences"
fi
[ "$failures" -eq 0 ]
