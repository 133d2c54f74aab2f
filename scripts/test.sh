#!/usr/bin/env bash
# Builds Tessary and runs every test; with --sanitize, in a separate AddressSanitizer +
# UndefinedBehaviorSanitizer build (the desktop program included). The preview window's
# tests (label "display") need an X display for their OpenGL context: without one they run
# under Xvfb. Warnings are errors when TESSARY_WERROR=ON or CI=true (as .ci/run sets).
set -euo pipefail
cd "$(dirname "$0")/.."
werror=${TESSARY_WERROR:-$([ "${CI:-}" = true ] && echo ON || echo OFF)}

run_display_tests() {
  local dir=$1
  if [ -n "${DISPLAY:-}" ]; then
    ctest --test-dir "$dir" --output-on-failure -L display
  elif command -v xvfb-run >/dev/null; then
    xvfb-run -a -s "-screen 0 1280x1024x24" ctest --test-dir "$dir" --output-on-failure -L display
  else
    echo "test.sh: no display and no xvfb-run: the preview window tests will skip" >&2
    ctest --test-dir "$dir" --output-on-failure -L display
  fi
}

if [ "${1:-}" = "--sanitize" ]; then
  # Set before the build too: the test programs are run once at build time to list their
  # tests, and Qt, Mesa and fontconfig keep allocations for the life of the process.
  export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1
  export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
  export LSAN_OPTIONS=suppressions=$PWD/tests/lsan.supp
  scripts/build.sh build-asan -DTESSARY_SANITIZE=ON -DCMAKE_BUILD_TYPE=Debug -DTESSARY_BUILD_GUI=ON \
    -DTESSARY_WERROR="$werror"
  ctest --test-dir build-asan --output-on-failure -j "$(nproc)" -LE display
  # The preview window's tests draw through the X server's GL driver, which is loaded and
  # unloaded at run time: what it keeps can be named by no suppression, so no leak check.
  ASAN_OPTIONS=detect_leaks=0:abort_on_error=1 run_display_tests build-asan
else
  scripts/build.sh build -DTESSARY_WERROR="$werror"
  ctest --test-dir build --output-on-failure -j "$(nproc)" -LE display
  run_display_tests build
fi
