#!/usr/bin/env bash
# Installs what is missing, builds the show and its data (nothing else: the tests, tools and
# benchmarks come with scripts/test.sh), and starts the show.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
cmake --preset release
cmake --build --preset release -j "$(nproc)" --target oyun
cd build
exec ./oyun "$@"
