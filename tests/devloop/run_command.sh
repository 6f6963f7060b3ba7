# The README's run command as a contributor types it, under a private X server: it builds what
# playing needs, the game's window shows, and the build's registry entry lies inside the build
# folder while the player's own configuration stays untouched. End then quits the game.
#   SOURCE_DIR  the source tree; the run command builds and starts $SOURCE_DIR/build/dev
set -euo pipefail
: "${SOURCE_DIR:?the source tree whose run command is checked}"
build=$SOURCE_DIR/build/dev
work=$(mktemp -d)
pids=()
cleanup() {
  for p in "${pids[@]}"; do kill "$p" 2>/dev/null || true; done
  wait 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT
fail() {
  echo "FAIL: $*" >&2
  [ -s "$work/run.log" ] && { echo "--- output of the run command:" >&2; tail -n 40 "$work/run.log" >&2; }
  exit 1
}

# A player's home with nothing in it, and a private runtime folder (the single-instance lock).
export HOME=$work/home XDG_RUNTIME_DIR=$work/runtime
mkdir -p "$HOME"
mkdir -m 700 "$XDG_RUNTIME_DIR"
unset XDG_CONFIG_HOME XDG_CACHE_HOME XDG_CONFIG_DIRS WAYLAND_DISPLAY QT_QPA_PLATFORM
rm -f "$build/devhome/config/tavorin/components.json"   # the run command must write it afresh

exec 3<> "$work/displayfd"
Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp >"$work/xvfb.log" 2>&1 &
pids+=($!)
for _ in $(seq 200); do [ -s "$work/displayfd" ] && break; sleep 0.05; done
[ -s "$work/displayfd" ] || fail "Xvfb did not start"
export DISPLAY=":$(head -n1 "$work/displayfd")"

# The run command ends in an exec of the game, which keeps this process id. A first build from a
# clean clone takes minutes; the window then shows once the game has started.
t0=$SECONDS
(cd "$HOME" && exec bash "$SOURCE_DIR/tools/setup.sh" run) >"$work/run.log" 2>&1 &
game=$!
pids+=("$game")
win=
while [ -z "$win" ]; do
  kill -0 "$game" 2>/dev/null || fail "the run command ended before a window showed"
  [ $((SECONDS - t0)) -lt 1500 ] || fail "no window within 25 minutes"
  win=$(xdotool search --onlyvisible --pid "$game" 2>/dev/null | head -n1) || true
  [ -n "$win" ] || sleep 0.2
done
echo "the window showed $((SECONDS - t0)) s after the run command"

[ "$(readlink "/proc/$game/exe")" = "$build/game/Tavorin" ] || fail "the window is not the built game's: $(readlink "/proc/$game/exe")"
grep -qF "$build/resources/libQel.so" "/proc/$game/maps" || fail "the game did not load the built libQel.so"
grep -qF "\"$build/resources/libQel.so\"" "$build/devhome/config/tavorin/components.json" 2>/dev/null ||
  fail "the build's registry in $build/devhome/config does not name the built libQel.so"
[ ! -e "$HOME/.config/tavorin" ] && [ ! -e "$HOME/.cache/tavorin" ] ||
  fail "the run command wrote into the player's home: $(cd "$HOME" && find . -path '*tavorin*' | head)"

# End, at (4237, 5955) twips in the window.
xdotool mousemove --window "$win" 282 397 click 1
for _ in $(seq 200); do kill -0 "$game" 2>/dev/null || break; sleep 0.1; done
kill -0 "$game" 2>/dev/null && fail "the game did not end after End"
rc=0
wait "$game" || rc=$?
[ "$rc" -eq 0 ] || fail "exit status $rc"
echo "PASS"
