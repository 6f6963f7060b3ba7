#!/usr/bin/env bash
# The checks that depend on who runs them, as a new contributor meets them: an ordinary account
# with umask 002 (files group-writable by default, as on Ubuntu and on Debian with personal
# groups), a fresh clone, the README's run command until the game's window shows, then the
# normal build and the tests of the settings store, the component layer, the single-instance
# lock, the edge cases, the developer loop and the start-up checks (the hint tables found beside
# the program, the cache folder, Wayland).
#   tools/user-checks.sh <repository>   as the ordinary user; the clone lives in a temporary folder of the home
# tools/setup.sh test runs it as the account tools/test-user.sh names.
set -euo pipefail
umask 002
repository=${1:?the repository to clone}
[ "$(id -u)" -ne 0 ] || { echo "user-checks.sh: run this as an ordinary user, not root" >&2; exit 2; }

work=$(mktemp -d "$HOME/tavorin-checks.XXXXXX")
trap 'rm -rf "$work"' EXIT
start=$SECONDS
# The repository belongs to someone else (root, in CI): git reads it only when told it is safe,
# which this clone alone is told, by a configuration file of its own.
printf '[safe]\n\tdirectory = *\n' >"$work/gitconfig"
GIT_CONFIG_GLOBAL=$work/gitconfig git clone -q "$repository" "$work/tavorin"
cd "$work/tavorin"
echo "== $(id -un), umask $(umask), fresh clone in $work/tavorin"

# The run command from the clean clone: it builds what playing needs and the window shows.
SOURCE_DIR=$PWD bash tests/devloop/run_command.sh
echo "== the run command showed the window $((SECONDS - start)) s after the clone"

cmake --preset dev >/dev/null
cmake --build --preset dev
ctest --preset dev --label-regex 'settings|component|instance|edges|devloop|install|startup'
echo "== ordinary user's checks: $((SECONDS - start)) s"
