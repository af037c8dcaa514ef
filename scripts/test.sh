#!/usr/bin/env bash
# Installs what is missing, builds, and runs the whole test suite headless: the release
# build with warnings as errors (in build-ci/), the same with clang (build-clang/, no tests),
# then the sanitizer build (ASan + UBSan) with its bounded fuzzing runs.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
jobs=$(nproc)

echo "== release build and tests, warnings as errors"
cmake --preset ci
cmake --build --preset ci -j "$jobs"
ctest --preset ci -j "$jobs"

echo "== release build with clang, warnings as errors"
cmake --preset clang-release
cmake --build --preset clang-release -j "$jobs"

echo "== sanitizer build and tests"
cmake --preset sanitize
cmake --build --preset sanitize -j "$jobs"
ctest --preset sanitize -j "$jobs"

echo "== web page build and browser tests (headless Chromium)"
OYUN_NATIVE_PRESET=ci scripts/web.sh --no-serve
ctest --test-dir build-web --output-on-failure
