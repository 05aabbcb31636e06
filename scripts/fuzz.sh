#!/usr/bin/env bash
# Fuzzing campaign: scripts/fuzz.sh [SECONDS] [TARGET...]
#
# Builds the fuzz configuration in build-fuzz/ (clang, address and undefined-behaviour
# sanitizers, every project library instrumented for coverage), then runs each target (default:
# all; names with or without "_fuzz") for SECONDS (default 60), two at a time at low priority.
# Inputs that add coverage are merged back into the kept corpora, tests/fuzz/corpus/<target>/.
# Every crash, leak, time-out or out-of-memory input is kept under build-fuzz/findings/<target>/
# and makes the script exit non-zero (remove it once mended). Logs and a summary: build-fuzz/fuzz-logs/.
#
# HALVEX_FUZZ_JOBS sets how many targets run at once (default 2). HALVEX_FUZZ_MINIMIZE=1 rebuilds
# each kept corpus from scratch (the smallest set with the same coverage) instead of adding to it.
# Inputs are at most 1 KB: enough for every format's structure, and it keeps the corpora small.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=$root/build-fuzz
seconds=60
if [[ $# -gt 0 && $1 =~ ^[0-9]+$ ]]; then
  seconds=$1
  shift
fi
jobs=${HALVEX_FUZZ_JOBS:-2}
minimize=${HALVEX_FUZZ_MINIMIZE:-0}
max_len=1024

# ---- build -----------------------------------------------------------------------------------
"$root/scripts/setup.sh"
launcher=()
if command -v ccache >/dev/null; then
  launcher=(-DCMAKE_C_COMPILER_LAUNCHER=ccache -DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
fi
# -O2 without NDEBUG: fast, and the assertions stay armed. Warnings are the ordinary builds'
# business (scripts/test.sh); here they never stop a campaign.
cmake -S "$root" -B "$build" -G Ninja -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ \
  -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_C_FLAGS_RELWITHDEBINFO="-O2 -g" -DCMAKE_CXX_FLAGS_RELWITHDEBINFO="-O2 -g" \
  -DHALVEX_FUZZ=ON -DHALVEX_BENCH=OFF -DHALVEX_WERROR=OFF "${launcher[@]}" >/dev/null

# build-fuzz/fuzz-targets.txt, one line per target separated by "|": name, binary, kept corpus, dictionary, extra seeds.
mapfile -t all_lines <"$build/fuzz-targets.txt"
selected=()
if [ $# -eq 0 ]; then
  selected=("${all_lines[@]}")
else
  for want in "$@"; do
    found=""
    for line in "${all_lines[@]}"; do
      name=${line%%|*}
      if [ "$name" = "$want" ] || [ "$name" = "${want}_fuzz" ]; then found=$line; fi
    done
    [ -n "$found" ] || { echo "fuzz.sh: no target $want" >&2; exit 2; }
    selected+=("$found")
  done
fi
targets=()
for line in "${selected[@]}"; do targets+=("${line%%|*}"); done
nice -n 10 cmake --build "$build" --target "${targets[@]}"

# ---- one target --------------------------------------------------------------------------------
logs=$build/fuzz-logs
mkdir -p "$logs"

# Copies seed files and folders into one flat folder (libFuzzer takes folders only).
stage_seeds() {
  local into=$1
  shift
  rm -rf "$into"
  mkdir -p "$into"
  local n=0
  for seed in "$@"; do
    while IFS= read -r -d '' file; do
      n=$((n + 1))
      cp "$file" "$into/seed$n-$(basename "$file")"
    done < <(find "$seed" -type f -print0)
  done
}

run_target() {
  local name bin corpus dict seeds
  IFS='|' read -r name bin corpus dict seeds <<<"$1"
  local work=$build/fuzz-work/$name findings=$build/findings/$name log=$logs/$name.log
  rm -rf "$work"
  mkdir -p "$work" "$findings" "$corpus"
  # shellcheck disable=SC2086  # seeds are space-separated paths without spaces
  stage_seeds "$build/fuzz-seeds/$name" $seeds
  local options=(-max_total_time="$seconds" -max_len=$max_len -timeout=10 -rss_limit_mb=2048
    -print_final_stats=1 -artifact_prefix="$findings/")
  [ -n "$dict" ] && options+=(-dict="$dict")
  # New inputs land in the scratch folder; the kept corpus and the seeds are only read. Run from
  # build-fuzz/ so that nothing the targets read relative to the working directory is found.
  local cpu
  cpu=$( { TIMEFORMAT='%U %S'; time (cd "$build" && nice -n 15 "$bin" "${options[@]}" "$work" "$corpus" \
    "$build/fuzz-seeds/$name" >"$log" 2>&1 || true); } 2>&1 | awk '{print $1 + $2}')
  # Into the kept corpus only what adds coverage to it; or, minimising, the smallest set that
  # covers all of it.
  local merged=$corpus sources=("$work" "$build/fuzz-seeds/$name")
  if [ "$minimize" = 1 ]; then
    merged=$build/fuzz-work/$name.minimized
    rm -rf "$merged"
    mkdir -p "$merged"
    sources+=("$corpus")
  fi
  (cd "$build" && nice -n 15 "$bin" -merge=1 -max_len=$max_len -timeout=10 "$merged" "${sources[@]}") \
    >"$log.merge" 2>&1 || true
  if [ "$minimize" = 1 ] && [ -n "$(ls -A "$merged")" ]; then
    rm -rf "$corpus"
    mv "$merged" "$corpus"
  fi

  local runs rate cpu_rate cov files kb found
  runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -1)
  rate=$(sed -n 's/^stat::average_exec_per_sec: *//p' "$log" | tail -1)
  # Per second of CPU time too: on a shared machine the wall-clock rate mostly measures the others.
  cpu_rate=$(awk -v r="${runs:-0}" -v c="${cpu:-0}" 'BEGIN { if (c > 0) printf "%d", r / c; else print "?" }')
  cov=$(grep -o 'cov: [0-9]* ft: [0-9]*' "$log" | tail -1 || true)
  files=$(find "$corpus" -type f | wc -l)
  kb=$(du -sk --apparent-size "$corpus" | cut -f1)
  found=$(find "$findings" -type f \( -name 'crash-*' -o -name 'leak-*' -o -name 'timeout-*' -o -name 'oom-*' \) | wc -l)
  printf '%-25s %6s/s %6s/cpu-s %9s runs  %-19s corpus %4s files %4s KB  findings %s\n' \
    "$name" "${rate:-?}" "$cpu_rate" "${runs:-?}" "${cov:-cov: ?}" "$files" "$kb" "$found" | tee -a "$logs/summary.txt"
}

# ---- all targets, a few at a time ------------------------------------------------------------
echo "fuzz.sh: ${#selected[@]} target(s), ${seconds} s each, $jobs at a time ($(date -u +%FT%TZ))" | tee -a "$logs/summary.txt"
for line in "${selected[@]}"; do
  while [ "$(jobs -rp | wc -l)" -ge "$jobs" ]; do wait -n || true; done
  run_target "$line" &
done
wait

folders=()
for name in "${targets[@]}"; do folders+=("$build/findings/$name"); done
findings=$(find "${folders[@]}" -type f \( -name 'crash-*' -o -name 'leak-*' -o -name 'timeout-*' -o -name 'oom-*' \) | sort)
if [ -n "$findings" ]; then
  echo "fuzz.sh: findings (reproduce with the target binary and the file):" >&2
  echo "$findings" >&2
  exit 1
fi
echo "fuzz.sh: no findings"
