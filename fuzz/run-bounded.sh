#!/usr/bin/env bash
# Runs one fuzz target over its committed inputs, bounded in time and memory.
#
#   run-bounded.sh replay FUZZER FUZZ_DIR WORK
#       runs every committed input of the target once (seed corpus and kept
#       regression inputs) and fails if any of them crashes or breaks a check;
#   run-bounded.sh fuzz FUZZER FUZZ_DIR WORK SECONDS [LIBFUZZER_OPTION...]
#       fuzzes for SECONDS from a fresh copy of those inputs in WORK/corpus, so
#       the committed corpus never grows; crash inputs land in WORK/artifacts.
#
# FUZZ_DIR is the fuzz/ folder of the source tree; the target's inputs are
# FUZZ_DIR/corpus/NAME and FUZZ_DIR/regressions/NAME, NAME being the file
# name of FUZZER. Exits non-zero on any finding.
set -euo pipefail

mode=$1
fuzzer=$2
fuzz_dir=$3
work=$4
name=$(basename "$fuzzer")
limits=(-timeout=5 -rss_limit_mb=2048)

inputs=()
for folder in "$fuzz_dir/corpus/$name" "$fuzz_dir/regressions/$name"; do
  if [ -d "$folder" ]; then
    while IFS= read -r -d '' file; do inputs+=("$file"); done < <(find "$folder" -type f -print0 | sort -z)
  fi
done
if [ "${#inputs[@]}" -eq 0 ]; then
  echo "no committed inputs for $name under $fuzz_dir" >&2
  exit 1
fi

rm -rf "$work"
mkdir -p "$work/corpus" "$work/artifacts"
case "$mode" in
  replay)
    # Given files rather than a folder, libFuzzer runs each of them once.
    "$fuzzer" "${limits[@]}" -artifact_prefix="$work/artifacts/" "${inputs[@]}"
    ;;
  fuzz)
    seconds=$5
    shift 5
    cp "${inputs[@]}" "$work/corpus/"
    "$fuzzer" "${limits[@]}" -max_total_time="$seconds" -print_final_stats=1 \
      -artifact_prefix="$work/artifacts/" "$@" "$work/corpus"
    ;;
  *)
    echo "unknown mode $mode: use replay or fuzz" >&2
    exit 2
    ;;
esac
