#!/usr/bin/env bash
# Takes a screenshot of the preview window on a real model under a virtual X display:
# scripts/screenshot-preview.sh [OUT.png] [WORKDIR] [MODEL] [ZOOM]
# WORKDIR defaults to a copy of the version 20 samples whose IWI images are converted to
# DDS first (in a temporary folder, so the samples stay untouched); MODEL to viewmodel_g3;
# ZOOM is the length in pixels of a right-button drag that brings the model (and the
# thumbnails with it) closer; the default 0 shows the window as it opens.
set -euo pipefail
cd "$(dirname "$0")/.."
out=$(realpath -m "${1:-docs/screenshot-preview.png}")
model=${3:-viewmodel_g3}
zoom=${4:-0}
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
cmake --build build -j2 --target screenshot_preview tessary >/dev/null
if [ -n "${2:-}" ]; then
  workdir=$(realpath "$2")
else
  cp -r ../shared/samples/cod2 "$tmp/work"
  chmod -R u+w "$tmp/work"
  workdir="$tmp/work"
  (cd "$workdir/images" && "$OLDPWD/build/tessary" convert --workdir "$workdir" *.iwi >/dev/null)
fi
mkdir -p "$(dirname "$out")"
TESSARY_PREVIEW_SCREENSHOT="$out" TESSARY_SCREENSHOT_WORKDIR="$workdir" \
  TESSARY_SCREENSHOT_MODEL="$model" TESSARY_SCREENSHOT_ZOOM="$zoom" \
  QT_QPA_PLATFORM=xcb xvfb-run -a -s "-screen 0 1280x1024x24" \
  build/tools/screenshot/screenshot_preview
echo "screenshot: $out"
