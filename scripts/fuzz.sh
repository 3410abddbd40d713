#!/usr/bin/env bash
# Fuzzes one target for a bounded time.
#
#   scripts/fuzz.sh TARGET [SECONDS] [LIBFUZZER_OPTION...]
#
# TARGET is fuzz_number_text, fuzz_image_loader or fuzz_csv_file_name, and
# SECONDS defaults to 60. Builds the clang fuzz build in build-fuzz, then
# fuzzes from a fresh working corpus, build-fuzz/fuzz/work/TARGET-run/corpus,
# seeded with the committed inputs fuzz/corpus/TARGET and
# fuzz/regressions/TARGET, which stay unchanged. Each input is limited to 5 s
# and 2 GB. An input that crashes or breaks a checked property is saved in
# build-fuzz/fuzz/work/TARGET-run/artifacts/ and the script exits non-zero;
# once the fault is mended, keep the input under fuzz/regressions/TARGET/ and
# the short fuzz runs of scripts/test.sh replay it from then on.
# Options after SECONDS go to libFuzzer, e.g. -max_len=65536.
set -euo pipefail
cd "$(dirname "$0")/.."

if [ $# -lt 1 ] || [ ! -f "fuzz/$1.cpp" ]; then
  echo "usage: scripts/fuzz.sh TARGET [SECONDS] [LIBFUZZER_OPTION...]" >&2
  echo "targets: $(cd fuzz && ls fuzz_*.cpp | sed 's/\.cpp$//' | tr '\n' ' ')" >&2
  exit 2
fi
target=$1
seconds=${2:-60}
shift $(($# >= 2 ? 2 : 1))

cmake -S . -B build-fuzz -G Ninja -DCMAKE_CXX_COMPILER=clang++ -DVASTREL_FUZZ=ON >/dev/null
cmake --build build-fuzz --target "$target"
exec fuzz/run-bounded.sh fuzz "build-fuzz/fuzz/$target" fuzz "build-fuzz/fuzz/work/$target-run" "$seconds" "$@"
