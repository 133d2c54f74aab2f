#!/usr/bin/env bash
# Builds the libFuzzer targets (clang, AddressSanitizer, UndefinedBehaviorSanitizer) into
# build-fuzz/ and runs each of them: scripts/fuzz.sh [SECONDS]  (each target; default 600).
#   FUZZ_TOTAL=N   share N seconds out among the targets instead (CI)
#   FUZZ_JOBS=N    run N targets at a time (default 1)
#   TESSARY_WERROR=ON  warnings are errors (on by default when CI=true)
# Seeds come from the sample models (../shared/samples, when present) at run time; the
# corpus grows in build-fuzz/corpus/<target>. A crash is kept in build-fuzz/findings/<target>/
# and makes the script fail; copied into tests/fuzz/<target>/ it becomes a regression input
# that the ordinary test run replays. Each target's executions and coverage are printed at
# the end (and kept in build-fuzz/summary.txt).
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
out=build-fuzz
samples=${TESSARY_SAMPLES:-$root/../shared/samples}

werror=${TESSARY_WERROR:-$([ "${CI:-}" = true ] && echo ON || echo OFF)}
CC=clang CXX=clang++ cmake -S . -B "$out" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTESSARY_FUZZ=ON \
  -DTESSARY_WERROR="$werror" \
  -DCMAKE_CXX_COMPILER_LAUNCHER=$(command -v ccache || true) \
  -DTESSARY_BUILD_GUI=OFF -DTESSARY_BUILD_TESTS=OFF -DTESSARY_BUILD_BENCH=OFF >/dev/null
cmake --build "$out" -j "$(nproc)" >/dev/null

mapfile -t targets < <(cd fuzz && ls fuzz_*.cpp | sed 's/\.cpp$//')
seconds=${1:-600}
if [ -n "${FUZZ_TOTAL:-}" ]; then seconds=$(( FUZZ_TOTAL / ${#targets[@]} )); fi
[ "$seconds" -ge 1 ] || seconds=1

# Seeds: the files of each kind from the samples; the model targets get header, parts file
# and surfaces file joined by the separator the targets split at.
seeds=$out/seeds
rm -rf "$seeds"
sep='#FILE#'
model_seeds() {  # version folder...
  local target=$1; shift
  mkdir -p "$seeds/$target"
  local n=0
  for work in "$@"; do
    [ -d "$work/xmodel" ] || continue
    for header in "$work"/xmodel/*; do
      [ -f "$header" ] || continue
      local parts="" surfs=""
      for f in "$work"/xmodelparts/*; do grep -qaiF "$(basename "$f")" "$header" && parts=$f && break; done
      for f in "$work"/xmodelsurfs/*; do grep -qaiF "$(basename "$f")" "$header" && surfs=$f && break; done
      { cat "$header"; printf '%s' "$sep"; [ -z "$parts" ] || cat "$parts"; printf '%s' "$sep"
        [ -z "$surfs" ] || cat "$surfs"; } >"$seeds/$target/$((n++))"
    done
  done
}
if [ -d "$samples" ]; then
  model_seeds fuzz_model_v14 "$samples/cod1" "$samples/cod1-animated"
  model_seeds fuzz_model_v20 "$samples/cod2"
  model_seeds fuzz_model_v25 "$samples/cod4"
  mkdir -p "$seeds/fuzz_material_scan" "$seeds/fuzz_iwi_to_dds" "$seeds/fuzz_dds_texture" \
    "$seeds/fuzz_tga_texture" "$seeds/fuzz_archive"
  for f in "$samples"/cod4/xmodel/*; do { printf '\1'; cat "$f"; } >"$seeds/fuzz_material_scan/$(basename "$f")"; done
  cp "$samples"/cod2/images/*.iwi "$seeds/fuzz_iwi_to_dds/" 2>/dev/null || true
  find "$samples" -iname '*.dds' -size -400k -exec cp {} "$seeds/fuzz_dds_texture/" \;
  find "$samples" -iname '*.tga' -exec cp {} "$seeds/fuzz_tga_texture/" \;
  cp "$samples"/archives/*.iwd "$seeds/fuzz_archive/" 2>/dev/null || true
fi
mkdir -p "$seeds/fuzz_settings"
printf '[Settings]\nWorkingFolder=/work/cod2\nShowExploded=1\n\n[RecentFiles]\n0=weapon_g3\n1=@Variant(\\0\\0\\0\\x7f\\0\\0\\0\\0)\n\n[Paths]\nCoD2=/games/cod2/\nWinRAR=\n%s[HKEY_LOCAL_MACHINE\\SOFTWARE\\Activision\\Call of Duty 2]\nInstallPath=/games/cod2/\n[HKEY_CURRENT_USER\\Software\\Ravenmoor\\Pelvane\\Settings]\nInstallPath="/opt/pelvane"\n' \
  "$sep" >"$seeds/fuzz_settings/0"

findings=$out/findings
mkdir -p "$findings"
: >"$out/summary.txt"
export ASAN_OPTIONS=detect_leaks=1:allocator_may_return_null=1
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
export LSAN_OPTIONS=suppressions=$root/tests/lsan.supp

run_one() {
  local t=$1
  mkdir -p "$out/corpus/$t" "$findings/$t" "$seeds/$t"
  local log=$out/logs/$t.log
  mkdir -p "$out/logs"
  local status=0
  "$out/fuzz/$t" "$out/corpus/$t" "$seeds/$t" -dict=fuzz/tessary.dict -max_total_time="$seconds" \
    -timeout=20 -rss_limit_mb=2048 -max_len=1048576 -print_final_stats=1 \
    -artifact_prefix="$findings/$t/" >"$log" 2>&1 || status=$?
  local execs cov
  execs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -1)
  cov=$(grep -o 'cov: [0-9]*' "$log" | tail -1 | sed 's/cov: //')
  printf '%-22s %10s executions  %6s edges covered  %s\n' "$t" "${execs:-?}" "${cov:-?}" \
    "$([ "$status" -eq 0 ] && echo ok || echo "FINDING (see $log)")" >>"$out/summary.txt"
  return "$status"
}

failed=0
jobs=${FUZZ_JOBS:-1}
pids=()
for t in "${targets[@]}"; do
  run_one "$t" &
  pids+=($!)
  if [ "${#pids[@]}" -ge "$jobs" ]; then
    wait "${pids[0]}" || failed=1
    pids=("${pids[@]:1}")
  fi
done
for p in "${pids[@]}"; do wait "$p" || failed=1; done

sort "$out/summary.txt"
if [ "$failed" -ne 0 ]; then
  echo "fuzz: findings kept in $findings:" >&2
  find "$findings" -type f >&2
  # What each finding was, for a run whose files are gone afterwards (CI).
  for t in "${targets[@]}"; do
    [ -n "$(ls -A "$findings/$t")" ] || continue
    echo "--- $t:" >&2
    grep -v -e '^QVariant::' -e '^QSettings' "$out/logs/$t.log" | grep -A 25 -m 1 -e '^==[0-9]*==' -e 'ERROR: libFuzzer' >&2 || tail -n 25 "$out/logs/$t.log" >&2
  done
  exit 1
fi
