# A private X server for the shell checks: source this after wait.sh, with $work, pids and fail
# defined, then call start_x.
#
# start_x starts Xvfb on a free display and exports DISPLAY once an X client has been answered
# on it. A display number that Xvfb took can still answer as another server (one of a job beside
# this one whose socket name it shares, or one that is going away): such a server is kept
# running, so that the next Xvfb takes another number, and killed with the others at the end.
# -noreset: by default Xvfb resets whenever its last client leaves, and a client that connects
# during that reset is dropped ("cannot open display"). A check's polls (xdpyinfo, xprop,
# xdotool) each come and go as the only client while the game or a window manager connects, and
# on a loaded machine that race was lost.
start_x() {
  local attempt xpid
  for attempt in 1 2 3; do
    exec 3<> "$work/displayfd.$attempt"
    Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp -noreset >"$work/xvfb.$attempt.log" 2>&1 &
    xpid=$!
    exec 3>&-
    pids+=("$xpid")
    wait_until 20 test -s "$work/displayfd.$attempt" || fail "Xvfb did not start: $(tail -n 5 "$work/xvfb.$attempt.log")"
    export DISPLAY=":$(head -n1 "$work/displayfd.$attempt")"
    if wait_until 20 x_answers "$xpid" "$attempt"; then
      ln -sf "xvfb.$attempt.log" "$work/xvfb.log"
      return 0
    fi
    echo "display $DISPLAY of Xvfb $attempt does not answer: $(tail -n 1 "$work/xclient.$attempt.log")" >&2
  done
  fail "no private X server answered"
}

# Succeeds when Xvfb $1 still runs and its display answers a client; the client's complaint goes
# to xclient.$2.log.
x_answers() {
  kill -0 "$1" 2>/dev/null || fail "Xvfb ended: $(tail -n 5 "$work/xvfb.$2.log")"
  xdpyinfo >/dev/null 2>"$work/xclient.$2.log"
}
