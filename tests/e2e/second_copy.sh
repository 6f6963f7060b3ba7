# A second copy ends at once with status 0, before any window, and leaves the first undisturbed.
source "$(dirname "$0")/lib.sh"
start_x
start_game
first=$game_pid
wait_window
first_win=$win

t0=$(date +%s%N)
(cd "$TAVORIN_RUN_DIR" && exec "$TAVORIN") >"$work/second.log" 2>&1 &
second=$!
rc=0
wait "$second" || rc=$?
t1=$(date +%s%N)
echo "second copy ended after $(( (t1 - t0) / 1000000 )) ms with status $rc"
[ "$rc" -eq 0 ] || fail "second copy exit status $rc"
kill -0 "$first" 2>/dev/null || fail "the first copy was disturbed"
[ "$(xdotool search --onlyvisible --pid "$first" | head -n1)" = "$first_win" ] || fail "first window gone"

# A copy killed outright leaves its lock file behind; the next start must not be blocked by it.
kill -9 "$first"
wait "$first" 2>/dev/null || true
start_game
wait_window
kill -0 "$game_pid" || fail "start after a killed copy did not run"
echo "PASS"
