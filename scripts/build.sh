#!/usr/bin/env bash
# Builds into build/ (the program and its tools land in build/Rpt/).
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh
cmake --preset default >/dev/null
cmake --build --preset default -j"$(nproc)"
