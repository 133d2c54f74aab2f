#!/usr/bin/env bash
# Exports every sample model with two builds of the command-line program and compares
# what they write, byte for byte, with their messages and exit statuses: every level of
# every model through export-obj, export-x and tags, once as asked and once with
# --show-exploded.
#   scripts/compare-exports.sh OLD_TESSARY NEW_TESSARY [SAMPLES_FOLDER]
# Exit status 0 when both builds wrote the same; the differences are listed otherwise.
set -uo pipefail
old=$(realpath "$1") new=$(realpath "$2")
samples=$(realpath "${3:-$(dirname "$0")/../../shared/samples}")
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
export HOME="$work/home" XDG_CONFIG_HOME="$work/home/.config"  # no stored settings
mkdir -p "$HOME"

run_all() {  # binary, output folder
  local bin=$1 out=$2
  for game in "$samples"/*/; do
    game=$(basename "$game")
    [ -d "$samples/$game/xmodel" ] || continue
    for exploded in "" "--show-exploded"; do
      local wd="$out/$game${exploded:+-exploded}"
      cp -r "$samples/$game" "$wd"
      rm -rf "$wd/obj" && mkdir -p "$wd/obj"
      for model in $(ls "$wd/xmodel"); do
        for lod in "" 0 1 2 3 4; do
          for cmd in export-obj export-x; do
            "$bin" "$cmd" --workdir "$wd" ${lod:+--lod "$lod"} $exploded "$model" \
              >>"$wd/obj/log.txt" 2>&1
            echo "$cmd $model ${lod:-default} $exploded: $?" >>"$wd/obj/log.txt"
          done
        done
        "$bin" tags --workdir "$wd" "$model" >>"$wd/obj/log.txt" 2>&1
        echo "tags $model: $?" >>"$wd/obj/log.txt"
      done
      sed -i "s|$wd|WORKDIR|g" "$wd/obj/log.txt"
    done
  done
}

mkdir -p "$work/old" "$work/new"
run_all "$old" "$work/old"
run_all "$new" "$work/new"
count=$(find "$work/new" -path '*/obj/*' -type f | wc -l)
if diff -r "$work/old" "$work/new" >"$work/diff.txt"; then
  echo "identical: $count files compared"
else
  cat "$work/diff.txt"
  exit 1
fi
