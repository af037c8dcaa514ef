#!/usr/bin/env bash
# The release preset (the one scripts/run.sh builds with) configures on a machine without
# help2man and Google Benchmark: one message each, only the manual pages and the sound
# benchmarks left out, and no -Werror, so that a newer compiler's warnings stop no build.
# Argument: the source folder.
set -euo pipefail
SOURCE=$(realpath "$1")
WORK=$(mktemp -d /tmp/oyun-build-XXXXXX)
trap 'rm -rf "$WORK"' EXIT
fail() { echo "build: FAIL: $*"; exit 1; }

# The machine's programs without help2man: a folder of links to all the others, and CMake told
# to look nowhere else.
mkdir "$WORK/bin"
for folder in /usr/local/bin /usr/bin /usr/sbin; do
  [ -d "$folder" ] || continue
  for program in "$folder"/*; do
    name=$(basename "$program")
    [ "$name" = help2man ] || [ -e "$WORK/bin/$name" ] || ln -s "$program" "$WORK/bin/$name"
  done
done
PATH="$WORK/bin" cmake --preset release -S "$SOURCE" -B "$WORK/build" -DOYUN_BUILD_TESTS=OFF \
  -DCMAKE_DISABLE_FIND_PACKAGE_benchmark=ON -DCMAKE_IGNORE_PATH="/usr/local/bin;/usr/bin;/bin;/usr/sbin;/sbin" \
  >"$WORK/configure.log" 2>&1 || { cat "$WORK/configure.log"; fail "configure without help2man and benchmark"; }

for message in "help2man not found: the manual pages are left out" \
  "Google Benchmark not found: oyun_mixer_bench and oyun_load_bench are left out"; do
  [ "$(grep -c "$message" "$WORK/configure.log")" = 1 ] || { cat "$WORK/configure.log"; fail "not once: $message"; }
done

targets=$(cmake --build "$WORK/build" --target help | sed -n 's/^\.\.\. \([^ ]*\).*/\1/p')
for target in oyun oyun-capture oyun-viewer oyun-assets oyun-bench data; do
  grep -qx "$target" <<<"$targets" || fail "no target $target"
done
for target in man oyun_mixer_bench oyun_load_bench; do
  ! grep -qx "$target" <<<"$targets" || fail "target $target without its tool"
done

flags=$(grep -o '"command": "[^"]*demo/main.cpp"' "$WORK/build/compile_commands.json")
[ -n "$flags" ] || fail "no compile command for the show"
grep -q -- " -Wall " <<<"$flags" || fail "the release build has no warnings: $flags"
! grep -q -- "-Werror" <<<"$flags" || fail "the release build turns warnings into errors: $flags"
echo "build: optional tools OK"
