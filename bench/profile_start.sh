#!/usr/bin/env bash
# Profiles the start of the game and of the floor: where the main thread's time goes from the
# exec to the first paint, what the dynamic linker does, and which shared libraries are loaded.
#
# Usage: bench/profile_start.sh [starts]    (default 20; about a minute after the build)
#
# Builds the release preset's Tavorin, Qel, tavorin-regsvr, bench_floor and bench_first_paint,
# then under the shell checks' private Xvfb and XDG folders (tests/e2e/lib.sh):
#   - perf record (Debian's linux-perf) samples every start at 4 kHz from the spawn until
#     bench_first_paint sees the title and the buttons painted (it then ends the program); the
#     main thread's samples of all starts are summed by shared object and by symbol;
#   - LD_DEBUG=statistics of one start: the dynamic linker's time and relocation counts;
#   - the shared objects mapped 2 s after the exec (from /proc/<pid>/maps), counted and listed.
# Nothing is timed against a goal here: bench/run.sh gives the figures.
set -euo pipefail

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
cd "$root"
starts=${1:-20}
[[ $starts =~ ^[0-9]+$ ]] && ((starts >= 1)) || { echo "usage: bench/profile_start.sh [starts]" >&2; exit 2; }
for tool in cmake perf Xvfb xdpyinfo awk; do
  command -v "$tool" >/dev/null || { echo "bench/profile_start.sh: $tool is missing (packages: cmake linux-perf xvfb x11-utils)" >&2; exit 1; }
done

build=$root/build/release
cmake --preset release >/dev/null
cmake --build --preset release --target Tavorin Qel tavorin-regsvr bench_floor bench_first_paint >&2

# The private folders, X server and Qel registration of the shell checks.
QEL=$build/resources/libQel.so REGSVR=$build/tools/regsvr/tavorin-regsvr
source "$root/tests/e2e/lib.sh"
register_qel
start_x

paint=$build/bench/paint/bench_first_paint
regions=(-s 354x414 -r "68,6,221,57" -r "30,379,89,35" -r "134,379,89,35" -r "238,379,89,35")
game_dir=$build/game

profile() {   # <name> <min colours> <program>
  local name=$1 colours=$2 program=$3 i ms
  echo "== $name =="
  # One start unmeasured, so that every measured one finds its files in the page cache.
  (cd "$game_dir" && "$paint" "${regions[@]}" -c "$colours" -- "$program") >/dev/null
  : >"$work/ms"
  for i in $(seq "$starts"); do
    (cd "$game_dir" && perf record -q -F 4000 -o "$work/$name-$i.data" -- \
      "$paint" "${regions[@]}" -c "$colours" -- "$program") >>"$work/ms" 2>/dev/null
  done
  echo "exec to first paint under perf, ms (median of $starts): $(sort -g "$work/ms" | awk '{ v[NR] = $1 } END { print v[int(NR / 2) + 1] }')"
  for i in $(seq "$starts"); do
    perf script -i "$work/$name-$i.data" -F comm,pid,tid,ip,sym,dso 2>/dev/null
  done | awk -v comm="$(basename "$program" | cut -c1-15)" '
    # "comm pid/tid address symbol (shared object)", of the main thread alone (pid = tid).
    $1 == comm {
      split($2, id, "/")
      if (id[1] != id[2]) next
      dso = $NF; gsub(/[()]/, "", dso); n = split(dso, part, "/"); dso = part[n]
      sym = $4; for (k = 5; k < NF; ++k) sym = sym " " $k
      if (sym == "" || sym ~ /^\[unknown\]$/) sym = "?"
      total++; bydso[dso]++; bysym[sym " [" dso "]"]++
    }
    END {
      printf "main-thread samples: %d\n", total
      print "by shared object:"
      for (d in bydso) printf "%7.1f %%  %s\n", 100 * bydso[d] / total, d | "sort -rn | head -n 12"
      close("sort -rn | head -n 12")
      print "by symbol:"
      for (s in bysym) printf "%7.1f %%  %s\n", 100 * bysym[s] / total, s | "sort -rn | head -n 15"
      close("sort -rn | head -n 15")
    }'
  echo "dynamic linker (LD_DEBUG=statistics, one start):"
  (cd "$game_dir" && LD_DEBUG=statistics LD_DEBUG_OUTPUT="$work/ld-$name" "$paint" "${regions[@]}" -c "$colours" -- "$program") >/dev/null
  # The painter writes a file of its own: the program's is the one with the most relocations.
  best=
  most=-1
  for f in "$work/ld-$name".*; do
    n=$(sed -n 's/.*number of relocations: *\([0-9]*\).*/\1/p' "$f" | head -n1)
    if [ -n "$n" ] && [ "$n" -gt "$most" ]; then most=$n; best=$f; fi
  done
  [ -z "$best" ] || sed -n 's/^ *[0-9]*:[[:space:]]*//; /total startup time\|time needed for relocation\|number of relocations\|to load objects/p' "$best" | head -n 6 | sed 's/^/  /'
  (cd "$game_dir" && exec "$program") >/dev/null 2>&1 &
  app_pid=$!
  pids+=("$app_pid")
  sleep 2
  awk '$6 ~ /\.so/ { n = split($6, p, "/"); print p[n] }' "/proc/$app_pid/maps" | sort -u >"$work/libs-$name"
  kill "$app_pid"; wait "$app_pid" 2>/dev/null || true
  echo "shared objects mapped 2 s after the exec: $(wc -l <"$work/libs-$name")"
  echo
}

profile floor 1 "$build/bench/floor/bench_floor"
profile game 4 "$game_dir/Tavorin"
echo "== shared objects of the game that the floor does not map =="
comm -13 "$work/libs-floor" "$work/libs-game" | tr '\n' ' '
echo
