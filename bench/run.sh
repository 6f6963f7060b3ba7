#!/usr/bin/env bash
# Builds the release preset and prints one table of Tavorin's figures beside those of a bare Qt window.
#
# Usage: bench/run.sh [runs]    (default 5, at least 5; about 14 minutes with 5 runs, after the build)
#
# Every figure is min / median / max over the runs (or over the samples named in the last column),
# measured in this one call for the game and for the floor: bench/floor, a bare Qt 6 window of the
# main window's size (354 x 414) with a 100 ms timer, built with the same preset. Goals are judged
# on the median. Timings are printed, never asserted. Nothing is installed: what is missing is
# named, and tools/setup.sh installs it.
#
# Method
#   The programs run under a private Xvfb (plain black background, 1280 x 1024, 24 bits), with
#   private XDG folders where Qel is registered. The game is started in its folder, as the
#   README's set-up starts it (the music files lie there): a copy of build/release/game made at
#   the start, so that a rebuild meanwhile changes nothing. The pointer is parked off the window
#   while CPU is measured.
#   - exec to first paint: bench_first_paint (bench/paint) listens for the new window's MapNotify
#     and reads its pixels back from the X server about every 0.5 ms until the title and the
#     three command buttons are painted (each region holds a picture, not the black of an unpainted
#     window); the floor is timed to the first paint of the same regions. Time from the spawn.
#     One unreported warm-up start of each first, so every run finds the files in the page cache.
#   - resident memory: VmRSS of /proc/<pid>/status 2 s after the exec; for the game also 30 s
#     after Start was clicked (music playing), for the floor at the end of its idle measure.
#     The game maps the hint tables made at build time (hint-tables.bin beside the program) and
#     falls back to its cache ($XDG_CACHE_HOME/tavorin) only without them: each run also times a
#     first start apart (first paint, memory, the tables mapped), with an empty cache folder of
#     its own, to show that it costs what every start costs and writes nothing there.
#   - shared objects: the distinct .so files in /proc/<pid>/maps 2 s after the exec.
#   - CPU: utime + stime of /proc/<pid>/stat (all threads) over 20 s of wall time, as % of one
#     core (resolution 0.05 %): picture selection from 2 s after the exec; a game from 2 s after
#     Start was clicked; after the ending, once the ending strip has stopped scrolling
#     (tavorin_scripted, the real program with a shuffle that leaves each board one slide from
#     solved, is driven through the three pictures as tests/e2e/ending.sh does). The floor has one
#     state: its idle figure stands beside all three.
#   - timCmd tick, tile click, WriteSetting, ending pacing: bench_game (bench/game) runs the main
#     window in process with the real media layer on the same X server. A click is followed until
#     the board's pixels on the X server change: the slide timer's 100 ms are part of it by design,
#     so the row below gives what lies beyond them.
#   - "play" command: bench_media (bench/media); the three fetches of a tick alone: qel_bench.
set -euo pipefail

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
cd "$root"
runs=${1:-5}
if ! [[ $runs =~ ^[0-9]+$ ]] || ((runs < 5)); then
  echo "usage: bench/run.sh [runs >= 5]" >&2
  exit 2
fi

# ---- What the run needs ----
missing=()
for tool in cmake ninja Xvfb xdpyinfo xdotool import awk getconf md5sum; do
  command -v "$tool" >/dev/null || missing+=("$tool")
done
if ((${#missing[@]})); then
  echo "bench/run.sh: missing commands: ${missing[*]}" >&2
  echo "  install them (as root): apt-get install --no-install-recommends cmake ninja-build xvfb x11-utils xdotool imagemagick" >&2
  exit 1
fi

# ---- Build ----
build=$root/build/release
echo "Building the release preset..." >&2
cmake --preset release >/dev/null
wanted=(Tavorin tavorin_scripted Qel tavorin-regsvr bench_floor bench_first_paint bench_game bench_media qel_bench)
known=$(cmake --build --preset release --target help 2>/dev/null | sed -n 's/^\([^:]*\): .*/\1/p')
targets=()
for t in "${wanted[@]}"; do
  if grep -qx "$t" <<<"$known"; then targets+=("$t"); else missing+=("$t"); fi
done
cmake --build --preset release --target "${targets[@]}" >&2
if ((${#missing[@]})); then
  echo "bench/run.sh: these targets are not configured: ${missing[*]}" >&2
  echo "  Tavorin, tavorin_scripted, bench_game, bench_media need libfluidsynth-dev; bench_first_paint needs" >&2
  echo "  libxcb1-dev and pkg-config; all are installed by tools/setup.sh. Then run this script again." >&2
  exit 1
fi

# ---- Private folders, a copy of the programs, a private X server ----
# The shell checks' private folders (work, XDG_*), their clean-up at the end and fail; the
# program's output, shown by fail, is app.log here.
source "$root/tests/e2e/lib.sh"
program_log=$work/app.log
app_pid=   # a program started through the first-paint timer, not a child of this shell
cleanup_steps+=('[ -z "$app_pid" ] || kill "$app_pid" 2>/dev/null')
mkdir "$work/m" "$work/game"
# The programs started many times are copied first, so that a rebuild during the run cannot
# change what is measured; the game's folder keeps its music beside it.
game_dir=$work/game
cp "$build/game/Tavorin" "$build/game/tavorin_scripted" "$build/game/"*.mid "$build/game/hint-tables.bin" "$game_dir/"
cp "$build/resources/libQel.so" "$build/bench/paint/bench_first_paint" "$build/bench/floor/bench_floor" "$work/"
PAINT=$work/bench_first_paint
FLOOR=$work/bench_floor
unset WAYLAND_DISPLAY QT_QPA_PLATFORM
"$build/tools/regsvr/tavorin-regsvr" "$work/libQel.so" >/dev/null
# A best time nobody beats: no name entry interrupts the games played here.
mkdir -p "$XDG_CONFIG_HOME/tavorin"
printf '{"Puzzle":{"SCORE":{"HISCORE":"00:00:00","NAME":"bench"}}}\n' >"$XDG_CONFIG_HOME/tavorin/settings.json"

# The private X server of the shell checks, handed over once it answers.
start_x

# ---- Measuring a running program ----
note() { echo "$2" >>"$work/m/$1"; }                       # note <figure> <value>
now() { date +%s.%N; }
rss_mib() { awk '/^VmRSS:/ { printf "%.1f", $2 / 1024 }' "/proc/$1/status"; }
shared_objects() { awk '$6 ~ /\.so/ { print $6 }' "/proc/$1/maps" | sort -u | wc -l; }
cpu_ticks() { sed 's/^.*) //' "/proc/$1/stat" | awk '{ print $12 + $13 }'; }
hz=$(getconf CLK_TCK)
cpu_percent() {   # <pid> <seconds>: % of one core over that wall time
  local c0 t0 c1 t1
  c0=$(cpu_ticks "$1"); t0=$(now)
  sleep "$2"
  c1=$(cpu_ticks "$1"); t1=$(now)
  awk -v a="$c0" -v b="$c1" -v s="$t0" -v e="$t1" -v hz="$hz" 'BEGIN { printf "%.3f", 100 * (b - a) / hz / (e - s) }'
}
sleep_until() {   # <start time> <seconds>: until that long after the start (printf: times need all their digits)
  local d
  d=$(awk -v t="$1" -v s="$2" -v n="$(now)" 'BEGIN { d = t + s - n; printf "%.3f", (d > 0 ? d : 0) }')
  sleep "$d"
}
park_pointer() { xdotool mousemove 5 5; }
# Pixels of a screen rectangle, as a hash: "WxH+X+Y".
area_hash() { import -window root -crop "$1" rgb:- 2>/dev/null | md5sum | cut -d' ' -f1; }
stop_app() {
  [ -n "$app_pid" ] || return 0
  kill "$app_pid" 2>/dev/null || true
  for _ in $(seq 100); do kill -0 "$app_pid" 2>/dev/null || break; sleep 0.05; done
  app_pid=
}

# The title and the three command buttons, in window pixels (the buttons' last row lies outside
# the 414-pixel window, hence 35 rows).
regions=(-r "68,6,221,57" -r "30,379,89,35" -r "134,379,89,35" -r "238,379,89,35")

# Starts a program through the first-paint timer and leaves it running; sets app_pid, t_exec and painted_ms.
start_timed() {   # <min colours> <program>
  t_exec=$(now)
  (cd "$game_dir" && "$PAINT" -l -s 354x414 "${regions[@]}" -c "$1" -- "$2") >"$work/paint.out" 2>>"$work/app.log" ||
    fail "no painted window from $2"
  read -r painted_ms app_pid <"$work/paint.out"
  t_exec=$(awk -v t="$t_exec" 'BEGIN { printf "%.3f", t }')
}

# The very first start, with an empty cache folder: the game maps the tables beside it and
# writes nothing to the cache. Each such run has a cache folder of its own.
first_start_run() {
  local cache t_mapped
  cache=$work/first-cache-$1
  mkdir -m 700 "$cache"
  XDG_CACHE_HOME=$cache start_timed 4 ./Tavorin
  note paint_first.game "$painted_ms"
  for _ in $(seq 600); do
    grep -q '/hint-tables\.bin$' "/proc/$app_pid/maps" && break
    sleep 0.01
  done
  grep -q '/hint-tables\.bin$' "/proc/$app_pid/maps" || fail "the hint tables were never mapped"
  t_mapped=$(now)
  note tables_ms.game "$(awk -v a="$t_exec" -v b="$t_mapped" 'BEGIN { printf "%.0f", 1000 * (b - a) }')"
  sleep_until "$t_exec" 2
  note rss_first.game "$(rss_mib "$app_pid")"
  note cache_files.game "$(find "$cache" -type f | wc -l)"
  stop_app
  rm -rf "$cache"
}

warm_up() {
  for program in "$FLOOR" ./Tavorin; do
    start_timed 1 "$program"
    stop_app
  done
}

floor_run() {
  start_timed 1 "$FLOOR"
  note paint.floor "$painted_ms"
  sleep_until "$t_exec" 2
  note rss_start.floor "$(rss_mib "$app_pid")"
  note objects.floor "$(shared_objects "$app_pid")"
  park_pointer
  note cpu_idle.floor "$(cpu_percent "$app_pid" 20)"
  note rss_later.floor "$(rss_mib "$app_pid")"
  stop_app
}

game_run() {
  start_timed 4 ./Tavorin
  note paint.game "$painted_ms"
  sleep_until "$t_exec" 2
  note rss_start.game "$(rss_mib "$app_pid")"
  note objects.game "$(shared_objects "$app_pid")"
  park_pointer
  note cpu_select.game "$(cpu_percent "$app_pid" 20)"
  # shellcheck disable=SC2034   # WIDTH, HEIGHT and SCREEN come with the window's geometry
  local win X Y WIDTH HEIGHT SCREEN frame before t_click
  win=$(xdotool search --onlyvisible --pid "$app_pid" | head -n1)
  [ -n "$win" ] || fail "the game's window is not visible"
  eval "$(xdotool getwindowgeometry --shell "$win")"
  frame="280x290+$((X + 40))+$((Y + 71))"
  before=$(area_hash "$frame")
  xdotool mousemove --window "$win" 178 397 click 1   # Start
  t_click=$(now)
  park_pointer
  sleep 1
  [ "$(area_hash "$frame")" != "$before" ] || fail "Start did not bring up the board"
  sleep_until "$t_click" 2
  note cpu_music.game "$(cpu_percent "$app_pid" 20)"
  sleep_until "$t_click" 30
  note rss_music.game "$(rss_mib "$app_pid")"
  stop_app
}

# Three pictures solved, as tests/e2e/ending.sh does it, then 20 s once the ending has stopped.
ending_run() {
  (cd "$game_dir" && exec ./tavorin_scripted) >>"$work/app.log" 2>&1 &
  app_pid=$!
  pids+=("$app_pid")
  # shellcheck disable=SC2034   # WIDTH, HEIGHT and SCREEN come with the window's geometry
  local win X Y WIDTH HEIGHT SCREEN stage a b
  win=$(timeout 20 xdotool search --sync --onlyvisible --pid "$app_pid" 2>/dev/null | head -n1) ||
    fail "tavorin_scripted showed no window"
  eval "$(xdotool getwindowgeometry --shell "$win")"
  press() { xdotool mousemove "$1" "$2" click 1; }
  solve_once() {
    press $((X + 178)) $((Y + 397))   # Start
    sleep 0.4
    press $((X + 43 + 33)) $((Y + 72 + 33))   # tile "2", left of the gap, slides into it
  }
  choose_picture() {   # Menu, "choose a picture", then thumbnail $1
    press $((X + 74)) $((Y + 397))
    sleep 0.4
    xdotool key Down Return
    sleep 0.4
    press $((X + 176)) $((Y + (1068 + 480 + ($1 - 1) * 1320 + 600) / 15))
    sleep 0.2
  }
  solve_once
  sleep 1
  choose_picture 2
  solve_once
  sleep 1
  choose_picture 3
  solve_once
  park_pointer
  stage="300x300+$((X + 27))+$((Y + 69))"
  # The pause on the whole picture (2 to 3 s), then the strip scrolls (about 20 s on an idle
  # machine, longer on a busy one) and stops.
  # Scrolling: the stage differs in two looks running, half a second apart.
  sleep 3
  local changes=0
  b=$(area_hash "$stage")
  for _ in $(seq 40); do
    sleep 0.5
    a=$b; b=$(area_hash "$stage")
    if [ "$a" != "$b" ]; then changes=$((changes + 1)); else changes=0; fi
    ((changes < 2)) || break
  done
  if ((changes < 2)); then
    import -window root "$build/bench/ending-not-started.png"
    fail "the ending did not start (screen in $build/bench/ending-not-started.png)"
  fi
  for _ in $(seq 150); do   # until the strip stands still
    sleep 1
    a=$b; b=$(area_hash "$stage")
    [ "$a" != "$b" ] || break
  done
  if [ "$a" != "$b" ]; then
    import -window root "$build/bench/ending-not-stopped.png"
    fail "the ending did not stop scrolling (screen in $build/bench/ending-not-stopped.png)"
  fi
  note cpu_ending.game "$(cpu_percent "$app_pid" 20)"
  stop_app
}

# ---- The runs ----
load_before=$(cut -d' ' -f1-3 /proc/loadavg)
started=$(now)
echo "Measuring on $DISPLAY, $runs runs: about $((runs * 150 / 60 + 4)) minutes." >&2
warm_up
for run in $(seq "$runs"); do
  # The first start and a later start take turns at coming straight after the floor's idle
  # minute, so that neither alone meets a cold machine.
  if ((run % 2)); then
    echo "run $run of $runs: floor, first start of the game, game, ending..." >&2
    floor_run
    first_start_run "$run"
    game_run
  else
    echo "run $run of $runs: floor, game, first start of the game, ending..." >&2
    floor_run
    game_run
    first_start_run "$run"
  fi
  ending_run
done

echo "In-process figures (bench_game)..." >&2
park_pointer
"$build/bench/game/bench_game" "$runs" >"$work/game.tsv" 2>>"$work/app.log" || fail "bench_game failed"
while IFS=$'\t' read -r name unit n lo mid hi; do
  printf '%s %s %s %s %s\n' "$unit" "$n" "$lo" "$mid" "$hi" >"$work/m/$name.inproc"
done <"$work/game.tsv"

echo "Media and resource library figures (bench_media, qel_bench)..." >&2
"$build/bench/media/bench_media" >"$work/media.txt" 2>&1 || true
"$build/bench/qel/qel_bench" >"$work/qel.txt" 2>&1 || true
sed -n 's/^play command returns:.*min \([0-9.]*\) ms, median \([0-9.]*\) ms, max \([0-9.]*\) ms over \([0-9]*\) runs.*/ms \4 \1 \2 \3/p' \
  "$work/media.txt" | head -n1 >"$work/m/play.inproc"
sed -n 's/^tick: bitmaps.*min *\([0-9.]*\) us *median *\([0-9.]*\) us *max *\([0-9.]*\) us *(\([0-9]*\) samples).*/us \4 \1 \2 \3/p' \
  "$work/qel.txt" | head -n1 >"$work/m/fetches.inproc"
load_after=$(cut -d' ' -f1-3 /proc/loadavg)
minutes=$(awk -v s="$started" -v e="$(now)" 'BEGIN { printf "%.1f", (e - s) / 60 }')

# ---- The table ----
# "min / median / max" of a figure noted once per run; median is the upper middle for even counts.
spread() {   # <file> <printf format>
  [ -s "$1" ] || { echo "—"; return; }
  sort -g "$1" | awk -v f="$2" '{ v[NR] = $1 } END { printf f " / " f " / " f, v[1], v[int(NR / 2) + 1], v[NR] }'
}
median() { sort -g "$1" | awk '{ v[NR] = $1 } END { print v[int(NR / 2) + 1] }'; }
count() { wc -l <"$1" | tr -d ' '; }
ratio() { awk -v a="$(median "$1")" -v b="$(median "$2")" 'BEGIN { if (b > 0) printf "%.2f x", a / b; else print "—" }'; }
verdict() {   # <value> <op> <limit>
  [ -n "$1" ] || { echo "no figure"; return; }
  awk -v v="$1" -v op="$2" -v l="$3" 'BEGIN { ok = (op == "<") ? v < l : (op == "<=") ? v <= l : v >= l; print ok ? "met" : "**missed**" }'
}
inproc() {   # <name> <printf format> -> "min / median / max"
  [ -s "$work/m/$1.inproc" ] || { echo "— (no figure)"; return; }
  read -r _ _ lo mid hi <"$work/m/$1.inproc"
  awk -v f="$2" -v a="$lo" -v b="$mid" -v c="$hi" 'BEGIN { printf f " / " f " / " f, a, b, c }'
}
inproc_median() { if [ -s "$work/m/$1.inproc" ]; then awk '{ print $4 }' "$work/m/$1.inproc"; fi; }
inproc_n() { if [ -s "$work/m/$1.inproc" ]; then awk '{ print $2 }' "$work/m/$1.inproc"; else echo 0; fi; }

m=$work/m
paint_ratio=$(awk -v a="$(median "$m/paint.game")" -v b="$(median "$m/paint.floor")" 'BEGIN { print a / b }')
first_ratio=$(awk -v a="$(median "$m/paint_first.game")" -v b="$(median "$m/paint.floor")" 'BEGIN { print a / b }')
cpu_model=$(sed -n 's/^model name[[:space:]]*: //p' /proc/cpuinfo | head -n1)
mem_gib=$(awk '/^MemTotal:/ { printf "%.1f", $2 / 1048576 }' /proc/meminfo)
soundfonts=$(find /usr/share/sounds/sf2 /usr/share/soundfonts -name '*.sf2' -printf '%f\n' 2>/dev/null | sort -u | tr '\n' ' ' || true)

{
  echo "Measured $(date -u '+%Y-%m-%d %H:%M UTC') on $(nproc) x $cpu_model, $mem_gib GiB memory ($(uname -sr));"
  echo "load average $load_before before and $load_after after; $runs runs, $minutes minutes; SoundFonts present: ${soundfonts:-none}."
  echo
  echo "| Figure | Tavorin min / median / max | Floor min / median / max | Ratio | Goal (median) | Samples |"
  echo "|---|---|---|---|---|---|"
  echo "| Exec to first paint of title and buttons, ms | $(spread "$m/paint.game" %.0f) | $(spread "$m/paint.floor" %.0f) | $(ratio "$m/paint.game" "$m/paint.floor") | ≤ 1.5 x floor: $(verdict "$paint_ratio" "<=" 1.5) | $(count "$m/paint.game") runs |"
  echo "| … on the very first start (empty cache folder), ms | $(spread "$m/paint_first.game" %.0f) | $(spread "$m/paint.floor" %.0f) | $(ratio "$m/paint_first.game" "$m/paint.floor") | ≤ 1.5 x floor: $(verdict "$first_ratio" "<=" 1.5) | $(count "$m/paint_first.game") runs |"
  echo "| Resident memory 2 s after start, MiB | $(spread "$m/rss_start.game" %.1f) | $(spread "$m/rss_start.floor" %.1f) | $(ratio "$m/rss_start.game" "$m/rss_start.floor") | ≤ 40: $(verdict "$(median "$m/rss_start.game")" "<=" 40) | $(count "$m/rss_start.game") runs |"
  echo "| … on the very first start (empty cache folder), 2 s after, MiB | $(spread "$m/rss_first.game" %.1f) | $(spread "$m/rss_start.floor" %.1f) | $(ratio "$m/rss_first.game" "$m/rss_start.floor") | ≤ 40: $(verdict "$(median "$m/rss_first.game")" "<=" 40) | $(count "$m/rss_first.game") runs |"
  echo "| … on the very first start, exec until the hint tables are mapped, ms | $(spread "$m/tables_ms.game" %.0f) | — | — | < 1000: $(verdict "$(median "$m/tables_ms.game")" "<" 1000) | $(count "$m/tables_ms.game") runs |"
  echo "| … on the very first start, files written to the cache folder | $(spread "$m/cache_files.game" %.0f) | — | — | 0 | $(count "$m/cache_files.game") runs |"
  echo "| Shared objects mapped 2 s after start | $(spread "$m/objects.game" %.0f) | $(spread "$m/objects.floor" %.0f) | $(ratio "$m/objects.game" "$m/objects.floor") | — | $(count "$m/objects.game") runs |"
  echo "| Resident memory after 30 s of a game with music, MiB (floor: idle, 22 s) | $(spread "$m/rss_music.game" %.1f) | $(spread "$m/rss_later.floor" %.1f) | $(ratio "$m/rss_music.game" "$m/rss_later.floor") | — | $(count "$m/rss_music.game") runs |"
  echo "| CPU over 20 s, picture selection, % of one core | $(spread "$m/cpu_select.game" %.2f) | $(spread "$m/cpu_idle.floor" %.2f) | $(ratio "$m/cpu_select.game" "$m/cpu_idle.floor") | < 0.6: $(verdict "$(median "$m/cpu_select.game")" "<" 0.6) | $(count "$m/cpu_select.game") runs |"
  echo "| CPU over 20 s, a game with music, % of one core | $(spread "$m/cpu_music.game" %.2f) | $(spread "$m/cpu_idle.floor" %.2f) | $(ratio "$m/cpu_music.game" "$m/cpu_idle.floor") | < 2.5: $(verdict "$(median "$m/cpu_music.game")" "<" 2.5) | $(count "$m/cpu_music.game") runs |"
  echo "| CPU over 20 s, after the ending, % of one core | $(spread "$m/cpu_ending.game" %.2f) | $(spread "$m/cpu_idle.floor" %.2f) | $(ratio "$m/cpu_ending.game" "$m/cpu_idle.floor") | < 0.6: $(verdict "$(median "$m/cpu_ending.game")" "<" 0.6) | $(count "$m/cpu_ending.game") runs |"
  echo "| One timCmd tick of frmMain, µs | $(inproc timcmd_tick %.1f) | — | — | < 50: $(verdict "$(inproc_median timcmd_tick)" "<" 50) | $(inproc_n timcmd_tick) ticks |"
  echo "| … of which its three fetches through Qel (qel_bench), µs | $(inproc fetches %.1f) | — | — | — | $(inproc_n fetches) ticks |"
  echo "| … of which the cursor test of its three buttons, µs | $(inproc timcmd_cursor %.1f) | — | — | — | $(inproc_n timcmd_cursor) ticks |"
  echo "| Tile click to first movement on screen, ms (includes the 100 ms slide timer) | $(inproc click_to_screen %.1f) | — | — | — | $(inproc_n click_to_screen) clicks |"
  echo "| … beyond the 100 ms slide timer, ms | $(inproc click_beyond_timer %.1f) | — | — | — | $(inproc_n click_beyond_timer) clicks |"
  echo "| \"play\" command returns, ms (bench_media) | $(inproc play %.4f) | — | — | < 5: $(verdict "$(inproc_median play)" "<" 5) | $(inproc_n play) commands |"
  echo "| WriteSetting returns (file synced), ms | $(inproc writesetting %.1f) | — | — | < 20: $(verdict "$(inproc_median writesetting)" "<" 20) | $(inproc_n writesetting) writes |"
  echo "| Ending: share of ticks within 16 ± 4 ms, % | $(inproc ending_share_16pm4 %.1f) | — | — | ≥ 95: $(verdict "$(inproc_median ending_share_16pm4)" ">=" 95) | $(inproc_n ending_share_16pm4) endings of 1,199 frames |"
  echo "| Ending: interval between ticks, ms | $(inproc ending_interval %.1f) | — | — | 16 | $(inproc_n ending_interval) intervals |"
} | tee "$build/bench/results.md"
# Every value noted per run, in run order, beside the table.
{
  echo "Values per run (in run order):"
  for f in "$m"/*.game "$m"/*.floor; do
    printf '  %-22s %s\n' "$(basename "$f")" "$(tr '\n' ' ' <"$f")"
  done
  echo "In-process figures (unit, samples, min, median, max):"
  sed 's/^/  /' "$work/game.tsv"
} >"$build/bench/results-runs.txt"
echo >&2
echo "(also written to $build/bench/results.md; the value of every run in $build/bench/results-runs.txt)" >&2
