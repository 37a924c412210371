#!/usr/bin/env bash
# The bundled example end to end as ./scripts/run-example.sh runs it (with
# the programs built already): install with its answers recorded, upgrade
# and uninstall, with an upgrade that fails and is rolled back between the
# first two; then the same unattended with those answers, and the
# uninstall that the product registered, run with the install media gone.
# The summaries it prints: everything installed, then everything removed;
# and the same cycle as a dry run, whose changes match the Wine run's.
set -uo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
output=$(VORN_HEADLESS=1 VORN_EXAMPLE_NO_BUILD=1 "$root/scripts/run-example.sh" 2>&1)
failures=0
expect() {
  if ! grep -qF -- "$1" <<<"$output"; then
    echo "missing: $1"
    failures=$((failures + 1))
  fi
}
expect "== setup.exe exit code: 0"
[ "$(grep -c '== setup.exe exit code: 0' <<<"$output")" = 6 ] ||
  { echo "not all six runs ended with exit code 0"; failures=$((failures + 1)); }
for file in bin/zekwin.exe doc/manual/intro.txt plugins/netlib-12.dll zek.ini zekress.ini \
            changes.txt notes.txt vornshell.dll vornsans.ttf; do
  expect "  + C:/Program Files/vorn/$file"
done
expect "Uninstall\\\\Vorn 4.12 Setup] \"DisplayName\"=\"Vorn 4.12 Setup\""
expect "Uninstall\\\\Vorn 4.12 Setup] \"DisplayVersion\"=\"4.12\""
expect "  + C:/Program Files/vorn/uninstall/setup.exe"   # the kept uninstaller
expect "IShowInstallDlg = continue"                      # an answer recorded
expect "the uninstall through the registered QuietUninstallString: \"C:\\Program Files\\vorn\\uninstall\\setup.exe\" /UNINSTALL"
expect "  - C:/Program Files/vorn/uninstall/setup.exe"   # it removed itself
expect "Vorn 4.12/Vorn.lnk -> C:\\Program Files\\vorn\\bin\\zekwin.exe"
expect "StartUp/Vorn agent.lnk -> C:\\Program Files\\vorn\\bin\\zekagent.exe"
expect "Desktop/Vorn 4.12.lnk -> C:\\Program Files\\vorn\\bin\\zekwin.exe"
expect "  * C:/Program Files/vorn/zek.ini"   # the upgrade merged it
expect "nothing: every file, registry value and shortcut of the product is gone"
expect "== setup.exe exit code: 1"   # the upgrade that fails
expect "as the first install left it: the failed upgrade was rolled back"
# The dry run of the same cycle lists the same changes, phase by phase.
expect "the dry run lists the same changes as the Wine run in every phase"
expect "left of the product after the cycle, dry run: nothing"
if [ "$failures" -gt 0 ]; then
  echo "$output" | tail -80
  exit 1
fi
echo "install, upgrade and uninstall summaries as expected"
