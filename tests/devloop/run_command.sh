# The README's run command as a contributor types it, under a private X server: it builds what
# playing needs, the game's window shows, and the build's registry entry lies inside the build
# folder while the player's own configuration stays untouched. End then quits the game.
#   SOURCE_DIR  the source tree; the run command builds and starts $SOURCE_DIR/build/dev
source "$(dirname "$0")/../e2e/lib.sh"
: "${SOURCE_DIR:?the source tree whose run command is checked}"
build=$SOURCE_DIR/build/dev

# A player's home with nothing in it; the private runtime folder keeps the single-instance lock.
export HOME=$work/home
mkdir -p "$HOME"
unset XDG_CONFIG_HOME XDG_CACHE_HOME XDG_CONFIG_DIRS
rm -f "$build/devhome/config/tavorin/components.json"   # the run command must write it afresh
start_x

# The run command ends in an exec of the game, which keeps this process id. A first build from a
# clean clone takes minutes; the window then shows once the game has started.
t0=$SECONDS
(cd "$HOME" && exec bash "$SOURCE_DIR/tools/setup.sh" run) >"$work/game.log" 2>&1 &
game_pid=$!
pids+=("$game_pid")
window_shown() {
  kill -0 "$game_pid" 2>/dev/null || fail "the run command ended before a window showed"
  win=$(xdotool search --onlyvisible --pid "$game_pid" 2>/dev/null | head -n1) && [ -n "$win" ]
}
wait_until 1500 window_shown || fail "no window within 25 minutes"
echo "the window showed $((SECONDS - t0)) s after the run command"

[ "$(readlink "/proc/$game_pid/exe")" = "$build/game/Tavorin" ] || fail "the window is not the built game's: $(readlink "/proc/$game_pid/exe")"
grep -qF "$build/resources/libQel.so" "/proc/$game_pid/maps" || fail "the game did not load the built libQel.so"
grep -qF "\"$build/resources/libQel.so\"" "$build/devhome/config/tavorin/components.json" 2>/dev/null ||
  fail "the build's registry in $build/devhome/config does not name the built libQel.so"
[ ! -e "$HOME/.config/tavorin" ] && [ ! -e "$HOME/.cache/tavorin" ] ||
  fail "the run command wrote into the player's home: $(cd "$HOME" && find . -path '*tavorin*' | head)"

# End, at (4237, 5955) twips in the window.
click_at 282 397
wait_game_exit 20
[ "$rc" -ne 124 ] || fail "the game did not end after End"
[ "$rc" -eq 0 ] || fail "exit status $rc"
echo "PASS"
