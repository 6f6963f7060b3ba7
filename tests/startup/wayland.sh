# The real game natively on Wayland, under Weston's headless backend: it connects with Qt's
# Wayland plugin (no X server is reachable), its main window becomes an xdg toplevel of the
# main window's size, is configured and gets a painted buffer, and a close request ends the
# game with status 0.
set -euo pipefail
: "${TAVORIN_CLOSES:?the program that closes its main window once painted}" "${TAVORIN_RUN_DIR:?folder the game starts in}"
: "${QEL:?path of the Qel library}" "${REGSVR:?path of tavorin-regsvr}"
work=$(mktemp -d)
export XDG_RUNTIME_DIR=$work/runtime XDG_CONFIG_HOME=$work/config XDG_CACHE_HOME=$work/cache HOME=$work/home
mkdir -p -m 700 "$XDG_RUNTIME_DIR" "$XDG_CONFIG_HOME" "$XDG_CACHE_HOME" "$HOME"
unset DISPLAY WAYLAND_DISPLAY QT_QPA_PLATFORM
"$REGSVR" "$QEL" >/dev/null || { echo "FAIL: cannot register Qel" >&2; exit 1; }
weston_pid=
cleanup() {
  if [ -n "$weston_pid" ]; then kill "$weston_pid" 2>/dev/null || true; wait "$weston_pid" 2>/dev/null || true; fi
  rm -rf "$work"
}
trap cleanup EXIT
fail() {
  echo "FAIL: $*" >&2
  for f in game.out game.err weston.log; do
    [ -s "$work/$f" ] && { echo "--- $f:" >&2; tail -n 30 "$work/$f" >&2; }
  done
  exit 1
}

command -v weston >/dev/null || fail "weston is not installed (Debian package weston; tools/setup.sh installs it)"
socket=tavorin-$$
weston --backend=headless-backend.so --socket="$socket" --idle-time=0 --width=1024 --height=768 >"$work/weston.log" 2>&1 &
weston_pid=$!
deadline=$((SECONDS + 20))
until [ -S "$XDG_RUNTIME_DIR/$socket" ]; do
  if ! kill -0 "$weston_pid" 2>/dev/null || ((SECONDS >= deadline)); then
    fail "weston's headless backend does not start on this machine"
  fi
  sleep 0.1
done

rc=0
(cd "$TAVORIN_RUN_DIR" && WAYLAND_DISPLAY=$socket QT_QPA_PLATFORM=wayland WAYLAND_DEBUG=client \
  timeout 60 "$TAVORIN_CLOSES") >"$work/game.out" 2>"$work/game.err" || rc=$?
[ "$rc" -ne 124 ] || fail "the game did not end within 60 s"
[ "$rc" -eq 0 ] || fail "exit status $rc"
grep -qx 'platform wayland' "$work/game.out" || fail "the game did not run on Qt's Wayland plugin"
grep -qx 'shown 354x414' "$work/game.out" || fail "the main window was not painted at 354 x 414"
# The protocol, as the client logged it: a toplevel of that size, configured, then a buffer
# attached and committed on the surface.
log=$work/game.err
grep -qE -- '-> xdg_toplevel@[0-9]+\.set_(min|max)_size\(354, 414\)' "$log" || fail "no toplevel of 354 x 414"
grep -qE '^\[[0-9. ]+\] xdg_surface@[0-9]+\.configure\(' "$log" || fail "the compositor never configured the window"
sed -n '/xdg_surface@[0-9]*\.ack_configure(/,$p' "$log" | grep -qE -- '-> wl_surface@[0-9]+\.attach\(wl_buffer@' ||
  fail "no buffer was attached after the window was configured"
sed -n '/wl_surface@[0-9]*\.attach(wl_buffer@/,$p' "$log" | grep -qE -- '-> wl_surface@[0-9]+\.commit\(\)' ||
  fail "the painted buffer was never committed"
echo "PASS"
