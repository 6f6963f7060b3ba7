# The one way the shell checks wait: source this file, then wait_until <seconds> <command...>.
# Runs the command until it succeeds, for at most that many seconds; false if it never did.
# A loaded machine makes such a wait slower, never wrong.
wait_until() {
  local deadline=$((SECONDS + $1))
  shift
  until "$@"; do
    [ "$SECONDS" -lt "$deadline" ] || return 1
    sleep 0.1
  done
}
