# A lost or renamed folder of tests, platform layers, benchmarks or tools stops the configure
# step with an error naming it, instead of its targets and tests dropping out without a word.
#   SOURCE_DIR  the source tree, copied without its build folders
set -euo pipefail
: "${SOURCE_DIR:?the source tree}"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir "$work/src"
tar -C "$SOURCE_DIR" --exclude=./build --exclude=./.git -cf - . | tar -C "$work/src" -xf -

lost=(tests/resources platform/timer bench/floor tools/solve)
for folder in "${lost[@]}"; do rm -r "$work/src/$folder"; done
if cmake -S "$work/src" -B "$work/build" -G Ninja >"$work/configure.log" 2>&1; then
  echo "FAIL: the configure step passed without ${lost[*]}" >&2
  exit 1
fi
status=0
for folder in "${lost[@]}"; do
  # CMake Error at tests/CMakeLists.txt:11 (add_subdirectory):
  #   add_subdirectory given source "settings" which is not an existing directory.
  grep -A2 -F "CMake Error at ${folder%/*}/CMakeLists.txt" "$work/configure.log" | tr -s ' \n' ' ' |
    grep -qF "given source \"${folder#*/}\"" || { echo "FAIL: no configure error names $folder" >&2; status=1; }
done
[ "$status" -eq 0 ] || { cat "$work/configure.log" >&2; exit 1; }
echo "PASS"
