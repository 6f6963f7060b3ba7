# The titles the window manager shows are the windows' own captions, nothing added: the about
# and score windows and a message box, read from the real X windows under openbox.
source "$(dirname "$0")/lib.sh"

start_x
openbox --sm-disable >"$work/openbox.log" 2>&1 &
wm_pid=$!
pids+=("$wm_pid")
wm_running() {
  kill -0 "$wm_pid" 2>/dev/null || fail "openbox ended: $(tail -n 3 "$work/openbox.log")"
  xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id'
}
wait_until 20 wm_running || fail "openbox did not start: $(tail -n 3 "$work/openbox.log")"

start_game
wait_window

# The game's visible window titled exactly $1 as the window manager reads it (_NET_WM_NAME,
# else WM_NAME), now; prints its id.
titled_now() {
  local w name
  for w in $(xdotool search --onlyvisible --pid "$game_pid" 2>/dev/null); do
    name=$(LC_ALL=C.UTF-8 xprop -id "$w" _NET_WM_NAME 2>/dev/null | sed -n 's/^_NET_WM_NAME(UTF8_STRING) = "\(.*\)"$/\1/p')
    [ -n "$name" ] || name=$(xdotool getwindowname "$w" 2>/dev/null) || continue
    if [ "$name" = "$1" ]; then echo "$w"; return 0; fi
  done
  return 1
}

# The same, waiting up to 10 s for it.
titled() {
  wait_until 10 titled_now "$1" && return 0
  echo "FAIL: no window titled '$1'; the game's windows are titled:" >&2
  for w in $(xdotool search --onlyvisible --pid "$game_pid" 2>/dev/null); do
    echo "  '$(xdotool getwindowname "$w" 2>/dev/null)'" >&2
  done
  return 1
}

# Waits up to 10 s until no window is titled $1.
untitled() { ! titled_now "$1" >/dev/null; }
gone() { wait_until 10 untitled "$1"; }

# Opens the game menu and picks an entry with the keys $@, once the menu shows.
menu() {
  local shown
  shown=$(game_windows)
  eval "$(xdotool getwindowgeometry --shell "$win")"
  xdotool mousemove $((X + 74)) $((Y + 397)) click 1
  wait_more_windows 10 "$shown" || fail "the menu did not open"
  xdotool key "$@"
}

menu Up Up Return   # バージョン情報, above the separator before 操作方法
about=$(titled 'Tavorinのﾊﾞｰｼﾞｮﾝ情報') || fail "about window title"
shoot titles_about
xdotool key Return   # OK
gone 'Tavorinのﾊﾞｰｼﾞｮﾝ情報' || fail "the about window did not close"

menu Up Up Up Return   # スコア, above the separator
score=$(titled 'スコア') || fail "score window title"
shoot titles_score
xdotool mousemove --window "$score" 43 85 click 1   # Clear, which asks first
question=$(titled '確認') || fail "message box title"
shoot titles_question
xdotool key Escape   # No
gone '確認' || fail "the message box did not close"

echo "PASS: the window manager shows the captions alone"
