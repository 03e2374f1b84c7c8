#!/usr/bin/env bash
# Runs the libFuzzer programs of build-fuzz, each for the given number of seconds
# (600 unless told), FUZZ_JOBS at a time (2 unless told), at the lowest priority.
# Each target starts from its corpus in fuzz/corpus and grows a working copy in
# build-fuzz/fuzz-work; logs go to build-fuzz/fuzz-logs, and any input that failed
# or ran too long to build-fuzz/fuzz-found.
#   fuzz/run_fuzzers.sh [seconds] [target ...]
set -uo pipefail
cd "$(dirname "$0")/.."

seconds=${1:-600}
shift || true
jobs=${FUZZ_JOBS:-2}
targets=("$@")
if [ ${#targets[@]} -eq 0 ]; then
  targets=(local_run meet_header lap_file heat_table ind2_file results_file site_control
           season_list field_reader numeric_value time_text shift_jis_decode shift_jis_encode)
fi

mkdir -p build-fuzz/fuzz-logs build-fuzz/fuzz-work build-fuzz/fuzz-found

run_one() {
  local t=$1
  local work=build-fuzz/fuzz-work/$t
  local found=build-fuzz/fuzz-found/$t
  mkdir -p "$work" "$found"
  echo "$t start $(date -u +%H:%M:%S)" >> build-fuzz/fuzz-logs/summary.txt
  # The time limit of one input is generous: on a machine shared with builds a
  # whole meet of 32000 listed competitors takes tens of seconds under the sanitizers.
  nice -n 19 build-fuzz/fuzz/fuzz_"$t" "$work" fuzz/corpus/"$t" \
    -dict=fuzz/meet_files.dict -max_total_time="$seconds" -timeout=120 -rss_limit_mb=2048 \
    -max_len=16384 -print_final_stats=1 -artifact_prefix="$found"/ \
    > build-fuzz/fuzz-logs/"$t".log 2>&1
  echo "$t exit $? $(date -u +%H:%M:%S)" >> build-fuzz/fuzz-logs/summary.txt
}

running=0
for t in "${targets[@]}"; do
  run_one "$t" &
  running=$((running + 1))
  if [ $running -ge "$jobs" ]; then
    wait -n
    running=$((running - 1))
  fi
done
wait
