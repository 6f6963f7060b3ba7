# A game played natively on Wayland: Weston (x11 backend, kiosk shell) runs in a private Xvfb only
# to take the pointer, which Weston's headless backend has none of; the game connects to Weston
# with Qt's Wayland plugin (no X server is reachable from it), shows its window, starts a game,
# slides a tile by a click and ends with status 0 by its End button; a button's hover picture goes
# when the pointer leaves the window from it in one jump. Then it is started and ended
# by End forty times more, each time with status 0: Qt 6.4's Wayland plugin can hang in its
# teardown (here about one end in twenty), and an ended game must not stay alive.
source "$(dirname "$0")/../e2e/lib.sh"
source "$(dirname "$0")/weston.sh"
: "${TAVORIN_DEALT:?path of the program that deals the hard board}"
start_x
register_qel
start_weston --backend=x11-backend.so --shell=kiosk-shell.so --width=800 --height=600
output_window() { output=$(xdotool search --class '^Weston Compositor$' 2>/dev/null | head -n1) && [ -n "$output" ]; }
wait_until 20 output_window || fail "weston's output window did not show"

# The kiosk shell centres a window of fixed size on the output: the game's lies at (223, 93).
X=$(((800 - 354) / 2)) Y=$(((600 - 414) / 2))
area_hash() { import -window "$output" -crop "$1" rgb:- 2>/dev/null | md5sum; }
board="272x273+$((X + 43))+$((Y + 72))"
buttons="297x36+$((X + 30))+$((Y + 379))"
failure_shot() { import -window "$output" "$E2E_OUT/wayland-failure.png"; echo "screen in $E2E_OUT/wayland-failure.png"; }
game_alive() { kill -0 "$game_pid" 2>/dev/null; }
wait_change() {   # <area> <hash before> <what>
  area_changed() { game_alive || fail "the game ended while waiting for $3"; [ "$(area_hash "$1")" != "$2" ]; }
  wait_until 20 area_changed "$@" || fail "no $3 ($(failure_shot))"
}
wait_still() {   # <area>: until two looks in a row see the same pixels; prints that hash
  local now=
  area_still() { local last=$now; now=$(area_hash "$1"); [ "$now" = "$last" ]; }
  wait_until 20 area_still "$1" || fail "the area $1 never stood still"
  echo "$now"
}
empty=$(area_hash "$buttons")   # the output before the game has a window
launch() {   # the game logs its Wayland requests, so that its first painted frame can be seen
  (cd "$TAVORIN_RUN_DIR" && exec env -u DISPLAY WAYLAND_DISPLAY="$weston_socket" QT_QPA_PLATFORM=wayland WAYLAND_DEBUG=client \
    "$TAVORIN_DEALT") >/dev/null 2>"$work/game.log" &
  game_pid=$!
  pids+=("$game_pid")
}
wait_shown() {   # until the game has committed a painted buffer to its window
  shown() {
    game_alive || fail "the game ended before its window was shown"
    sed -n '/-> wl_surface@[0-9]*\.attach(wl_buffer@/,$p' "$work/game.log" | grep -qE -- '-> wl_surface@[0-9]+\.commit\(\)'
  }
  wait_until 20 shown || fail "the game's window was never shown"
}
# Clicks End until the game has ended, for at most 10 s: a click that comes before Weston has
# taken the window in lands on the empty output and does nothing.
end_by_end_button() {
  ended_by_click() { game_alive || return 0; click 282 397; false; }   # End
  wait_until 10 ended_by_click || fail "the game did not end within 10 s of End ($(failure_shot))"
  rc=0
  wait "$game_pid" || rc=$?
  [ "$rc" -eq 0 ] || fail "exit status $rc"
}
# Weston gives a new window the pointer only with a motion over it: the pointer always arrives from
# one pixel away.
click() {
  xdotool mousemove --window "$output" "$((X + $1 + 1))" "$((Y + $2))" mousemove --window "$output" "$((X + $1))" "$((Y + $2))" click 1
}

launch
wait_shown
wait_change "$buttons" "$empty" "window with its buttons"
grep -q '/platforms/libqwayland' "/proc/$game_pid/maps" || fail "the game does not use Qt's Wayland plugin"

# Hover on Wayland: the game cannot read where the pointer is once it is outside the window, so only
# the leave event can end the End button's hover picture when the pointer jumps off it at once.
end_button="89x36+$((X + 238))+$((Y + 379))"
normal=$(wait_still "$end_button")
xdotool mousemove --window "$output" "$((X + 283))" "$((Y + 397))" mousemove --window "$output" "$((X + 282))" "$((Y + 397))"
wait_change "$end_button" "$normal" "hover picture on End"
xdotool mousemove --window "$output" 5 5
shows_normal() { [ "$(area_hash "$end_button")" = "$normal" ]; }
wait_until 10 shows_normal || fail "End kept its hover picture after the pointer left the window ($(failure_shot))"

before=$(area_hash "$board")
click 178 397   # Start
wait_change "$board" "$before" "board after Start"
before=$(wait_still "$board")
click $((43 + 2 * 67 + 33)) $((72 + 67 + 33))   # the tile left of the gap (right edge, second row) slides into it
wait_change "$board" "$before" "slide after the click"
end_by_end_button
for start in $(seq 40); do
  launch
  wait_shown
  end_by_end_button
done
echo "PASS"
