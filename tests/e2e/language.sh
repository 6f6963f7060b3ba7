# The program's language under ja_JP, C and en_US (UTF-8) through AT-SPI (language_client.py); the
# locales made by localedef (Debian's locales) in $E2E_OUT, an empty home for the import dialog.
source "$(dirname "$0")/lib.sh"
TAVORIN=${TAVORIN_SCRIPTED:?path of the program with the repeatable shuffle}
unset LANGUAGE LANG LC_MESSAGES
export LOCPATH=$E2E_OUT/locales HOME=$work/home
mkdir -p "$LOCPATH" "$HOME"
for name in ja_JP en_US; do [ -e "$LOCPATH/$name.UTF-8/LC_CTYPE" ] || localedef -i $name -f UTF-8 "$LOCPATH/$name.UTF-8" || fail "no locale $name"; done
start_x
register_qel
for locale in ja_JP.UTF-8 C.UTF-8 en_US.UTF-8; do
  rm -f "$XDG_CONFIG_HOME/tavorin/settings.json"   # no best time: the game's end asks for a name
  LC_ALL=$locale run_with_atspi "$(dirname "$0")/language_client.py" "$locale" || fail "under $locale (see above)"
done
echo "PASS: Japanese under ja_JP and C, English under en_US, Qt's own texts with them"
