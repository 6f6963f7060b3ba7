# Shared steps of the end-to-end checks: a private X server, private runtime, configuration and
# cache folders, the game (the built Qel registered in that configuration folder).
#   TAVORIN, TAVORIN_RUN_DIR, QEL, REGSVR   the program, the folder it starts in, Qel, tavorin-regsvr
#   E2E_OUT                                 where screenshots go (a temporary folder by default)
set -euo pipefail

source "$(dirname "${BASH_SOURCE[0]}")/cleanup.sh"
: "${E2E_OUT:=$work}"
export XDG_RUNTIME_DIR=$work/runtime XDG_CONFIG_HOME=$work/config XDG_CACHE_HOME=$work/cache
mkdir -p -m 700 "$XDG_RUNTIME_DIR" "$XDG_CONFIG_HOME" "$XDG_CACHE_HOME"
unset WAYLAND_DISPLAY QT_QPA_PLATFORM
# In the sanitizer build, leak reports of the real program carry whole call stacks: Qt's libraries
# have no frame pointers, and a cut stack would miss the suppressions of tests/sanitizers/lsan.supp.
export ASAN_OPTIONS="${ASAN_OPTIONS:+$ASAN_OPTIONS:}fast_unwind_on_malloc=0"

source "$(dirname "${BASH_SOURCE[0]}")/wait.sh"
source "$(dirname "${BASH_SOURCE[0]}")/xserver.sh"

# Registers the built Qel in the private configuration folder.
register_qel() {
  : "${QEL:?path of the Qel library}" "${REGSVR:?path of tavorin-regsvr}"
  "$REGSVR" "$QEL" >/dev/null || fail "cannot register Qel"
}

# Starts the game as the README does (in its run folder); sets game_pid.
start_game() {
  : "${TAVORIN:?path of the Tavorin program}" "${TAVORIN_RUN_DIR:?folder the game starts in}"
  register_qel
  (cd "$TAVORIN_RUN_DIR" && exec "$TAVORIN") >"$work/game.log" 2>&1 &
  game_pid=$!
  pids+=("$game_pid")
}

# Waits for the game's visible window; sets win.
wait_window() {
  win=$(timeout 20 xdotool search --sync --onlyvisible --pid "$game_pid" | head -n1) || fail "no window appeared"
}

# Screenshot of the whole screen into $E2E_OUT/$1.png.
shoot() {
  import -window root "$E2E_OUT/$1.png"
}

# Signature of the rectangle $2 (WxH+X+Y, screen pixels) of screenshot $1.
region() {
  convert "$E2E_OUT/$1.png" -crop "$2" +repage -format '%#' info:
}

# Takes screenshot $1 and succeeds when its rectangle $2 does (differs) or does not (same)
# carry the signature $3; for wait_until.
shows_other() { shoot "$1" && [ "$(region "$1" "$2")" != "$3" ]; }
shows_same() { shoot "$1" && [ "$(region "$1" "$2")" = "$3" ]; }
# Succeeds when the rectangle $2 of screenshot $1 holds a picture, not one plain colour (the
# empty screen is black).
has_picture() {
  awk -v d="$(convert "$E2E_OUT/$1.png" -crop "$2" +repage -format '%[fx:standard_deviation]' info:)" \
    'BEGIN { exit !(d > 0.01) }'
}

# Average brightness (0..1) of a rectangle of a screenshot.
brightness() {
  convert "$E2E_OUT/$1.png" -crop "$2" -colorspace Gray -format '%[fx:mean]' info:
}

# Clicks at (x, y) pixels inside the game window.
click_at() {
  xdotool mousemove --window "$win" "$1" "$2" click 1
}

# The number of visible windows the game shows.
game_windows() {
  xdotool search --onlyvisible --pid "$game_pid" 2>/dev/null | wc -l
}

# Waits up to $1 seconds until the game shows more windows than $2 (a menu popping up, a dialog).
wait_more_windows() {
  more_windows() { [ "$(game_windows)" -gt "$1" ]; }
  wait_until "$1" more_windows "$2"
}

# Waits up to $1 seconds for the game to end; sets rc to its exit status (124 if it did not end).
wait_game_exit() {
  game_ended() { ! kill -0 "$game_pid" 2>/dev/null; }
  if ! wait_until "$1" game_ended; then rc=124; return; fi
  rc=0
  wait "$game_pid" || rc=$?
}

# Runs the game and the AT-SPI client $1 (arguments $2...) on a private session bus: the client's status.
run_with_atspi() {
  QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1 work=$work TAVORIN=$TAVORIN TAVORIN_RUN_DIR=$TAVORIN_RUN_DIR dbus-run-session -- bash -c '
    (cd "$TAVORIN_RUN_DIR" && exec "$TAVORIN") >"$work/game.log" 2>&1 &
    timeout 90 /usr/bin/python3 "$@"; rc=$?
    kill $! 2>/dev/null; wait $!   # gone, and its one-copy lock with it
    exit "$rc"' run_with_atspi "$@"
}
