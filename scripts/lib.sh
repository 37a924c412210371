# Shared steps of the project's scripts: installing what is missing, the
# builds, a private Wine prefix and X display, and cleaning up after them.
# Sourced, not run.

VORN_ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
VORN_BUILD=$VORN_ROOT/build
WINE64=/usr/lib/wine/wine64
WINESERVER=/usr/lib/wine/wineserver

VORN_PACKAGES=(cmake make g++ googletest
  g++-mingw-w64-x86-64-posix g++-mingw-w64-i686-posix
  binutils-mingw-w64-x86-64 binutils-mingw-w64-i686
  wine wine64 fonts-wine xvfb xauth)

log() { printf '== %s\n' "$*" >&2; }

# True when the kernel runs 32-bit x86 code: a tiny i386 program that
# exits with 42 is started. Machines without IA-32 emulation refuse it.
machine_runs_32bit_code() {
  [ -n "${VORN_RUNS_32BIT:-}" ] && { [ "$VORN_RUNS_32BIT" = yes ]; return; }
  local dir
  dir=$(mktemp -d)
  printf '.globl _start\n_start:\n movl $1, %%eax\n movl $42, %%ebx\n int $0x80\n' \
    >"$dir/probe.s"
  VORN_RUNS_32BIT=no
  if as --32 -o "$dir/probe.o" "$dir/probe.s" 2>/dev/null &&
    ld -m elf_i386 -o "$dir/probe" "$dir/probe.o" 2>/dev/null; then
    "$dir/probe" 2>/dev/null
    [ $? -eq 42 ] && VORN_RUNS_32BIT=yes
  fi
  rm -rf "$dir"
  export VORN_RUNS_32BIT
  [ "$VORN_RUNS_32BIT" = yes ]
}

# True when Wine can start 32-bit programs here (wine32 is installed).
wine_runs_32bit_programs() {
  dpkg-query -W -f='${Status}' wine32:i386 2>/dev/null | grep -q 'ok installed'
}

# The Windows build that the Wine tests and the example run: the shipped
# i686 program ("win32", in a pure 32-bit prefix) where Wine can start
# 32-bit programs, else the x86_64 build ("win64").
tested_build() {
  if [ -n "${VORN_TESTED_BUILD:-}" ]; then  # a developer's choice: win32 or win64
    echo "$VORN_TESTED_BUILD"
  elif wine_runs_32bit_programs; then
    echo win32
  else
    echo win64
  fi
}

# The line above a test summary that says which build was tested.
tested_build_line() {
  if [ "$1" = win32 ]; then
    echo "tested under Wine: i686 (win32 prefix)"
  else
    echo "tested under Wine: x86_64 (win64 prefix; this machine cannot run 32-bit code)"
  fi
}

# The Wine loader for programs of BUILD (win32 or win64).
wine_loader() {
  if [ "$1" = win32 ]; then echo /usr/lib/wine/wine; else echo "$WINE64"; fi
}

toolchain_file() {
  if [ "$1" = win32 ]; then
    echo "$VORN_ROOT/cmake/toolchain-mingw-i686.cmake"
  else
    echo "$VORN_ROOT/cmake/toolchain-mingw-x86_64.cmake"
  fi
}

# Installs the Debian packages that are missing, without recommends. Where
# the kernel runs 32-bit code, the 32-bit Wine loader (wine32:i386) too, so
# that the shipped i686 program runs in the tests. The probe needs the
# assembler and linker, so it runs once the other packages are there.
install_missing_packages() {
  local missing=() p
  for p in "${VORN_PACKAGES[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'ok installed' ||
      missing+=("$p")
  done
  install_packages "${missing[@]}" || return 1
  if machine_runs_32bit_code && ! wine_runs_32bit_programs; then
    local sudo=""
    [ "$(id -u)" -ne 0 ] && sudo=sudo
    $sudo dpkg --add-architecture i386 && install_packages "wine32:i386"
  fi
}

# install_packages PACKAGE...: apt-get install, without recommends.
install_packages() {
  [ $# -eq 0 ] && return 0
  local sudo=""
  [ "$(id -u)" -ne 0 ] && sudo=sudo
  log "installing: $*"
  $sudo apt-get update -qq &&
    DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq \
      --no-install-recommends "$@" >/dev/null
}

# configure DIR [cmake options...]
configure() {
  local dir=$1
  shift
  cmake -S "$VORN_ROOT" -B "$dir" -DCMAKE_BUILD_TYPE=Release "$@" >/dev/null
}

# configure_and_build DIR [cmake options...]
configure_and_build() {
  configure "$@" && cmake --build "$1" -j2
}

# Both Windows builds: the one without tests first, then the one the
# options (VORN_TESTS=ON...) are for, by default the x86_64 build.
# build_windows_programs [--tested BUILD] [cmake options...]
build_windows_programs() {
  local tested=win64
  if [ "${1:-}" = --tested ]; then tested=$2; shift 2; fi
  local other=win32
  [ "$tested" = win32 ] && other=win64
  configure_and_build "$VORN_BUILD/$other" \
    -DCMAKE_TOOLCHAIN_FILE="$(toolchain_file "$other")" -DVORN_TESTS=OFF &&
    configure_and_build "$VORN_BUILD/$tested" \
      -DCMAKE_TOOLCHAIN_FILE="$(toolchain_file "$tested")" "$@"
}

# Prints the path of the TrueType font that the font tests register. It is
# unpacked from its Debian package into the build tree, never installed, so
# that the system's own font list does not know it before a test adds it.
fetch_test_font() {
  local dir=$VORN_BUILD/fonts font
  font=$(find "$dir" -name 'Comfortaa-Regular.ttf' 2>/dev/null | head -1)
  if [ -z "$font" ]; then
    local sudo=""
    [ "$(id -u)" -ne 0 ] && sudo=sudo
    mkdir -p "$dir"
    (cd "$dir" && { apt-get download -qq fonts-comfortaa >/dev/null 2>&1 ||
      { $sudo apt-get update -qq && apt-get download -qq fonts-comfortaa >/dev/null; }; } &&
      dpkg-deb -x fonts-comfortaa_*.deb unpacked) >&2
    font=$(find "$dir" -name 'Comfortaa-Regular.ttf' | head -1)
  fi
  echo "$font"
}

# Starts a private Xvfb and exports DISPLAY.
start_private_display() {
  local numberFile=$VORN_BUILD/wine/display-number
  mkdir -p "$VORN_BUILD/wine"
  rm -f "$numberFile"
  # -displayfd: Xvfb picks a free display and writes its number to fd 1.
  Xvfb -displayfd 1 -screen 0 1024x768x24 -nolisten tcp \
    >"$numberFile" 2>/dev/null </dev/null &
  VORN_XVFB_PID=$!
  local i
  for i in $(seq 100); do
    [ -s "$numberFile" ] && break
    sleep 0.1
  done
  [ -s "$numberFile" ] || { log "Xvfb did not start"; return 1; }
  export DISPLAY=":$(head -n1 "$numberFile")"
  log "private display $DISPLAY"
}

# The Wine environment of the project: its own prefix and home under build/.
wine_environment() {
  export WINEPREFIX=$1
  export HOME=$VORN_BUILD/wine/home
  export WINEDEBUG=-all
  export WINEDLLOVERRIDES="winemenubuilder.exe=d"
  mkdir -p "$HOME"
}

# Creates the prefix template once; later runs copy it (a fresh copy per
# test run keeps tests repeatable). A template of an older recipe is made
# anew, and so is one made before or without the 32-bit loader: a 64-bit
# prefix made without it cannot start anything once it is installed.
VORN_PREFIX_RECIPE=4
prefix_recipe() {
  if wine_runs_32bit_programs; then
    echo "$VORN_PREFIX_RECIPE-wow64"
  else
    echo "$VORN_PREFIX_RECIPE"
  fi
}
# ensure_prefix_template BUILD: a win32 prefix (WINEARCH=win32, the
# closest model of 32-bit Windows) or a win64 one.
ensure_prefix_template() {
  local arch=$1
  local template=$VORN_BUILD/wine/prefix-template-$arch
  [ -f "$template/system.reg" ] &&
    [ "$(cat "$template/.vorn-recipe" 2>/dev/null)" = "$(prefix_recipe)" ] &&
    return 0
  log "creating the $arch Wine prefix (once)"
  rm -rf "$template"
  (
    wine_environment "$template"
    export WINEARCH=$arch
    local wine
    wine=$(wine_loader "$arch")
    "$wine" wineboot -i </dev/null >/dev/null 2>&1
    # Without a window manager, Wine waits ~2 s for one each time a managed
    # window is hidden or closed; unmanaged windows do not wait.
    (cd "$template" && "$wine" reg add 'HKCU\Software\Wine\X11 Driver' \
      /v Managed /t REG_SZ /d N /f </dev/null >/dev/null 2>&1)
    # Z: maps the whole Linux file system. It stays, since the tests and
    # CTest reach programs by their Linux paths, but typed as a CD-ROM, so
    # that neither the drive search (ApplyOnFiles) nor the directory
    # chooser lists it: the machine has C: and D: only.
    (cd "$template" && "$wine" reg add 'HKLM\Software\Wine\Drives' \
      /v z: /t REG_SZ /d cdrom /f </dev/null >/dev/null 2>&1)
    # E:, where a test run mounts its small volume, is removable: neither
    # the drive search nor the chooser lists it either.
    (cd "$template" && "$wine" reg add 'HKLM\Software\Wine\Drives' \
      /v e: /t REG_SZ /d floppy /f </dev/null >/dev/null 2>&1)
    "$WINESERVER" -w
    # The user folders would be links into the Linux home.
    local d
    for d in Desktop Documents Downloads Music Pictures Videos; do
      local p="$template/drive_c/users/$(id -un)/$d"
      if [ -L "$p" ]; then rm "$p" && mkdir -p "$p"; fi
    done
    prefix_recipe >"$template/.vorn-recipe"
  )
}

# A 64 KB volume of its own at DIR (tmpfs), for copies that run out of
# room; false where the machine does not let us mount one.
mount_small_drive() {
  local dir=$1 sudo=""
  [ "$(id -u)" -ne 0 ] && sudo="sudo -n"
  mkdir -p "$dir"
  $sudo mount -t tmpfs -o size=64k,mode=1777 vorn-small-drive "$dir" 2>/dev/null
}

unmount_small_drive() {
  local dir=$1 sudo=""
  [ "$(id -u)" -ne 0 ] && sudo="sudo -n"
  if mountpoint -q "$dir" 2>/dev/null; then
    $sudo umount "$dir" 2>/dev/null || true
  fi
}

# fresh_prefix NAME [BUILD]: a new copy of the template for BUILD (win32 or
# win64, the default), with the environment set and WINE the loader for
# its programs.
# Drive D: is a small fixed drive of its own (build/wine/NAME-drive-d), for
# tests that need a drive's root or a second drive to search; drive E:,
# where the machine allows a mount, a 64 KB volume that fills up.
fresh_prefix() {
  local arch=${2:-win64}
  ensure_prefix_template "$arch"
  local prefix=$VORN_BUILD/wine/$1
  [ -d "$prefix" ] && (wine_environment "$prefix"; "$WINESERVER" -k 2>/dev/null || true)
  unmount_small_drive "$prefix-drive-e"
  rm -rf "$prefix" "$prefix-drive-d" "$prefix-drive-e"
  cp -a "$VORN_BUILD/wine/prefix-template-$arch" "$prefix"
  mkdir -p "$prefix-drive-d"
  ln -s "$prefix-drive-d" "$prefix/dosdevices/d:"
  if mount_small_drive "$prefix-drive-e"; then
    ln -s "$prefix-drive-e" "$prefix/dosdevices/e:"
  fi
  # A tree with a directory link that leads out of it.
  local links=$prefix/drive_c/vorn-links
  mkdir -p "$links/tree" "$links/outside"
  echo kept >"$links/outside/keep.txt"
  echo gone >"$links/tree/file.txt"
  ln -s ../outside "$links/tree/link"
  # A program group holding a link to that outside tree.
  local programs="$prefix/drive_c/users/$(id -un)/AppData/Roaming/Microsoft/Windows/Start Menu/Programs"
  mkdir -p "$programs/Vorn E2E Linked"
  ln -s "$links/outside" "$programs/Vorn E2E Linked/outside-link"
  wine_environment "$prefix"
  export WINEARCH=$arch
  WINE=$(wine_loader "$arch")
  export WINE
}

# Keeps the prefix's wineserver and services up, with every descriptor
# detached, so that test runners do not wait on them.
start_wineserver() {
  "$WINESERVER" -p </dev/null >/dev/null 2>&1
  "${WINE:-$WINE64}" cmd /c exit </dev/null >/dev/null 2>&1
}

stop_wine_and_display() {
  [ -n "${WINEPREFIX:-}" ] && "$WINESERVER" -k </dev/null >/dev/null 2>&1
  [ -n "${WINEPREFIX:-}" ] && unmount_small_drive "$WINEPREFIX-drive-e"
  [ -n "${VORN_XVFB_PID:-}" ] && kill "$VORN_XVFB_PID" 2>/dev/null &&
    wait "$VORN_XVFB_PID" 2>/dev/null
  return 0
}
