#!/usr/bin/env bash
# Starts the game from a build folder with its registry and records kept in that folder
# (devhome/), so that a developer build never touches the player's own: an installed game runs
# as before once the build folder is gone. tools/setup.sh run ends here.
#   tools/run-dev.sh [build folder]   default build/dev; registers that build's Qel in devhome/
# To register a build for the player instead, run its tools/regsvr/tavorin-regsvr by hand.
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build=$(cd "${1:-$root/build/dev}" && pwd)

# The registry and the records follow XDG_CONFIG_HOME, the hint tables XDG_CACHE_HOME.
export XDG_CONFIG_HOME=$build/devhome/config XDG_CACHE_HOME=$build/devhome/cache
mkdir -p "$XDG_CONFIG_HOME" "$XDG_CACHE_HOME"
"$build/tools/regsvr/tavorin-regsvr" "$build/resources/libQel.so" >/dev/null
# The game opens its music by bare name from the folder it starts in.
cd "$build/game"
exec ./Tavorin
