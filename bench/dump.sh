#!/usr/bin/env bash
# Dump bench: time from the start of a navigation to the end of the main window's
# DocumentComplete handling for pages of 10 KB, 1 MB and 5 MB of body HTML with 200 script
# elements, logging off and on, and the log writer's lines per second (one flush a line),
# on this machine, in one run, on the desktop engine under a private Xvfb.
#
#   bench/dump.sh [build folder (default build/)] [runs per case (default 5)]
#
# Builds the bench (Release) in that folder. A measurement, not a test: it prints medians;
# the targets are on/off at most 1.15 for the 1 MB page and at least 50,000 lines a second.
set -euo pipefail
here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
root="$(cd "$here/.." && pwd)"
build="$(realpath -m "${1:-$root/build}")"
runs="${2:-5}"

if [ ! -f "$build/CMakeCache.txt" ]; then
  # -O2 as scripts/start.sh builds it (GCC 12 misreports warnings at -O3).
  cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=Release -DPELMARIN_DESKTOP=ON \
    "-DCMAKE_CXX_FLAGS_RELEASE=-O2 -DNDEBUG" "-DCMAKE_C_FLAGS_RELEASE=-O2 -DNDEBUG"
fi
cmake --build "$build" -j 2 --target dump_bench

work="$(mktemp -d)"
xvfb_pid=""
cleanup() {
  [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT

mkdir -p "$work/home" "$work/config" "$work/cache" "$work/data" "$work/runtime" "$work/pages"
chmod 700 "$work/runtime"
# A display of our own; -displayfd tells which number it took.
exec 3> "$work/display"
Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp > "$work/xvfb.log" 2>&1 &
xvfb_pid=$!
for _ in $(seq 100); do [ -s "$work/display" ] && break; sleep 0.1; done
display=":$(tr -d '\n' < "$work/display")"

env -u NO_AT_BRIDGE -u GTK_A11Y DISPLAY="$display" NO_AT_BRIDGE=1 HOME="$work/home" \
  XDG_CONFIG_HOME="$work/config" XDG_CACHE_HOME="$work/cache" XDG_DATA_HOME="$work/data" \
  XDG_RUNTIME_DIR="$work/runtime" PELMARIN_MACHINE_REGISTRY="$work/machine" \
  "$build/tests/diagnostics/dump_bench" "$work/pages" "$runs"
du -sh "$work/config" | sed 's/^/log and dump files written: /'
