# A whole session without the mouse: only key presses from start-up to a started game, a moved
# tile, the game menu opened and closed, and quit with exit status 0. Screenshots of the focus
# mark land in $E2E_OUT (keys_focus_menu.png, keys_focus_start.png).
source "$(dirname "$0")/lib.sh"
start_x
start_game
wait_window
xdotool mousemove 0 0   # out of the way: no picture shows a hover that is not the focus
eval "$(xdotool getwindowgeometry --shell "$win")"

# A fingerprint of a rectangle (w x h + x + y, window pixels) of the screen as it is now.
window_region() {
  import -window root -crop "$1x$2+$((X + $3))+$((Y + $4))" +repage -format '%#' info:
}
# Succeeds when region $1..$4 differs from $5; waits up to 10 s for it.
region_differs() { [ "$(window_region "$1" "$2" "$3" "$4")" != "$5" ]; }
wait_change() { wait_until 10 region_differs "$@"; }
menu_button() { window_region 89 36 30 379; }
start_button() { window_region 89 36 134 379; }
board() { window_region 268 268 43 72; }

xdotool windowfocus --sync "$win"   # as a window manager gives a new window the keyboard
menu_plain=$(menu_button)
xdotool key Tab
wait_change 89 36 30 379 "$menu_plain" || fail "Tab gave the Menu button no focus mark"
shoot keys_focus_menu
start_plain=$(start_button)
xdotool key Tab
wait_change 89 36 134 379 "$start_plain" || fail "the second Tab gave the Start button no focus mark"
shoot keys_focus_start

selection=$(board)
xdotool key Return
wait_change 268 268 43 72 "$selection" || fail "Return on Start started no game"
dealt=$(board)
moved=
for key in Left Right Up Down; do
  xdotool key "$key"
  if wait_change 268 268 43 72 "$dealt"; then moved=$key; break; fi
done
[ -n "$moved" ] || fail "no arrow key moved a tile"
shoot keys_moved

shown=$(game_windows)
xdotool key F10
wait_more_windows 10 "$shown" || fail "F10 opened no menu"
xdotool key Escape
no_more_windows() { [ "$(game_windows)" -le "$1" ]; }
wait_until 10 no_more_windows "$shown" || fail "Esc did not close the menu"

xdotool key ctrl+q
wait_game_exit 10
[ "$rc" -eq 0 ] || fail "Ctrl+Q ended the game with status $rc"
echo "PASS: started, moved tile ($moved), menu opened and closed, quit with status 0, all by keys"
