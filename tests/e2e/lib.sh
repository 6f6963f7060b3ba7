# Shared steps of the end-to-end checks: a private X server, a private runtime folder, the game.
set -euo pipefail

: "${TAVORIN:?path of the Tavorin program}"
: "${TAVORIN_RUN_DIR:?folder the game starts in}"
: "${QEL:?path of the Qel library}" "${REGSVR:?path of tavorin-regsvr}"
: "${E2E_OUT:=$(mktemp -d)}"

work=$(mktemp -d)
export XDG_RUNTIME_DIR=$work/runtime XDG_CONFIG_HOME=$work/config XDG_CACHE_HOME=$work/cache
mkdir -p -m 700 "$XDG_RUNTIME_DIR" "$XDG_CONFIG_HOME" "$XDG_CACHE_HOME"
unset WAYLAND_DISPLAY QT_QPA_PLATFORM
"$REGSVR" "$QEL" >/dev/null || { echo "FAIL: cannot register Qel" >&2; exit 1; }

pids=()
cleanup() {
  for p in "${pids[@]}"; do kill "$p" 2>/dev/null || true; done
  wait 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT

fail() {
  echo "FAIL: $*" >&2
  [ -s "$work/game.log" ] && { echo "--- game output:" >&2; tail -n 40 "$work/game.log" >&2; }
  exit 1
}

# Starts Xvfb on a free display and exports DISPLAY.
start_x() {
  exec 3<> "$work/displayfd"
  Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp >"$work/xvfb.log" 2>&1 &
  pids+=($!)
  for _ in $(seq 100); do
    [ -s "$work/displayfd" ] && break
    sleep 0.05
  done
  export DISPLAY=":$(head -n1 "$work/displayfd")"
}

# Starts the game as the README does (in its run folder); sets game_pid.
start_game() {
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

# Average brightness (0..1) of a rectangle of a screenshot.
brightness() {
  convert "$E2E_OUT/$1.png" -crop "$2" -colorspace Gray -format '%[fx:mean]' info:
}

# Clicks at (x, y) pixels inside the game window.
click_at() {
  xdotool mousemove --window "$win" "$1" "$2" click 1
}

# Waits up to $1 seconds until the game shows more windows than $2 (a menu popping up, a dialog).
wait_more_windows() {
  for _ in $(seq $(( $1 * 10 ))); do
    [ "$(xdotool search --onlyvisible --pid "$game_pid" 2>/dev/null | wc -l)" -gt "$2" ] && return 0
    sleep 0.1
  done
  return 1
}

# Waits up to $2 seconds for the game to end; sets rc to its exit status (124 if it did not end).
wait_game_exit() {
  local waited=0
  while kill -0 "$game_pid" 2>/dev/null; do
    sleep 0.1
    waited=$((waited + 1))
    if [ "$waited" -gt $(($1 * 10)) ]; then rc=124; return; fi
  done
  rc=0
  wait "$game_pid" || rc=$?
}
