#!/usr/bin/env bash
# Hostile-pages bench: the end-to-end cases of tests/e2e/test_hostile_pages.py and
# test_hostile_logging.py with the full counts (1000 popups twice, a title of 1 MiB
# characters, 100,000 console messages, a 50 MB body, 1000 navigations after 100 of warm-up),
# each under a private Xvfb through the e2e harness. Prints each case's figures and keeps
# them as JSON (hostile-<case>.json) in the output folder.
#
#   bench/hostile.sh [build folder with the desktop backend (default build/)] [output folder]
#
# A measurement, not a test: it takes several minutes. The assertions still run, with the
# full counts.
set -euo pipefail
here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
root="$(cd "$here/.." && pwd)"
build="$(realpath -m "${1:-$root/build}")"
output="$(realpath -m "${2:-$build/bench-output/hostile}")"

if [ ! -x "$build/Pelmarin" ]; then
  echo "no $build/Pelmarin: build the desktop program first (scripts/test.sh or cmake -DPELMARIN_DESKTOP=ON)" >&2
  exit 2
fi
mkdir -p "$output"

export PELMARIN_HOSTILE_POPUPS="${PELMARIN_HOSTILE_POPUPS:-1000}"
export PELMARIN_HOSTILE_TITLE_CHARACTERS="${PELMARIN_HOSTILE_TITLE_CHARACTERS:-1048576}"
export PELMARIN_HOSTILE_CONSOLE_MESSAGES="${PELMARIN_HOSTILE_CONSOLE_MESSAGES:-100000}"
export PELMARIN_HOSTILE_BODY_MEGABYTES="${PELMARIN_HOSTILE_BODY_MEGABYTES:-50}"
export PELMARIN_HOSTILE_NAVIGATIONS="${PELMARIN_HOSTILE_NAVIGATIONS:-1000}"
export PELMARIN_HOSTILE_NAVIGATION_WARM_UP="${PELMARIN_HOSTILE_NAVIGATION_WARM_UP:-100}"

status=0
for module in test_hostile_pages test_hostile_logging; do
  /usr/bin/python3 "$root/tests/e2e/run_e2e.py" --program "$build/Pelmarin" --output "$output" "$module" \
    2>&1 | grep -v '^dbus-daemon\|^SpiRegistry' || status=1
done
echo "figures kept in $output:"
for file in "$output"/hostile-*.json; do
  [ -f "$file" ] && echo "  $(basename "$file")"
done
exit "$status"
