#!/usr/bin/env bash
# Takes a screenshot of the desktop program's main window with a model loaded, under a
# virtual X display: scripts/screenshot.sh [OUT.png] [WORKDIR] [MODEL]
# WORKDIR defaults to a copy of the version 20 samples (the copy is made in a temporary
# folder, so the samples stay untouched); MODEL to the first model of the list.
set -euo pipefail
cd "$(dirname "$0")/.."
out=$(realpath -m "${1:-docs/screenshot-main.png}")
model=${3:-}
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
if [ -n "${2:-}" ]; then
  workdir=$(realpath "$2")
else
  cp -r ../shared/samples/cod2 "$tmp/work"
  workdir="$tmp/work"
  model=${model:-viewmodel_g3}
fi
mkdir -p "$(dirname "$out")"
cmake --build build -j2 --target screenshot_form >/dev/null
TESSARY_SCREENSHOT="$out" TESSARY_SCREENSHOT_WORKDIR="$workdir" TESSARY_SCREENSHOT_MODEL="$model" \
  QT_QPA_PLATFORM=xcb xvfb-run -a -s "-screen 0 1280x1024x24" \
  build/tools/screenshot/screenshot_form
echo "screenshot: $out"
