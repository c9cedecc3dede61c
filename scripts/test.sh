#!/usr/bin/env bash
# Builds and runs every test, then builds everything again with AddressSanitizer and
# UndefinedBehaviorSanitizer (build-asan) and runs every test there too.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/build.sh
(cd build && QT_QPA_PLATFORM=offscreen ctest -j"$(nproc)" --output-on-failure)
cmake -S . -B build-asan -DCMAKE_BUILD_TYPE=Debug -DDESIGNER_SANITIZE=ON >/dev/null
cmake --build build-asan -j"$(nproc)"
cd build-asan
QT_QPA_PLATFORM=offscreen UBSAN_OPTIONS=print_stacktrace=1 \
  ctest -j"$(nproc)" --output-on-failure
