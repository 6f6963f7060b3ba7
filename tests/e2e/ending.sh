# Three built-in pictures solved in one run: a record and its name, then the pause on the whole
# picture with "Game Clear", then the ending strip scrolling on the stage.
source "$(dirname "$0")/lib.sh"
: "${TAVORIN_SCRIPTED:?path of the program with the repeatable shuffle}"
TAVORIN=$TAVORIN_SCRIPTED
start_x
start_game
wait_window
eval "$(xdotool getwindowgeometry --shell "$win")"

# Board cell (column, row) centre in screen pixels: the board lies at (43, 72), cells 67 wide.
cell() { echo "$((X + 43 + ($1 - 1) * 67 + 33)) $((Y + 72 + ($2 - 1) * 67 + 33))"; }
press() { xdotool mousemove "$1" "$2" click 1; }
start_button() { press $((X + 178)) $((Y + 397)); }

# The name entry opens after a record; answer it when it comes.
answer_name_entry() {
  local dialog
  dialog=$(timeout 3 xdotool search --sync --onlyvisible --name '^記録$' 2>/dev/null | head -n1) || return 0
  xdotool windowactivate --sync "$dialog" 2>/dev/null || true
  xdotool type --window "$dialog" "Tester"
  eval "$(xdotool getwindowgeometry --shell "$dialog" | sed 's/^/D/')"
  press $((DX + 96)) $((DY + 53))   # the OK button's centre: (1446, 798) twips
  sleep 0.5
}

choose_picture() {   # $1: 1 to 3, through Menu, "画像選択" and the thumbnail
  local shown
  shown=$(xdotool search --onlyvisible --pid "$game_pid" 2>/dev/null | wc -l)
  press $((X + 74)) $((Y + 397))
  wait_more_windows 10 "$shown" || fail "the menu did not open"
  sleep 0.2
  xdotool key Down Return
  sleep 0.4
  press $((X + 176)) $((Y + (1068 + 480 + (${1} - 1) * 1320 + 600) / 15))
  sleep 0.2
}

solve_once() {
  start_button
  sleep 0.4
  read -r cx cy < <(cell 1 1)
  press "$cx" "$cy"   # tile "2" slides right into the gap: three ticks of 100 ms
}

solve_once
sleep 1
answer_name_entry
choose_picture 2
solve_once
sleep 1
answer_name_entry
choose_picture 3
solve_once
sleep 1.2   # the slide ends, the picture is whole, the pause has begun
shoot pause
sleep 4
shoot ending
sleep 3
shoot ending-later
answer_name_entry

board="272x273+$((X + 43))+$((Y + 72))"
light_blue=$(convert "$E2E_OUT/pause.png" -crop "$board" +repage -fill black +opaque 'rgb(128,128,255)' \
  -fill white -opaque 'rgb(128,128,255)' -format '%[fx:mean*w*h]' info:)
echo "Game Clear pixels during the pause: $light_blue"
[ "${light_blue%.*}" -gt 300 ] || fail "no \"Game Clear\" on the board during the pause"
# The top-left tile is back: that corner is no longer the board's plain background.
corner_blue=$(convert "$E2E_OUT/pause.png" -crop "60x60+$((X + 46))+$((Y + 75))" +repage -fill black +opaque 'rgb(0,0,128)' \
  -fill white -opaque 'rgb(0,0,128)' -format '%[fx:mean]' info:)
awk -v f="$corner_blue" 'BEGIN { exit !(f < 0.5) }' || fail "the missing tile did not return"
stage="300x300+$((X + 27))+$((Y + 69))"
a=$(convert "$E2E_OUT/ending.png" -crop "$stage" +repage -format '%#' info:)
b=$(convert "$E2E_OUT/ending-later.png" -crop "$stage" +repage -format '%#' info:)
[ "$a" != "$b" ] || fail "the ending strip does not scroll"
kill -0 "$game_pid" || fail "the game ended"
echo "PASS"
