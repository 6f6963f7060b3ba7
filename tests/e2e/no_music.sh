# Without either music file (and with no sound device) the game plays normally and silently.
source "$(dirname "$0")/lib.sh"
silent_dir=$work/no-music
mkdir -p "$silent_dir"
TAVORIN_RUN_DIR=$silent_dir
start_x
start_game
wait_window
eval "$(xdotool getwindowgeometry --shell "$win")"
board="272x273+$((X + 43))+$((Y + 72))"
clock="72x24+$((X + 146))+$((Y + 352))"
painted() { shoot no-music-selection && has_picture no-music-selection "$board"; }
wait_until 20 painted || fail "the window's first paint did not come"
xdotool mousemove "$((X + 178))" "$((Y + 397))" click 1   # Start
wait_until 20 shows_other no-music "$board" "$(region no-music-selection "$board")" || fail "Start did not deal the board"
# The clock's face changes twice: not only its first paint, but a tick after it.
face=$(region no-music "$clock")
wait_until 10 shows_other no-music-later "$clock" "$face" || fail "the clock stopped without the music files"
face=$(region no-music-later "$clock")
wait_until 10 shows_other no-music-latest "$clock" "$face" || fail "the clock stopped without the music files"
ls /proc/"$game_pid"/fd -l 2>/dev/null | grep -q '\.mid' && fail "a music file is open"
xdotool mousemove "$((X + 282))" "$((Y + 397))" click 1  # End
wait_game_exit 10
[ "$rc" -eq 0 ] || fail "exit status $rc"
echo "PASS"
