#!/usr/bin/env bash
# Runs the bundled example under Xvfb, walks every window and dialog as a
# user would (tests/gallery/gallery_driver.cpp), and saves a PNG of each
# with ImageMagick's import into docs/gallery/, listed in docs/gallery.md.
set -euo pipefail
source "$(dirname "$0")/lib.sh"

# A Linux path as the Windows programs see it, on drive Z:.
winepath_of() { echo "Z:${1//\//\\}"; }

VORN_PACKAGES+=(imagemagick)
install_missing_packages
configure "$VORN_BUILD/win64" \
  -DCMAKE_TOOLCHAIN_FILE="$VORN_ROOT/cmake/toolchain-mingw-x86_64.cmake" -DVORN_TESTS=ON
cmake --build "$VORN_BUILD/win64" -j2 --target setup gallery_driver >/dev/null

work=$VORN_BUILD/gallery
shots=$work/shots
rm -rf "$work"
mkdir -p "$shots"
cp -r "$VORN_ROOT"/examples/* "$VORN_BUILD/win64/setup.exe" "$work/"

fresh_prefix gallery-prefix
trap stop_wine_and_display EXIT
start_private_display
start_wineserver

"$WINE64" "$VORN_BUILD/win64/tests/gallery/gallery_driver.exe" "$(winepath_of "$shots")" \
  "$(winepath_of "$work/setup.exe")" >"$work/driver.log" 2>&1 &
driver=$!
# Takes each picture the driver asks for, cut to its window and a margin.
while kill -0 "$driver" 2>/dev/null; do
  for request in "$shots"/*.request; do
    [ -e "$request" ] || continue
    read -r x y w h < <(tr -d "\r" <"$request")
    import -display "$DISPLAY" -window root -crop "$((w + 16))x$((h + 16))+$((x - 8))+$((y - 8))" \
      +repage "${request%.request}.png"
    rm "$request"
  done
  sleep 0.2
done
wait "$driver" || true
cat "$work/driver.log"

# One line on each picture.
describe() {
  case $1 in
    intro-page) echo "The intro page: the intro text, the destination and the way to change it." ;;
    directory-chooser) echo "The directory chooser as it opens: the drives, OK disabled." ;;
    directory-chooser-folder) echo "A folder selected: its path above the tree, OK enabled." ;;
    new-folder-prompt) echo "The new-folder prompt with the name typed." ;;
    directory-chooser-new-folder) echo "The new folder created and selected." ;;
    intro-page-changed) echo "Back on the intro page with the chosen destination." ;;
    licence) echo "The licence, with Agree and Disagree from the language file." ;;
    setup-type) echo "The setup types of the language file, one chosen." ;;
    smtp-server) echo "The mail server prompt with its default." ;;
    installed-box) echo "The message box at the end of the install." ;;
    *) echo "$1" ;;
  esac
}

out=$VORN_ROOT/docs/gallery
rm -rf "$out"
mkdir -p "$out"
cp "$shots"/*.png "$out/"
{
  echo "# What the person installing sees"
  echo
  echo "Every window of the bundled example, in the order a user meets them"
  echo "(\`./scripts/gallery.sh\` takes them again)."
  echo
  for png in "$out"/*.png; do
    name=$(basename "$png" .png)
    echo "- $(describe "${name#??-}")"
    echo
    echo "  ![${name#??-}](gallery/$(basename "$png"))"
    echo
  done
} >"$VORN_ROOT/docs/gallery.md"
log "pictures in docs/gallery/, listed in docs/gallery.md"
