#!/usr/bin/env bash
# Sets up a Debian 12 machine for Tavorin, builds it, then starts the game or runs every test.
#   tools/setup.sh run    install what building and playing need, build the game, start it with
#                         its registry and records inside the build folder (tools/run-dev.sh)
#   tools/setup.sh test   also install the test tools, then the whole test suite: the normal
#                         build, the same checks as an ordinary user, the sanitizer build
# As root it installs missing packages itself; as another user it asks sudo when it can, or
# names the packages and the command that installs them.
set -euo pipefail

mode=${1:-run}
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
cd "$root"

# Building and playing (dpkg-dev: the build takes Debian's hardening flags from dpkg-buildflags);
# the translations are built with Qt's lupdate and lrelease (qt6-l10n-tools, found by CMake
# through qt6-tools-dev), and Qt's own texts come from qt6-translations-l10n.
run_packages=(
  cmake ninja-build g++ pkg-config dpkg-dev
  qt6-base-dev qt6-base-dev-tools qt6-base-private-dev qt6-qpa-plugins libgl-dev qt6-svg-dev xxd
  qt6-tools-dev qt6-l10n-tools qt6-translations-l10n
  libimagequant-dev fonts-comic-neue fonts-motoya-l-maruberi libgif-dev zlib1g-dev
  libfluidsynth-dev timgm6mb-soundfont
  fonts-ipafont-gothic fonts-urw-base35 fonts-dejavu-core
)
# The test tools: a private X server, a window manager and their remote control, screenshots,
# a session bus with the accessibility bus, a screen reader's client library, the screen reader
# Orca with speech-dispatcher (its dummy voice, through ALSA's null device), the locales'
# sources (the language check makes the Japanese and English locales it runs under), a Wayland
# compositor with Qt's Wayland plugin, the install
# and package checks (with Debian's judges of a package: lintian, hardening-check from devscripts,
# reuse, appstreamcli, man), the fuzz build, and git for the ordinary user's own clone.
test_packages=(
  xvfb xauth xdotool x11-utils imagemagick openbox
  dbus at-spi2-core python3-pyatspi orca speech-dispatcher locales
  weston qt6-wayland
  desktop-file-utils appstream file strace debootstrap lintian devscripts reuse man-db
  clang libclang-rt-14-dev git
)

case "$mode" in
  run) packages=("${run_packages[@]}") ;;
  test) packages=("${run_packages[@]}" "${test_packages[@]}") ;;
  *)
    echo "usage: $0 run|test" >&2
    exit 2
    ;;
esac

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if ((${#missing[@]})); then
  install=(apt-get install -y -qq --no-install-recommends "${missing[@]}")
  if [ "$(id -u)" -eq 0 ]; then
    sudo_cmd=()
  elif command -v sudo >/dev/null && { [ -t 0 ] || sudo -n true 2>/dev/null; }; then
    sudo_cmd=(sudo)
  else
    echo "These Debian packages are missing: ${missing[*]}" >&2
    echo "Install them (as root, or with sudo), then run this again:" >&2
    echo "  sudo apt-get install --no-install-recommends ${missing[*]}" >&2
    exit 1
  fi
  echo "Installing: ${missing[*]}"
  "${sudo_cmd[@]}" apt-get update -qq
  DEBIAN_FRONTEND=noninteractive "${sudo_cmd[@]}" "${install[@]}"
fi

case "$mode" in
  run)
    cmake --preset dev >/dev/null
    cmake --build --preset play
    exec "$root/tools/run-dev.sh" "$root/build/dev"
    ;;
  test)
    start=$SECONDS
    lap() { echo "== $1: $(( (SECONDS - start) / 60 )) min $(( (SECONDS - start) % 60 )) s since the start"; }
    cmake --preset dev >/dev/null
    cmake --build --preset dev
    # Everything but the soak (hours) and the Debian package check (by hand: it needs the
    # mirror). The fuzz targets (label robustness) are clang's own sanitized build.
    ctest --preset dev --label-exclude 'soak|package'
    lap "normal build and its tests"
    # The checks that depend on who runs them, as an ordinary user with umask 002 in a fresh
    # clone. As an ordinary user this whole run already is that pass.
    if [ "$(id -u)" -eq 0 ]; then
      user=$(bash tools/test-user.sh)
      runuser -l "$user" -c "bash '$root/tools/user-checks.sh' '$root'"
      lap "ordinary user's checks"
    else
      echo "Not root: the ordinary user's checks are this run itself."
    fi
    # Once more under the address and undefined-behaviour sanitizers, the fault checks and the
    # installed game included. Left out: the fuzz runs, which are clang's sanitized build already
    # and have just run.
    cmake --preset asan >/dev/null
    cmake --build --preset asan
    ctest --preset asan --label-exclude 'soak|package' --exclude-regex '^fuzz_'
    lap "sanitizer build and its tests"
    ;;
esac
