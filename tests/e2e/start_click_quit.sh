# The game starts in a centred 354 x 414 window; Start brings the board and a running clock; End quits cleanly.
source "$(dirname "$0")/lib.sh"
start_x
t0=$(date +%s%N)
start_game
wait_window
t1=$(date +%s%N)
echo "start-up to visible window: $(( (t1 - t0) / 1000000 )) ms"

eval "$(xdotool getwindowgeometry --shell "$win")"
[ "$WIDTH" -eq 354 ] && [ "$HEIGHT" -eq 414 ] || fail "window is ${WIDTH}x${HEIGHT}, not 354x414"
[ "$X" -eq $(( (1280 - 354) / 2 )) ] && [ "$Y" -eq $(( (1024 - 414) / 2 )) ] || fail "window at $X,$Y is not centred"
start_button="89x36+$((X + 134))+$((Y + 379))"
board="272x273+$((X + 43))+$((Y + 72))"
clock="72x24+$((X + 146))+$((Y + 352))"
xdotool mousemove 5 5
painted() { shoot selection && has_picture selection "$start_button" && has_picture selection "$board"; }
wait_until 20 painted || fail "the window's first paint did not come"
normal=$(region selection "$start_button")

# The Start button shows its hover picture while the cursor is over it, and loses it after.
xdotool mousemove "$((X + 178))" "$((Y + 397))"
wait_until 10 shows_other hover "$start_button" "$normal" || fail "no hover picture under the cursor"
xdotool mousemove 5 5
wait_until 10 shows_same hover-left "$start_button" "$normal" || fail "the hover picture stayed after the cursor left"

# Start: the Start button's centre is at (2677, 5955) twips.
click_at 178 397
wait_until 20 shows_other playing "$board" "$(region selection "$board")" ||
  fail "Start did not replace the selection panel by the board"
# The clock's face changes twice: not only its first paint, but a tick after it.
face=$(region playing "$clock")
wait_until 10 shows_other playing-later "$clock" "$face" || fail "the clock did not move"
face=$(region playing-later "$clock")
wait_until 10 shows_other playing-latest "$clock" "$face" || fail "the clock stopped after one change"

# End: the End button's centre is at (4237, 5955) twips.
click_at 282 397
wait_game_exit 10
[ "$rc" -ne 124 ] || fail "the game did not end after End"
[ "$rc" -eq 0 ] || fail "exit status $rc"
echo "PASS"
