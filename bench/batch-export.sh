#!/usr/bin/env bash
# Batch export against the speed of the disk: `export-obj --all` over a working folder of
# thousands of model headers made from the samples, timed against the floor (reading every
# input file once and writing the same output bytes), in two cases:
#   fresh:     `obj` created just before the run (as after copying or unpacking a game)
#   overwrite: `obj` already holding the files of an earlier run
# Each round measures the floor next to each export, so both see the same load, and reads
# every input just before each timed run, so that neither starts on a cold cache.
#
# Usage: bench/batch-export.sh [--headers N] [--rounds R] [--keep] TESSARY [TESSARY...]
#   Several programs (say, an older build and this one) are measured in the same run, one
#   after the other in each round; their outputs must be byte-identical.
# Environment: SAMPLES (default ../shared/samples), BENCH_IO (default
# build/bench/bench_batch_io), TMPDIR (where the working folder goes: put it on the disk
# you want to measure).
set -euo pipefail
cd "$(dirname "$0")/.."

headers=4400
rounds=5
keep=0
programs=()
while [ $# -gt 0 ]; do
  case $1 in
    --headers) headers=$2; shift 2 ;;
    --rounds) rounds=$2; shift 2 ;;
    --keep) keep=1; shift ;;
    -*) echo "unknown option $1" >&2; exit 2 ;;
    *) programs+=("$(realpath "$1")"); shift ;;
  esac
done
[ ${#programs[@]} -gt 0 ] || { sed -n '2,16p' "$0" >&2; exit 2; }

samples=${SAMPLES:-../shared/samples}
io=$(realpath "${BENCH_IO:-build/bench/bench_batch_io}")
[ -d "$samples/cod4/xmodel" ] || { echo "no samples in $samples" >&2; exit 2; }
[ -x "$io" ] || { echo "no $io: build the benchmarks first" >&2; exit 2; }

work=$(mktemp -d "${TMPDIR:-/tmp}/tessary-batch-XXXXXX")
[ "$keep" = 1 ] || trap 'rm -rf "$work"' EXIT
wd=$work/wd
made=$("$io" make-workdir "$samples" "$wd" "$headers")

# Output folders of earlier runs are moved aside, not deleted, until the end: ext4 skips
# inodes freed moments ago when it allocates new ones, so deleting 13,000 files right
# before a run would slow the file creations of whatever runs next.
mkdir "$work/trash"
aside() { for f in "$@"; do [ ! -e "$f" ] || mv "$f" "$(mktemp -u "$work/trash/XXXXXX")"; done; }

now() { date +%s.%N; }
# Seconds taken by an export of the whole working folder with program $1.
export_time() {
  local start end
  start=$(now)
  "$1" export-obj --workdir "$wd" --all >"$work/summary" 2>"$work/messages" || true
  end=$(now)
  awk "BEGIN { print $end - $start }"
}

# A first run gives the reference output (and warms the page cache for every program).
for p in "${programs[@]}"; do
  aside "$wd/obj" && mkdir "$wd/obj"
  export_time "$p" >/dev/null
  if [ -d "$work/reference" ]; then
    diff -rq "$work/reference" "$wd/obj" >/dev/null ||
      { echo "$p writes other bytes than ${programs[0]}" >&2; exit 1; }
  else
    mv "$wd/obj" "$work/reference"
    summary=$(head -1 "$work/summary")
  fi
done
files=$(find "$work/reference" -type f | wc -l)
bytes=$(du -sb "$work/reference" | cut -f1)
echo "working folder: $made model headers; output: $files files, $((bytes / 1000000)) MB; $summary"
echo "machine: $(nproc) cores, load average $(cut -d' ' -f1-3 /proc/loadavg) before the rounds"

declare -A ratios
for ((r = 1; r <= rounds; ++r)); do
  for i in "${!programs[@]}"; do
    p=${programs[$i]}
    # The floor writes where the export writes: into an `obj` made the same way, and over
    # files the export wrote, as the export does. (Which files a run replaces matters on
    # some file systems: files written out already cost more to cut or remove than files
    # still in memory.)
    aside "$wd/obj" && mkdir "$wd/obj"
    "$io" warm "$wd"
    floor=$("$io" floor "$wd" "$work/reference" "$wd/obj" 2>/dev/null)
    aside "$wd/obj" && mkdir "$wd/obj"
    "$io" warm "$wd"
    fresh=$(export_time "$p")
    "$io" warm "$wd"
    over=$(export_time "$p")
    "$io" warm "$wd"
    floor2=$("$io" floor "$wd" "$work/reference" "$wd/obj" 2>/dev/null)
    f=$(awk "BEGIN { print $fresh / $floor }")
    o=$(awk "BEGIN { print $over / $floor2 }")
    ratios[$i,fresh]+="$f "
    ratios[$i,over]+="$o "
    printf 'round %d  %s\n  fresh:     export %6.2f s  floor %5.2f s  ratio %5.2f\n  overwrite: export %6.2f s  floor %5.2f s  ratio %5.2f\n' \
      "$r" "$p" "$fresh" "$floor" "$f" "$over" "$floor2" "$o"
  done
done

median() { tr ' ' '\n' | grep . | sort -g | awk '{ v[NR] = $1 } END { print v[int((NR + 1) / 2)] }'; }
echo "median ratio to the floor over $rounds rounds (load average now $(cut -d' ' -f1-3 /proc/loadavg)):"
for i in "${!programs[@]}"; do
  printf '  %-50s fresh %5.2f  overwrite %5.2f\n' "${programs[$i]}" \
    "$(echo "${ratios[$i,fresh]}" | median)" "$(echo "${ratios[$i,over]}" | median)"
done
