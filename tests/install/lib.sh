# Shared steps of the install checks: the expected layout, a private X server, a traced start of
# the installed game and the checks on the running game.
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/../e2e/cleanup.sh"
source "$(dirname "${BASH_SOURCE[0]}")/../e2e/wait.sh"
source "$(dirname "${BASH_SOURCE[0]}")/../e2e/xserver.sh"

: "${INSTALL_OUT:=$(mktemp -d)}"
: "${INSTALL_QELDIR:?the folder of libQel.so below the prefix}"
: "${PROBE_PICTURE:?a bitmap the import dialog can load}"
app_id=io.github.tavorin.Tavorin
icon_sizes=(16 32 48 64 128 256)
# A failure leaves a screenshot of the screen it happened on.
fail_steps+=('[ -z "${DISPLAY:-}" ] || import -window root "$INSTALL_OUT/failure.png" 2>/dev/null')

# Every file an installation holds, sorted, relative to the root: $1 the prefix and $2 the
# system config folder, both relative to that root (e.g. usr and etc/xdg).
layout() {
  {
    printf '%s\n' "$1/games/tavorin" "$1/libexec/tavorin/Tavorin" "$1/$INSTALL_QELDIR/libQel.so" \
      "$1/share/tavorin/juesmansdesiring.mid" "$1/share/tavorin/fanfa4.mid" "$1/share/tavorin/hint-tables.bin" \
      "$1/share/applications/$app_id.desktop" "$1/share/metainfo/$app_id.metainfo.xml" \
      "$1/share/icons/hicolor/scalable/apps/$app_id.svg" "$2/tavorin/components.json" \
      "$1/share/man/man6/tavorin.6.gz" "$1/share/doc/tavorin/copyright"
    for s in "${icon_sizes[@]}"; do echo "$1/share/icons/hicolor/${s}x$s/apps/$app_id.png"; done
  } | sort
}

# Builds the Debian package from $BUILD_DIR into the folder $1 and sets deb. The packager is
# named for the check alone, with an address that is no one's (lintian takes no bare localhost).
packager_name="Tavorin Tester" packager_address=tester@localhost.invalid
build_package() {
  DEBFULLNAME=$packager_name DEBEMAIL=$packager_address cpack --config "$BUILD_DIR/CPackConfig.cmake" -B "$1" \
    >"$work/cpack.log" 2>&1 || { cat "$work/cpack.log" >&2; fail "cpack failed"; }
  local debs=("$1"/*.deb)
  [ ${#debs[@]} -eq 1 ] && [ -f "${debs[0]}" ] || fail "cpack did not make exactly one .deb"
  deb=${debs[0]}
}

# A player's home with nothing set up but a Pictures folder holding probe.bmp: $1.
make_home() {
  mkdir -p "$1/Pictures"
  cp "$PROBE_PICTURE" "$1/Pictures/probe.bmp"
}

# Leaves in the configuration folder $1 what a developer's clone, deleted since, registered for
# the player: a per-user entry naming a libQel.so that is gone. A copy goes to $work/stale-registration.
register_deleted_clone() {
  local clone=$work/deleted-clone
  install -D -m 755 "$BUILD_DIR/resources/libQel.so" "$clone/build/dev/resources/libQel.so"
  XDG_CONFIG_HOME=$1 "$BUILD_DIR/tools/regsvr/tavorin-regsvr" "$clone/build/dev/resources/libQel.so" >/dev/null ||
    fail "cannot register the clone's Qel"
  rm -r "$clone"
  cp "$1/tavorin/components.json" "$work/stale-registration"
}

# Runs the command "$@" under strace (file opens into $work/trace); the command writes its
# process id, which the game keeps through its execs, into the file $pidfile. Sets game_pid.
launch_traced() {
  strace -f -qq --seccomp-bpf -e trace=openat -o "$work/trace" "$@" >"$work/game.log" 2>&1 &
  pids+=($!)
  wait_until 5 test -s "$pidfile" || fail "the game did not start"
  game_pid=$(cat "$pidfile")
  pids+=("$game_pid")   # ending strace alone would leave the game running
}

# Waits for the game's visible 354 x 414 main window (an error report would be another
# window) and for its first paint, which a first start on a fresh system can delay while the
# font caches are built; sets win.
wait_main_window() {
  local found
  win=
  for _ in $(seq 300); do
    kill -0 "$game_pid" 2>/dev/null || fail "the game ended before its window appeared"
    for found in $(xdotool search --onlyvisible --pid "$game_pid" 2>/dev/null); do
      eval "$(xdotool getwindowgeometry --shell "$found")"
      if [ "$WIDTH" -eq 354 ] && [ "$HEIGHT" -eq 414 ]; then
        win=$found
        break 2
      fi
    done
    sleep 0.1
  done
  [ -n "$win" ] || fail "no main window appeared"
  for _ in $(seq 300); do
    import -window root -crop "${WIDTH}x$HEIGHT+$X+$Y" "$work/window.png" 2>/dev/null &&
      awk -v m="$(convert "$work/window.png" -format '%[fx:mean]' info:)" 'BEGIN { exit !(m > 0.05) }' && return 0
    sleep 0.1
  done
  fail "the main window stayed blank"
}

# True when the trace shows a successful open of the file named exactly $1.
opened() {
  grep -qF "openat(AT_FDCWD, \"$1\", " "$work/trace" &&
    grep -F "openat(AT_FDCWD, \"$1\", " "$work/trace" | grep -qE '\) = [0-9]+$'
}

# The running game as installed below $1 (a host path): the installed program, run in its data
# folder, with the installed Qel loaded and the music opened by bare name; its window class
# is the one desktop entry $2 names.
check_running_game() {
  [ "$(readlink "/proc/$game_pid/exe")" = "$1/libexec/tavorin/Tavorin" ] || fail "the running program is $(readlink "/proc/$game_pid/exe")"
  [ "$(readlink "/proc/$game_pid/cwd")" = "$1/share/tavorin" ] || fail "the game runs in $(readlink "/proc/$game_pid/cwd"), not its data folder"
  grep -qF "$1/$INSTALL_QELDIR/libQel.so" "/proc/$game_pid/maps" || fail "the game did not load the installed libQel.so"
  for m in juesmansdesiring fanfa4; do
    opened "$m.mid" || fail "$m.mid was not opened"
  done
  local class wanted
  class=$(xprop -id "$win" WM_CLASS | sed -n 's/.*", "\(.*\)"$/\1/p')
  wanted=$(sed -n 's/^StartupWMClass=//p' "$2")
  [ -n "$class" ] && [ "$class" = "$wanted" ] || fail "window class '$class' does not match StartupWMClass=$wanted"
}

# Opens Menu > 画像取込 and types the bare name probe.bmp into the dialog; the picture loads only
# if the dialog opened in the player's Pictures folder, $1 as the game sees it.
check_import_starts_in_pictures() {
  eval "$(xdotool getwindowgeometry --shell "$win")"
  # Menu, then its second entry 画像取込 once the menu shows; again if no dialog came (a busy
  # machine can be slow to show either).
  local attempt shown
  for attempt in 1 2 3; do
    shown=$(xdotool search --onlyvisible --pid "$game_pid" 2>/dev/null | wc -l)
    xdotool mousemove $((X + 74)) $((Y + 397)) click 1
    for _ in $(seq 100); do
      [ "$(xdotool search --onlyvisible --pid "$game_pid" 2>/dev/null | wc -l)" -gt "$shown" ] && break
      sleep 0.1
    done
    sleep 0.2
    xdotool key Down Down Return
    for _ in $(seq 50); do
      game_window '画像取込' >/dev/null && break 2
      sleep 0.2
    done
    xdotool key Escape
  done
  # Qt may replace the dialog's X window right after showing it: type into a window that has
  # stayed the same for a moment, and start over (replacing the text) if it vanished meanwhile.
  # The dialog may close while xdotool still refers to it after Return: gone counts as typed.
  local dialog previous= typed=
  for _ in $(seq 100); do
    dialog=$(game_window '画像取込') || dialog=
    if [ -n "$dialog" ] && [ "$dialog" = "$previous" ] &&
       xdotool key --window "$dialog" ctrl+a 2>/dev/null && xdotool type --window "$dialog" "probe.bmp" 2>/dev/null &&
       { xdotool key --window "$dialog" Return 2>/dev/null || ! game_window '画像取込' >/dev/null; }; then
      typed=1
      break
    fi
    previous=$dialog
    sleep 0.3
  done
  [ -n "$typed" ] || fail "no import dialog to type into"
  # The picture is read once the dialog has closed; a dialog in another folder would not find it.
  imported() {
    opened "$1" && return 0
    ! game_window '画像取込エラー' >/dev/null || fail "the import dialog did not open in the Pictures folder"
    return 1
  }
  wait_until 20 imported "$1/probe.bmp" || fail "the import did not read $1/probe.bmp"
}

# The game's visible window titled exactly $1; fails when there is none.
game_window() {
  local w name
  for w in $(xdotool search --onlyvisible --pid "$game_pid" 2>/dev/null); do
    name=$(xdotool getwindowname "$w" 2>/dev/null) || continue
    if [ "$name" = "$1" ]; then
      echo "$w"
      return 0
    fi
  done
  return 1
}

# Clicks End and waits for the game to end.
end_game() {
  eval "$(xdotool getwindowgeometry --shell "$win")"
  xdotool mousemove $((X + 282)) $((Y + 397)) click 1
  game_ended() { ! kill -0 "$game_pid" 2>/dev/null; }
  wait_until 10 game_ended || fail "the game did not end after End"
}

# Screenshot of the whole screen into $INSTALL_OUT/$1.png.
shoot() {
  import -window root "$INSTALL_OUT/$1.png"
}
