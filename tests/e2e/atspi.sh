# The real program under a real AT-SPI bus: a private D-Bus session, Qt's accessibility bridge
# switched on, and a client that reads and presses through it as a screen reader does.
source "$(dirname "$0")/lib.sh"
: "${TAVORIN_SCRIPTED:?path of the program with the repeatable shuffle}"
TAVORIN=$TAVORIN_SCRIPTED
start_x
register_qel
export QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1 work TAVORIN TAVORIN_RUN_DIR
dbus-run-session -- bash -c '
  set -euo pipefail
  (cd "$TAVORIN_RUN_DIR" && exec "$TAVORIN") >"$work/game.log" 2>&1 &
  game=$!
  rc=0
  timeout 90 /usr/bin/python3 "$0" || rc=$?
  kill "$game" 2>/dev/null || true
  exit "$rc"
' "$(dirname "$0")/atspi_client.py" || fail "the screen reader's view (see above)"
