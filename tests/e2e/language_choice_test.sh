#!/usr/bin/env bash
# The language file chosen from the user's language, end to end: setup.exe
# runs under Wine with LC_ALL set, as a user with that Windows language, in
# a fresh working directory. Needs WINEPREFIX and DISPLAY of the test run.
# usage: language_choice_test.sh SETUP_EXE ROBOT_EXE [CASE]
#   without CASE every case runs; --list prints the case names.
set -u
setup_exe=$1
robot_exe=$2
only=${3:-}
# The Wine loader for the programs under test (VORN_WINE, set by the test).
WINE=${VORN_WINE:-/usr/lib/wine/wine64}

# name | locale | language files present (comma-separated) | expected
# "languagefile|GREETING" of the chosen file.
all='English,German,ChineseT,Chinese,Croatian,Catalan '
cases=(
  "German user|de_DE.UTF-8|$all|setup.German.txt|German"
  "English user|en_US.UTF-8|$all|setup.English.txt|English"
  "Traditional Chinese user|zh_TW.UTF-8|$all|setup.ChineseT.txt|ChineseT"
  "Simplified Chinese user|zh_CN.UTF-8|$all|setup.Chinese.txt|Chinese"
  "Hong Kong Chinese user|zh_HK.UTF-8|$all|setup.English.txt|English"
  "Croatian user|hr_HR.UTF-8|$all|setup.Croatian.txt|Croatian"
  "Catalan user, blank before the extension|ca_ES.UTF-8|$all|setup.Catalan .txt|Catalan "
  "unlisted language (Maori)|mi_NZ.UTF-8|$all|setup.English.txt|English"
  "German user without German file|de_DE.UTF-8|English|setup.English.txt|English"
  "Traditional Chinese without its file|zh_TW.UTF-8|English,Chinese|setup.English.txt|English"
  "no language file at all|de_DE.UTF-8||setup.English.txt|"
)
boxCase="German messages in the error box"

if [ "$only" = --list ]; then
  for c in "${cases[@]}"; do echo "${c%%|*}"; done
  echo "$boxCase"
  exit 0
fi

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failures=0

# check NAME EXPECTED ACTUAL
check() {
  if [ "$2" == "$3" ]; then
    echo "ok   $1"
  else
    echo "FAIL $1: expected [$2], got [$3]"
    failures=$((failures + 1))
  fi
}

# fresh_run: an empty working directory holding setup.exe.
fresh_run() {
  rm -rf "$work/run" && mkdir "$work/run"
  cp "$setup_exe" "$work/run/setup.exe"
}

# chosen LOCALE FILES: runs with those language files present; prints the
# languagefile value and the greeting the included file set.
chosen() {
  local locale=$1 files=$2 name
  fresh_run
  IFS=, read -r -a names <<<"$files"
  for name in "${names[@]}"; do
    printf '[Messages]\r\nset GREETING "%s"\r\n' "$name" >"$work/run/setup.$name.txt"
  done
  printf '[Setup]\r\nGetSystemVars\r\nAppendFile languagefile "out.txt"\r\n%s\r\n%s\r\n' \
    'Include languagefile "Messages"' 'AppendFile GREETING "out.txt"' >"$work/run/setup.ini"
  (cd "$work/run" && LC_ALL=$locale "$WINE" setup.exe /SILENT </dev/null >/dev/null 2>&1)
  [ -f "$work/run/out.txt" ] && tr -d '\r' <"$work/run/out.txt" | paste -sd'|'
}

# The chosen file's messages are what the user sees.
german_error_box() {
  fresh_run
  printf '[Messages]\r\nset ERROR_TTL "Fehler"\r\nset ERROR_INI_SYNTAX "Unbekannt: %%s"\r\n' \
    >"$work/run/setup.German.txt"
  printf '[Setup]\r\nGetSystemVars\r\nInclude languagefile "Messages"\r\nBogus\r\n' \
    >"$work/run/setup.ini"
  (cd "$work/run" && LC_ALL=de_DE.UTF-8 "$WINE" "$robot_exe" --timeout 60 \
    setup.exe </dev/null 2>/dev/null | tr -d '\r' | grep '^box:')
}

for c in "${cases[@]}"; do
  IFS='|' read -r name locale files language greeting <<<"$c"
  [ -n "$only" ] && [ "$only" != "$name" ] && continue
  check "$name" "$language|$greeting" "$(chosen "$locale" "$files")"
done
if [ -z "$only" ] || [ "$only" = "$boxCase" ]; then
  check "$boxCase" 'box: "Fehler" "Unbekannt: Bogus" -> OK' "$(german_error_box)"
fi

echo "$failures failed"
[ "$failures" -eq 0 ]
