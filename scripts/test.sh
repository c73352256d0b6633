#!/usr/bin/env bash
# Installs what is missing, builds build/ (RelWithDebInfo), build-asan/ (AddressSanitizer
# and UndefinedBehaviorSanitizer) and build-fuzz/ (the parsers' libFuzzer targets, with
# clang), and runs the tests: all of them in build/, the ones without the "e2e" label in
# build-asan/, and each fuzz target for a short while in build-fuzz/. Exits non-zero when
# anything fails.
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/lib/common.sh"

pelmarin_install_missing_packages
pelmarin_build "$PELMARIN_ROOT/build" RelWithDebInfo
# Unoptimised: exact stack traces, and GCC 12 reports false "maybe uninitialized"
# warnings inside std::regex and std::function when it optimises sanitized code.
pelmarin_build "$PELMARIN_ROOT/build-asan" Debug -DPELMARIN_SANITIZE=ON
# Only the fuzz targets and the libraries they need; libFuzzer comes with clang.
CC=clang CXX=clang++ pelmarin_build "$PELMARIN_ROOT/build-fuzz" RelWithDebInfo -DPELMARIN_FUZZ=ON

failed=0
pelmarin_log "Tests in build/ (end-to-end tests included)"
(cd "$PELMARIN_ROOT/build" && ctest --output-on-failure -j "$(pelmarin_jobs)") || failed=1

pelmarin_log "Tests in build-asan/ (without the end-to-end tests)"
(cd "$PELMARIN_ROOT/build-asan" && ctest --output-on-failure -j "$(pelmarin_jobs)" -LE e2e) || failed=1

pelmarin_log "Fuzz targets in build-fuzz/ (each on its corpus for a short while)"
(cd "$PELMARIN_ROOT/build-fuzz" && ctest --output-on-failure -j "$(pelmarin_jobs)" -L fuzz) || failed=1

if [ "$failed" -ne 0 ]; then
  pelmarin_log "Some tests failed"
  exit 1
fi
pelmarin_log "All tests passed"
