# Starts Weston for the Wayland checks, after tests/e2e/lib.sh: start_weston <weston options...>
# starts it on a socket of its own in the private runtime folder and waits until it listens;
# sets weston_socket. Weston's own output goes to $work/weston.log and is shown on failure.
start_weston() {
  command -v weston >/dev/null || fail "weston is not installed (Debian package weston; tools/setup.sh installs it)"
  weston_socket=tavorin-$$
  weston --socket="$weston_socket" --idle-time=0 "$@" >"$work/weston.log" 2>&1 &
  weston_pid=$!
  pids+=("$weston_pid")
  weston_listens() {
    kill -0 "$weston_pid" 2>/dev/null || fail "weston ended at its start: $(tail -n 15 "$work/weston.log")"
    [ -S "$XDG_RUNTIME_DIR/$weston_socket" ]
  }
  wait_until 20 weston_listens || fail "weston did not start within 20 s: $(tail -n 15 "$work/weston.log")"
}
