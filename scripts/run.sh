#!/usr/bin/env bash
# Installs what is missing, builds the release, generates data/ and starts the show.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
cmake --preset release
cmake --build --preset release -j "$(nproc)"
cd build
exec ./oyun
