# The real program with Debian's screen reader Orca on a private session's AT-SPI bus under
# openbox, speaking through speech-dispatcher's dummy voice to ALSA's null device; what it says is
# read from its debug log ("SPEECH OUTPUT:"). Keys alone, the board dealt one slide from solved:
#   1. Tab to Start, start, B reads the board, a slide, a hint's answer, T reads the clock, quit;
#   2. a picture option, the last slide, "Game Clear" with the time before the name entry, the
#      name entered, the score window, the controls window closed by Esc, quit.
# All that Orca said lands in $E2E_OUT/orca-speech.txt, its whole debug log in orca-debug.log.
source "$(dirname "$0")/lib.sh"
: "${TAVORIN_SCRIPTED:?path of the program that deals the board one slide from solved}"
TAVORIN=$TAVORIN_SCRIPTED
start_x
openbox --sm-disable >"$work/openbox.log" 2>&1 &   # a desktop's window manager hands the keys back after a box
pids+=("$!")
wm_running() { xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id'; }
wait_until 20 wm_running || fail "openbox did not start: $(tail -n 3 "$work/openbox.log")"

# Speech to nowhere: without an audio device speech-dispatcher gives up and Orca says nothing.
export HOME=$work/home
mkdir -p "$HOME" "$XDG_CONFIG_HOME/speech-dispatcher"
echo 'pcm.!default { type null }' >"$HOME/.asoundrc"
printf '%s\n' 'AudioOutputMethod "alsa"' 'AddModule "dummy" "sd_dummy" ""' 'DefaultModule dummy' \
  >"$XDG_CONFIG_HOME/speech-dispatcher/speechd.conf"
# A session bus of the check's own; Orca's first call starts the AT-SPI bus on it.
{ read -r DBUS_SESSION_BUS_ADDRESS; read -r bus_pid; } < <(dbus-daemon --session --fork --print-address=1 --print-pid=1)
export DBUS_SESSION_BUS_ADDRESS
pids+=("$bus_pid")
speech-dispatcher --spawn >"$work/speechd.log" 2>&1 || fail "speech-dispatcher did not start: $(tail -n 5 "$work/speechd.log")"
cleanup_steps+=('kill "$(cat "$XDG_RUNTIME_DIR/speech-dispatcher/pid/speech-dispatcher.pid")"')
log=$work/orca.log
/usr/bin/python3 "$(dirname "$0")/orca_line_log.py" --replace --debug-file="$log" >"$work/orca.out" 2>&1 &
pids+=("$!")
# No music: on the null device FluidSynth's thread never waits and takes a core at real-time priority.
TAVORIN_RUN_DIR=$work/no-music
mkdir -p "$TAVORIN_RUN_DIR"
cleanup_steps+=('said >"$E2E_OUT/orca-speech.txt"; cp "$log" "$E2E_OUT/orca-debug.log"')
fail_steps+=('echo "--- Orca said, since the last key:" >&2; said "$mark" >&2')

# The lines Orca has spoken, from line $1 of its log on (all by default).
said() { tail -n +"${1:-1}" "$log" 2>/dev/null | grep -a -o "SPEECH OUTPUT: '.*" | sed "s/^SPEECH OUTPUT: '//; s/' \\?{.*\$//"; }
heard() { said "$mark" | grep -q -F -- "$1"; }
# Waits until Orca, since the last keys, has said a line holding $1.
expect() { wait_until 20 heard "$1" || fail "Orca did not say \"$1\"${2:+ ($2)}"; }
# Presses keys in the focused window; what Orca says from now on counts for expect.
keys() { mark=$(($(wc -l <"$log") + 1)); xdotool key "$@"; }
line_of() { said "$mark" | grep -n -F -m1 -- "$1" | cut -d: -f1; }   # first line since the keys holding $1
mark=1
expect "Screen reader on."

start_game
wait_window
keys Tab; expect "Menu"
keys Tab; expect "Start"
keys Return; expect "盤面" "the board has the focus once a game starts"
keys b; expect "1行目：2、空き、3、4。2行目：5、6、7、8。3行目：9、10、11、12。4行目：13、14、15、16"
keys Left; expect "3、1行2列" "tile 3 slid left into the gap"
keys h; expect "ヒントを使いますか"
keys Return; expect "ヒント：3を右へ"
keys t; expect "タイム 00:00:"
quit() { keys ctrl+q; wait_game_exit 20; [ "$rc" -eq 0 ] || fail "Ctrl+Q ended the game with status $rc"; }
quit

start_game
wait_window
keys Tab Tab Tab Tab; expect "ひとり" "the first picture option"
keys F2; expect "盤面"
keys Right; expect "お名前" "the name entry"
slide=$(line_of "2、1行2列") clear=$(line_of "Game Clear、タイム 00:00:0") entry=$(line_of "記録")
[ -n "$slide" ] && [ -n "$clear" ] && [ "$slide" -lt "$clear" ] && [ "$clear" -lt "$entry" ] ||
  fail "not the slide, then Game Clear with the time, then the name entry"
# The slide's sentence is left time to be spoken before "Game Clear" follows: the program holds
# it about a second; Orca's own log may lag on a busy machine, so the check asks only for a
# quarter of that (a sentence cut off is followed within milliseconds).
at() { tail -n +"$mark" "$log" | grep -a -m1 -F "SPEECH OUTPUT: '$1" | awk '{ split($1, t, ":"); printf "%.3f", t[1] * 3600 + t[2] * 60 + t[3] }'; }
awk -v a="$(at 通知\ 2、)" -v b="$(at "通知 Game Clear")" 'BEGIN { exit !(b - a >= 0.25) }' ||
  fail "Game Clear cut off the slide's sentence ($(at 通知\ 2、) -> $(at "通知 Game Clear"))"
keys O r c a Return
recorded() { grep -q '"Orca"' "$XDG_CONFIG_HOME/tavorin/settings.json" 2>/dev/null; }
wait_until 10 recorded || fail "Enter in the name box kept no record"
# Opens the game menu by F10 and walks it up from the bottom, waiting at each step until Orca
# names the item that step reaches ($1, $2, ...), then opens the last. Waiting for each name in
# turn keeps the walk in step with the menu when Orca's speech lags behind the keys.
open_from_menu() {
  local shown name
  shown=$(game_windows)
  keys F10
  wait_more_windows 10 "$shown" || fail "F10 opened no menu"
  for name; do keys Up; expect "$name" "the menu walked up from the bottom"; done
  keys Return
}
# Closes the window in front by key $1 and waits until it is gone.
close_by() {
  local shown
  shown=$(game_windows)
  keys "$1"
  closed() { [ "$(game_windows)" -lt "$shown" ]; }
  wait_until 10 closed || fail "$1 did not close the ${2}"
}
open_from_menu "操作方法" "バージョン情報" "スコア"; expect "Orca、00:00:0" "the score window's row"
expect "OK"
close_by Return "score window"
open_from_menu "操作方法"; expect "操作方法を閉じます" "the controls window with OK focused"
close_by Escape "controls window"
quit
echo "PASS: Orca spoke the board, each slide, the hint, the clock, Game Clear with the time, the name entry and the score"
