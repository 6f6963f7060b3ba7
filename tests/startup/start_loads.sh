# What a start loads: once the window is up and the hint tables are mapped, the program holds no
# part of the synthesizer (FluidSynth and the libraries it brings) and no Qt image format plugin;
# the synthesizer comes when the music first plays. Ends with End and status 0.
source "$(dirname "$0")/../e2e/lib.sh"
start_x
start_game
wait_window
eval "$(xdotool getwindowgeometry --shell "$win")"
maps=/proc/$game_pid/maps
mapped() { awk '$6 ~ /\.so/ { print $6 }' "$maps" | sort -u; }

tables_mapped() { grep -q '/hint-tables\.bin$' "$maps"; }   # the start's last work, just after the first paint
wait_until 30 tables_mapped || fail "the hint tables were never mapped"
echo "shared objects after the start: $(mapped | wc -l)"
! mapped | grep -E '/libfluidsynth|/libsndfile|/libpulse|/libSDL2|/libjack' || fail "the start loaded the synthesizer's libraries"
! mapped | grep '/imageformats/' || fail "the start loaded image format plugins"

xdotool mousemove $((X + 178)) $((Y + 397)) click 1   # Start: the music plays
synthesizer_mapped() { mapped | grep -q '/libfluidsynth'; }
wait_until 20 synthesizer_mapped || fail "the synthesizer was not loaded when the music started"
echo "shared objects once the music plays: $(mapped | wc -l)"

xdotool mousemove $((X + 282)) $((Y + 397)) click 1   # End
wait_game_exit 20
[ "$rc" -eq 0 ] || fail "exit status $rc"
echo "PASS"
