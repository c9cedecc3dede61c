#!/usr/bin/env bash
# Builds the libFuzzer targets with clang into build-fuzz and runs each for SECONDS (default 60).
# New inputs go to build-fuzz/corpus/; the seeds in tests/fuzz/corpus/ are only read. A failing
# input is left as build-fuzz/crash-* and the script stops non-zero.
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-60}
scripts/setup.sh
cmake --preset fuzz >/dev/null
cmake --build --preset fuzz -j"$(nproc)"
targets=(command_line format_string report_text)
for target in "${targets[@]}"; do
  mkdir -p "build-fuzz/corpus/$target"
  (cd build-fuzz && "tests/fuzz/fuzz_$target" -max_total_time="$seconds" -max_len=4096 -print_final_stats=1 \
     "corpus/$target" "../tests/fuzz/corpus/$target")
done
