#!/usr/bin/env bash
# Builds and runs every test, then builds everything again with AddressSanitizer and
# UndefinedBehaviorSanitizer (build-asan) and runs every test there too.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/build.sh
ctest --preset default -j"$(nproc)"
cmake --preset asan >/dev/null
cmake --build --preset asan -j"$(nproc)"
ctest --preset asan -j"$(nproc)"
