# A game played natively on Wayland: Weston (x11 backend, kiosk shell) runs in a private Xvfb only
# to take the pointer, which Weston's headless backend has none of; the game connects to Weston
# with Qt's Wayland plugin (no X server is reachable from it), shows its window, starts a game,
# slides a tile by a click and ends with status 0 by its End button. Skipped only when Weston
# cannot start at all.
source "$(dirname "$0")/../e2e/lib.sh"
: "${TAVORIN_DEALT:?path of the program that deals the hard board}"
if ! command -v weston >/dev/null; then
  echo "SKIP: weston is not installed (Debian package weston; tools/setup.sh installs it)"
  exit 77
fi
start_x
socket=tavorin-$$
weston --backend=x11-backend.so --shell=kiosk-shell.so --socket="$socket" --idle-time=0 --width=800 --height=600 \
  >"$work/weston.log" 2>&1 &
weston_pid=$!
pids+=("$weston_pid")
deadline=$((SECONDS + 20))
until [ -S "$XDG_RUNTIME_DIR/$socket" ] && output=$(xdotool search --class '^Weston Compositor$' 2>/dev/null | head -n1) &&
  [ -n "$output" ]; do
  if ! kill -0 "$weston_pid" 2>/dev/null || ((SECONDS >= deadline)); then
    echo "SKIP: weston does not start on this machine:"
    tail -n 15 "$work/weston.log"
    exit 77
  fi
  sleep 0.1
done

# The kiosk shell centres a window of fixed size on the output: the game's lies at (223, 93).
X=$(((800 - 354) / 2)) Y=$(((600 - 414) / 2))
area_hash() { import -window "$output" -crop "$1" rgb:- 2>/dev/null | md5sum; }
board="272x273+$((X + 43))+$((Y + 72))"
buttons="297x36+$((X + 30))+$((Y + 379))"
wait_change() {   # <area> <hash before> <what>
  local deadline=$((SECONDS + 20))
  while [ "$(area_hash "$1")" = "$2" ]; do
    kill -0 "$game_pid" 2>/dev/null || fail "the game ended while waiting for $3"
    ((SECONDS < deadline)) || { import -window "$output" "$E2E_OUT/wayland-failure.png"; fail "no $3 (screen in $E2E_OUT/wayland-failure.png)"; }
    sleep 0.1
  done
}
wait_still() {   # <area>: until two looks in a row see the same pixels; prints that hash
  local a b deadline=$((SECONDS + 20))
  b=$(area_hash "$1")
  while a=$b && b=$(area_hash "$1") && [ "$a" != "$b" ]; do
    ((SECONDS < deadline)) || fail "the area $1 never stood still"
  done
  echo "$b"
}
empty=$(area_hash "$buttons")   # the output before the game has a window
(cd "$TAVORIN_RUN_DIR" && exec env -u DISPLAY WAYLAND_DISPLAY="$socket" QT_QPA_PLATFORM=wayland "$TAVORIN_DEALT") \
  >"$work/game.log" 2>&1 &
game_pid=$!
pids+=("$game_pid")

wait_change "$buttons" "$empty" "window with its buttons"
grep -q '/platforms/libqwayland' "/proc/$game_pid/maps" || fail "the game does not use Qt's Wayland plugin"
click() { xdotool mousemove --window "$output" "$((X + $1))" "$((Y + $2))" click 1; }

before=$(area_hash "$board")
click 178 397   # Start
wait_change "$board" "$before" "board after Start"
before=$(wait_still "$board")
click $((43 + 67 + 33)) $((72 + 3 * 67 + 33))   # the tile right of the gap (bottom-left) slides into it
wait_change "$board" "$before" "slide after the click"
click 282 397   # End
wait_game_exit 20
[ "$rc" -ne 124 ] || fail "the game did not end after End"
[ "$rc" -eq 0 ] || fail "exit status $rc"
echo "PASS"
