#!/usr/bin/env bash
# Flash bench: the time from the demo page's completed load (its onload, where the program
# sees DocumentComplete) to the first frame of its movie on the screen, and the resident
# memory the player adds to the engine's web process (the demo page with the Flash module
# and its player, against the same page with a module that makes no Flash class available).
#
#   bench/flash.sh [build folder (default build/)] [runs (default 5)]
#
# Needs the build's Pelmarin, its module and player, its demo site and the test fixture
# modules (a build with the tests). A measurement, not a test: it prints each run and the
# medians.
set -euo pipefail
here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
root="$(cd "$here/.." && pwd)"
build="$(realpath -m "${1:-$root/build}")"
runs="${2:-5}"

for needed in Pelmarin MOXVE32_24.ocx flash-player/player-files.txt demo-site/flash/demo.swf \
              fixtures/flash/success/MOXVE32_24.ocx; do
  if [ ! -e "$build/$needed" ]; then
    echo "missing in $build: $needed (build the tree with the tests first)" >&2
    exit 2
  fi
done
exec /usr/bin/python3 "$here/measure_flash.py" --build "$build" --runs "$runs"
