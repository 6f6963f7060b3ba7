# Without either music file (and with no sound device) the game plays normally and silently.
source "$(dirname "$0")/lib.sh"
silent_dir=$work/no-music
mkdir -p "$silent_dir"
TAVORIN_RUN_DIR=$silent_dir
start_x
start_game
wait_window
eval "$(xdotool getwindowgeometry --shell "$win")"
xdotool mousemove "$((X + 178))" "$((Y + 397))" click 1   # Start
sleep 2.5
shoot no-music
clock="72x24+$((X + 146))+$((Y + 352))"
before=$(convert "$E2E_OUT/no-music.png" -crop "$clock" +repage -format '%#' info:)
sleep 1.2
shoot no-music-later
after=$(convert "$E2E_OUT/no-music-later.png" -crop "$clock" +repage -format '%#' info:)
[ "$before" != "$after" ] || fail "the clock stopped without the music files"
ls /proc/"$game_pid"/fd -l 2>/dev/null | grep -q '\.mid' && fail "a music file is open"
xdotool mousemove "$((X + 282))" "$((Y + 397))" click 1  # End
wait_game_exit 10
[ "$rc" -eq 0 ] || fail "exit status $rc"
echo "PASS"
