# Runs one libFuzzer target of the clang build for a bounded time over its seeds and its growing corpus.
#
# usage: fuzz.sh <source folder> <target, e.g. picture> <seconds>
# Builds the "fuzz" preset first when needed (one build at a time, whoever asks first), then runs
# build/fuzz/fuzz/fuzz_<target> for <seconds>. Inputs that reach new code are kept in
# build/fuzz/corpus/<target>, so every run starts where the last ended. A crash, a hang (an
# input taking over 60 s), a leak or a broken promise fails the run; the input that did it is
# kept in build/fuzz/findings/<target>/ and its path printed. Skips (77) without clang.
set -uo pipefail

source_dir=$1
target=$2
seconds=$3
build=$source_dir/build/fuzz

command -v clang++ >/dev/null || { echo "SKIP: clang++ is not installed"; exit 77; }

mkdir -p "$build"
(
  flock 9
  cd "$source_dir" &&
    { [ -f "$build/CMakeCache.txt" ] || cmake --preset fuzz >"$build/configure.log" 2>&1; } &&
    cmake --build --preset fuzz >"$build/build.log" 2>&1
) 9>"$build/.build-lock" || { echo "FAIL: the fuzz build failed"; tail -n 40 "$build"/configure.log "$build"/build.log 2>/dev/null; exit 1; }

case $target in
  picture) dict=picture.dict; seeds=picture; max_len=98304 ;;   # past 64 KiB: the path form reads a head first
  midi_file | media_command) dict=midi.dict; seeds=midi; max_len=16384 ;;
  registry) dict=json.dict; seeds=registry; max_len=16384 ;;
  settings) dict=json.dict; seeds=settings; max_len=16384 ;;
  *) echo "FAIL: unknown fuzz target $target"; exit 2 ;;
esac

corpus=$build/corpus/$target
findings=$build/findings/$target
log=$build/fuzz_$target.log
mkdir -p "$corpus" "$findings"

export ASAN_OPTIONS=${ASAN_OPTIONS:-detect_leaks=1}
export LSAN_OPTIONS="suppressions=$source_dir/tests/sanitizers/lsan.supp:print_suppressions=0"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"
export QT_QPA_PLATFORM=offscreen

started=$(date +%s)
"$build/fuzz/fuzz_$target" \
  -max_total_time="$seconds" -timeout=60 -rss_limit_mb=3072 -max_len="$max_len" \
  -dict="$source_dir/fuzz/dict/$dict" -print_final_stats=1 -artifact_prefix="$findings/" \
  "$corpus" "$build/fuzz/seeds/$seeds" >"$log" 2>&1
rc=$?
ended=$(date +%s)

runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -n1)
coverage=$(grep -Eo 'cov: [0-9]+' "$log" | tail -n1)
echo "fuzz_$target: ${runs:-?} inputs in $((ended - started)) s, $coverage, corpus $(ls "$corpus" | wc -l) files; log $log"
if [ "$rc" -ne 0 ]; then
  echo "FAIL: fuzz_$target exited with status $rc"
  grep -E -A 30 'ERROR|BROKEN PROMISE|deadly signal|Timeout|out-of-memory' "$log" | head -n 80
  ls -t "$findings" | head -n 3 | sed "s|^|finding: $findings/|"
  exit 1
fi
echo "PASS"
