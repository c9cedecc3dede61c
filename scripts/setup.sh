#!/usr/bin/env bash
# Installs the Debian packages the build, the tests and the demo need (skipped when present).
set -euo pipefail
packages=(cmake g++ make pkg-config qt6-base-dev libsqlcipher-dev sqlcipher libgtest-dev
          libbenchmark-dev fonts-dejavu-core fonts-liberation clang libclang-rt-dev libxlsxwriter-dev
          poppler-utils postgresql postgresql-contrib libpq-dev)
missing=()
for p in "${packages[@]}"; do
  dpkg -s "$p" >/dev/null 2>&1 || missing+=("$p")
done
if ((${#missing[@]})); then
  sudo=""
  [ "$(id -u)" -eq 0 ] || sudo="sudo"
  $sudo apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq "${missing[@]}"
fi
