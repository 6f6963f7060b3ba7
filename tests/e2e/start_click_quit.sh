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
xdotool mousemove 5 5
sleep 0.5
shoot selection

# The Start button shows its hover picture while the cursor is over it, and loses it after.
start_button="89x36+$((X + 134))+$((Y + 379))"
region() { convert "$E2E_OUT/$1.png" -crop "$start_button" +repage -format '%#' info:; }
xdotool mousemove "$((X + 178))" "$((Y + 397))"
sleep 0.3
shoot hover
xdotool mousemove 5 5
sleep 0.3
shoot hover-left
[ "$(region hover)" != "$(region selection)" ] || fail "no hover picture under the cursor"
[ "$(region hover-left)" = "$(region selection)" ] || fail "the hover picture stayed after the cursor left"

# Start: the Start button's centre is at (2677, 5955) twips.
click_at 178 397
sleep 2.6
shoot playing
clock="+$((X + 146))+$((Y + 352))"
before=$(convert "$E2E_OUT/playing.png" -crop "72x24$clock" +repage -format '%#' info:)
sleep 1.2
shoot playing-later
after=$(convert "$E2E_OUT/playing-later.png" -crop "72x24$clock" +repage -format '%#' info:)
[ "$before" != "$after" ] || fail "the clock did not move"
board_before=$(convert "$E2E_OUT/selection.png" -crop "272x273+$((X + 43))+$((Y + 72))" +repage -format '%#' info:)
board_after=$(convert "$E2E_OUT/playing.png" -crop "272x273+$((X + 43))+$((Y + 72))" +repage -format '%#' info:)
[ "$board_before" != "$board_after" ] || fail "Start did not replace the selection panel by the board"

# End: the End button's centre is at (4237, 5955) twips.
click_at 282 397
wait_game_exit 10
[ "$rc" -ne 124 ] || fail "the game did not end after End"
[ "$rc" -eq 0 ] || fail "exit status $rc"
echo "PASS"
