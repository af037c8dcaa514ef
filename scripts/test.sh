#!/usr/bin/env bash
# Installs what is missing, builds, and runs the whole test suite headless: the release
# build, then the sanitizer build (ASan + UBSan) with its bounded fuzzing runs.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
jobs=$(nproc)

echo "== release build and tests"
cmake --preset release
cmake --build --preset release -j "$jobs"
ctest --preset release -j "$jobs"

echo "== sanitizer build and tests"
cmake --preset sanitize
cmake --build --preset sanitize -j "$jobs"
ctest --preset sanitize -j "$jobs"

echo "== web page build and browser tests (headless Chromium)"
scripts/web.sh --no-serve
ctest --test-dir build-web --output-on-failure
