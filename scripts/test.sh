#!/usr/bin/env bash
# Builds Tessary and runs every test; with --sanitize, in a separate AddressSanitizer +
# UndefinedBehaviorSanitizer build.
set -euo pipefail
cd "$(dirname "$0")/.."
if [ "${1:-}" = "--sanitize" ]; then
  scripts/build.sh build-asan -DTESSARY_SANITIZE=ON -DCMAKE_BUILD_TYPE=Debug -DTESSARY_BUILD_GUI=OFF
  export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1
  export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
  ctest --test-dir build-asan --output-on-failure -j "$(nproc)"
else
  scripts/build.sh build
  ctest --test-dir build --output-on-failure -j "$(nproc)"
fi
