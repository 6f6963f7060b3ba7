# The program in the player's language, read through AT-SPI as a screen reader reads it, under
# ja_JP.UTF-8, C.UTF-8 and en_US.UTF-8 (language_client.py says what each must show). The two
# named locales are made here with localedef (Debian's locales package) and kept in $E2E_OUT, so
# the machine needs none of them generated. Screenshots: $E2E_OUT/language_<locale>_<window>.png.
source "$(dirname "$0")/lib.sh"
: "${TAVORIN_SCRIPTED:?path of the program with the repeatable shuffle}"
TAVORIN=$TAVORIN_SCRIPTED
unset LANGUAGE LANG LC_MESSAGES
export LOCPATH=$E2E_OUT/locales
mkdir -p "$LOCPATH"
for name in ja_JP en_US; do
  [ -e "$LOCPATH/$name.UTF-8/LC_CTYPE" ] || localedef -i "$name" -f UTF-8 "$LOCPATH/$name.UTF-8" \
    || fail "cannot make the locale $name.UTF-8"
done
# An empty home: the import dialog lists its folder, which holds nothing of the machine's.
export HOME=$work/home
mkdir -p "$HOME"
start_x
register_qel
for locale in ja_JP.UTF-8 C.UTF-8 en_US.UTF-8; do
  rm -f "$XDG_CONFIG_HOME/tavorin/settings.json"   # no best time: the game's end asks for a name
  LC_ALL=$locale run_with_atspi "$(dirname "$0")/language_client.py" "$locale" || fail "under $locale (see above)"
done
echo "PASS: Japanese under ja_JP and C, English under en_US, Qt's own texts with them"
