# The real program under a real AT-SPI bus: a private D-Bus session, Qt's accessibility bridge
# switched on, and a client that reads and presses through it as a screen reader does.
source "$(dirname "$0")/lib.sh"
: "${TAVORIN_SCRIPTED:?path of the program with the repeatable shuffle}"
TAVORIN=$TAVORIN_SCRIPTED
start_x
register_qel
run_with_atspi "$(dirname "$0")/atspi_client.py" || fail "the screen reader's view (see above)"
