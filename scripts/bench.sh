#!/usr/bin/env bash
# Builds the benchmarks (Release, build-bench/) and runs them on a fresh data root a hundred times
# a real firm's size, on the files and on a throwaway server (--benchmark_filter=server:0 runs the
# files alone). An optional argument names a file for Google Benchmark's JSON results.
# Further options go to the benchmark program (e.g. --benchmark_filter=Picker).
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh
cmake --preset bench >/dev/null
cmake --build --preset bench -j"$(nproc)"
args=()
if (($#)) && [[ "$1" != --* ]]; then
  args+=(--benchmark_out="$1" --benchmark_out_format=json)
  shift
fi
echo "load average: $(cut -d' ' -f1-3 /proc/loadavg), cores: $(nproc)"
# The server cases start a throwaway server in this folder; it is stopped when the program ends,
# and here again should the program die.
export BENCH_SERVER_DIR
BENCH_SERVER_DIR=$(mktemp -u /tmp/designer-bench-pg.XXXXXX)
trap 'scripts/pg-cluster.sh stop "$BENCH_SERVER_DIR"' EXIT
# Repetitions of all cases run in a random order, so that a case and its baseline meet the disk
# and the machine's load alike.
QT_QPA_PLATFORM=offscreen build-bench/bench/designer_bench --benchmark_enable_random_interleaving=true \
  "${args[@]}" "$@"
