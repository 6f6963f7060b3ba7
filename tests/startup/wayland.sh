# The real game natively on Wayland, under Weston's headless backend: it connects with Qt's
# Wayland plugin (no X server is reachable), its main window becomes an xdg toplevel of the
# main window's size, is configured and gets a painted buffer, and a close request ends the
# game with status 0.
source "$(dirname "$0")/../e2e/lib.sh"
source "$(dirname "$0")/weston.sh"
: "${TAVORIN_CLOSES:?the program that closes its main window once painted}" "${TAVORIN_RUN_DIR:?folder the game starts in}"
export HOME=$work/home
mkdir -p "$HOME"
unset DISPLAY
register_qel
start_weston --backend=headless-backend.so --width=1024 --height=768

rc=0
(cd "$TAVORIN_RUN_DIR" && WAYLAND_DISPLAY=$weston_socket QT_QPA_PLATFORM=wayland WAYLAND_DEBUG=client \
  timeout 60 "$TAVORIN_CLOSES") >"$work/game.out" 2>"$work/game.log" || rc=$?
[ "$rc" -ne 124 ] || fail "the game did not end within 60 s"
[ "$rc" -eq 0 ] || fail "exit status $rc"
grep -qx 'platform wayland' "$work/game.out" || fail "the game did not run on Qt's Wayland plugin"
grep -qx 'shown 354x414' "$work/game.out" || fail "the main window was not painted at 354 x 414"
# The protocol, as the client logged it: a toplevel of that size, configured, then a buffer
# attached and committed on the surface.
log=$work/game.log
grep -qE -- '-> xdg_toplevel@[0-9]+\.set_(min|max)_size\(354, 414\)' "$log" || fail "no toplevel of 354 x 414"
grep -qE '^\[[0-9. ]+\] xdg_surface@[0-9]+\.configure\(' "$log" || fail "the compositor never configured the window"
sed -n '/xdg_surface@[0-9]*\.ack_configure(/,$p' "$log" | grep -qE -- '-> wl_surface@[0-9]+\.attach\(wl_buffer@' ||
  fail "no buffer was attached after the window was configured"
sed -n '/wl_surface@[0-9]*\.attach(wl_buffer@/,$p' "$log" | grep -qE -- '-> wl_surface@[0-9]+\.commit\(\)' ||
  fail "the painted buffer was never committed"
# A close ends the program with its window still up: a window torn down first can abort the
# program in libwayland while Qt 6.4 still delivers the last frame's callback.
! grep -qE -- '-> xdg_toplevel@[0-9]+\.destroy\(' "$log" || fail "the window was torn down before the program ended"
echo "PASS"
