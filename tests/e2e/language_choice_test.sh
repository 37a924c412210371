#!/usr/bin/env bash
# The language file chosen from the user's language, end to end: setup.exe
# runs under Wine with LC_ALL set, as a user with that Windows language, in
# a fresh working directory. Needs WINEPREFIX and DISPLAY of the test run.
# usage: language_choice_test.sh SETUP_EXE ROBOT_EXE
set -u
setup_exe=$1
robot_exe=$2
WINE64=/usr/lib/wine/wine64
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

# chosen LOCALE FILE... : runs with those language files present; prints the
# languagefile value and the greeting the included file set.
chosen() {
  local locale=$1
  shift
  rm -rf "$work/run" && mkdir "$work/run"
  cp "$setup_exe" "$work/run/setup.exe"
  local name
  for name in "$@"; do
    printf '[Messages]\r\nset GREETING "%s"\r\n' "$name" >"$work/run/setup.$name.txt"
  done
  printf '[Setup]\r\nGetSystemVars\r\nAppendFile languagefile "out.txt"\r\n%s\r\n%s\r\n' \
    'Include languagefile "Messages"' 'AppendFile GREETING "out.txt"' >"$work/run/setup.ini"
  (cd "$work/run" && LC_ALL=$locale "$WINE64" setup.exe /SILENT </dev/null >/dev/null 2>&1)
  tr -d '\r' <"$work/run/out.txt" | paste -sd'|'
}

all=(English German ChineseT Chinese Croatian "Catalan ")
check "German user"              "setup.German.txt|German"     "$(chosen de_DE.UTF-8 "${all[@]}")"
check "English user"             "setup.English.txt|English"   "$(chosen en_US.UTF-8 "${all[@]}")"
check "Traditional Chinese user" "setup.ChineseT.txt|ChineseT" "$(chosen zh_TW.UTF-8 "${all[@]}")"
check "Simplified Chinese user"  "setup.Chinese.txt|Chinese"   "$(chosen zh_CN.UTF-8 "${all[@]}")"
check "Hong Kong Chinese user"   "setup.English.txt|English"   "$(chosen zh_HK.UTF-8 "${all[@]}")"
check "Croatian user"            "setup.Croatian.txt|Croatian" "$(chosen hr_HR.UTF-8 "${all[@]}")"
check "Catalan user, blank before the extension" \
                                 "setup.Catalan .txt|Catalan " "$(chosen ca_ES.UTF-8 "${all[@]}")"
check "unlisted language (Maori)" "setup.English.txt|English"  "$(chosen mi_NZ.UTF-8 "${all[@]}")"
check "German user without German file" "setup.English.txt|English" "$(chosen de_DE.UTF-8 English)"
check "Traditional Chinese without its file" "setup.English.txt|English" "$(chosen zh_TW.UTF-8 English Chinese)"
check "no language file at all"  "setup.English.txt|"          "$(chosen de_DE.UTF-8)"

# The chosen file's messages are what the user sees.
rm -rf "$work/run" && mkdir "$work/run"
cp "$setup_exe" "$work/run/setup.exe"
printf '[Messages]\r\nset ERROR_TTL "Fehler"\r\nset ERROR_INI_SYNTAX "Unbekannt: %%s"\r\n' \
  >"$work/run/setup.German.txt"
printf '[Setup]\r\nGetSystemVars\r\nInclude languagefile "Messages"\r\nBogus\r\n' \
  >"$work/run/setup.ini"
seen=$(cd "$work/run" && LC_ALL=de_DE.UTF-8 "$WINE64" "$robot_exe" --timeout 60 \
  setup.exe </dev/null 2>/dev/null | tr -d '\r' | grep '^box:')
check "German messages in the error box" 'box: "Fehler" "Unbekannt: Bogus" -> OK' "$seen"

echo "$failures failed"
[ "$failures" -eq 0 ]
