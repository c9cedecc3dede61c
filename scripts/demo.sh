#!/usr/bin/env bash
# Builds the designer and starts it on firm 1, year 1 of the demo data root build/, which is
# created the first time. Extra arguments go to the designer (for example --run-mode=WIZARD).
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/build.sh
[ -f build/Firm1/Firm1.db ] || build/Rpt/make-demo-data build 1,1
exec build/Rpt/designer "$@" 1,1
