# The start every shell check shares: a private work folder, and what is undone when the check
# ends however it ends. Source it first.
#   work           a fresh temporary folder, removed at the end
#   pids           processes ended at the end (add each one started in the background)
#   cleanup_steps  commands run at the end once those processes are gone (an unmount)
#   fail_steps     commands run by fail before it shows the program's output (a screenshot)
#   program_log    the program's output, whose last lines fail shows ($work/game.log)
# fail <message> ends the check as failed.
work=$(mktemp -d)
pids=()
cleanup_steps=()
fail_steps=()
program_log=$work/game.log
cleanup() {
  for p in "${pids[@]}"; do kill "$p" 2>/dev/null || true; done
  wait 2>/dev/null || true
  for step in "${cleanup_steps[@]}"; do eval "$step" || true; done
  rm -rf "$work"
}
trap cleanup EXIT

fail() {
  echo "FAIL: $*" >&2
  for step in "${fail_steps[@]}"; do eval "$step" || true; done
  [ -s "$program_log" ] && { echo "--- program output:" >&2; tail -n 40 "$program_log" >&2; }
  exit 1
}
