#!/usr/bin/env bash
# Builds the libFuzzer targets with clang into build-fuzz and runs each for SECONDS (default 60).
# New inputs go to build-fuzz/corpus/; the seeds in tests/fuzz/corpus/ are only read. A failing
# input is left as build-fuzz/crash-* and the script stops non-zero.
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-60}
scripts/setup.sh
CC=clang CXX=clang++ cmake -S . -B build-fuzz -DCMAKE_BUILD_TYPE=RelWithDebInfo -DDESIGNER_FUZZ=ON \
  -DBUILD_TESTING=OFF >/dev/null
targets=(command_line format_string report_text)
cmake --build build-fuzz -j"$(nproc)" --target "${targets[@]/#/fuzz_}"
for target in "${targets[@]}"; do
  mkdir -p "build-fuzz/corpus/$target"
  (cd build-fuzz && "tests/fuzz/fuzz_$target" -max_total_time="$seconds" -max_len=4096 -print_final_stats=1 \
     "corpus/$target" "../tests/fuzz/corpus/$target")
done
