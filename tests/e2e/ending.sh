# Three built-in pictures solved in one run: a record and its name, then the pause on the whole
# picture with "Game Clear", then the ending strip scrolling on the stage.
source "$(dirname "$0")/lib.sh"
: "${TAVORIN_SCRIPTED:?path of the program with the repeatable shuffle}"
TAVORIN=$TAVORIN_SCRIPTED
start_x
start_game
wait_window
eval "$(xdotool getwindowgeometry --shell "$win")"

board="272x273+$((X + 43))+$((Y + 72))"
stage="300x300+$((X + 27))+$((Y + 69))"
store=$XDG_CONFIG_HOME/tavorin/settings.json
# Board cell (column, row) centre in screen pixels: the board lies at (43, 72), cells 67 wide.
cell() { echo "$((X + 43 + ($1 - 1) * 67 + 33)) $((Y + 72 + ($2 - 1) * 67 + 33))"; }
press() { xdotool mousemove "$1" "$2" click 1; }
painted() { shoot now && has_picture now "$board"; }
wait_until 20 painted || fail "the window's first paint did not come"

# Screenshot $1 shows "Game Clear": its light blue letters on the board.
game_clear_pixels() {
  convert "$E2E_OUT/$1.png" -crop "$board" +repage -fill black +opaque 'rgb(128,128,255)' \
    -fill white -opaque 'rgb(128,128,255)' -format '%[fx:mean*w*h]' info:
}
shows_game_clear() { shoot "$1" && [ "$(game_clear_pixels "$1" | cut -d. -f1)" -gt 300 ]; }

# Start, then the one slide that solves the dealt board once the board has replaced what was there.
solve_once() {
  shoot before-start
  press $((X + 178)) $((Y + 397))
  wait_until 20 shows_other dealt "$board" "$(region before-start "$board")" || fail "Start did not deal the board"
  read -r cx cy < <(cell 1 1)
  press "$cx" "$cy"   # tile "2" slides right into the gap: three ticks of 100 ms
}

choose_picture() {   # $1: 1 to 3, through Menu, "画像選択" and the thumbnail
  local shown
  shown=$(game_windows)
  shoot before-menu
  press $((X + 74)) $((Y + 397))
  wait_more_windows 10 "$shown" || fail "the menu did not open"
  xdotool key Down Return
  menu_closed() { [ "$(game_windows)" -le "$shown" ]; }
  wait_until 10 menu_closed || fail "the menu did not close"
  wait_until 10 shows_other selection "$board" "$(region before-menu "$board")" || fail "no picture selection"
  press $((X + 176)) $((Y + (1068 + 480 + (${1} - 1) * 1320 + 600) / 15))
}

# The first picture solved is a record: the name entry opens, and the name is kept.
solve_once
dialog=$(timeout 30 xdotool search --sync --onlyvisible --name '^記録$' 2>/dev/null | head -n1) || fail "no name entry after the first record"
xdotool windowactivate --sync "$dialog" 2>/dev/null || true
xdotool type --window "$dialog" "Tester"
eval "$(xdotool getwindowgeometry --shell "$dialog" | sed 's/^/D/')"
press $((DX + 96)) $((DY + 53))   # the OK button's centre: (1446, 798) twips
name_kept() { grep -q '"NAME": *"Tester"' "$store" 2>/dev/null; }
wait_until 10 name_kept || fail "the name entry did not keep the name: $(cat "$store" 2>&1)"
entry_closed() { ! xdotool search --onlyvisible --name '^記録$' >/dev/null 2>&1; }
wait_until 10 entry_closed || fail "the name entry stayed open"
# From here on no time can beat the best (an equal time is no record), so no name entry opens.
printf '{"Puzzle": {"SCORE": {"HISCORE": "00:00:00", "NAME": "Tester"}}}\n' >"$store.new"
mv "$store.new" "$store"

choose_picture 2
solve_once
wait_until 20 shows_game_clear solved-2 || fail "no \"Game Clear\" after the second picture"
choose_picture 3
solve_once
# The third picture ends in a pause on the whole picture and "Game Clear", before the ending.
wait_until 20 shows_game_clear pause || fail "no \"Game Clear\" on the board during the pause"
echo "Game Clear pixels during the pause: $(game_clear_pixels pause)"
# The top-left tile is back: that corner is no longer the board's plain background.
corner_blue=$(convert "$E2E_OUT/pause.png" -crop "60x60+$((X + 46))+$((Y + 75))" +repage -fill black +opaque 'rgb(0,0,128)' \
  -fill white -opaque 'rgb(0,0,128)' -format '%[fx:mean]' info:)
awk -v f="$corner_blue" 'BEGIN { exit !(f < 0.5) }' || fail "the missing tile did not return"
# The stage replaces the board, then the strip on it moves.
wait_until 20 shows_other ending "$stage" "$(region pause "$stage")" || fail "the ending did not begin"
wait_until 10 shows_other ending-later "$stage" "$(region ending "$stage")" || fail "the ending strip does not scroll"
kill -0 "$game_pid" || fail "the game ended"
! xdotool search --onlyvisible --name '^記録$' >/dev/null 2>&1 || fail "a name entry opened without a record"
echo "PASS"
