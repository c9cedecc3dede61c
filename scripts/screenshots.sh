#!/usr/bin/env bash
# Builds, then renders pictures of the windows on a fresh demo firm into docs/screenshots/.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh
cmake --preset default >/dev/null
cmake --build --preset default -j"$(nproc)" --target screenshots
mkdir -p docs/screenshots
QT_QPA_PLATFORM=offscreen build/screenshots docs/screenshots
