#!/usr/bin/env bash
# Installs what is missing, builds the show as a web page into build-web/ and serves that folder
# at http://localhost:8000/ (PORT and HOST change where). --no-serve only builds.
set -euo pipefail
cd "$(dirname "$0")/.."
serve=1
for argument in "$@"; do
  case "$argument" in
    --no-serve) serve=0 ;;
    -h|--help) sed -n '2,3s/^# //p' "$0"; exit 0 ;;
    *) echo "web.sh: unknown argument $argument (try --help)" >&2; exit 2 ;;
  esac
done

scripts/install-deps.sh
jobs=$(nproc)
# Emscripten's optimiser finds its JavaScript parser (node-acorn) here.
export NODE_PATH=/usr/share/nodejs
# Emscripten builds its C and C++ libraries into its cache on first use, offline; where the
# system's cache cannot be written, into one of the user's own.
if [ ! -w /usr/share/emscripten/cache ]; then
  export EM_CACHE="${XDG_CACHE_HOME:-$HOME/.cache}/oyun-emscripten"
fi

# The desktop build that makes the page's data and draws the tests' native frames: the release
# preset's build/ unless OYUN_NATIVE_PRESET names another (scripts/test.sh reuses its own).
native_preset="${OYUN_NATIVE_PRESET:-release}"
native_build=$(python3 -c '
import json, sys
for preset in json.load(open("CMakePresets.json"))["configurePresets"]:
    if preset["name"] == sys.argv[1]:
        print(preset["binaryDir"].replace("${sourceDir}", "."))' "$native_preset")
[ -n "$native_build" ] || { echo "web.sh: no configure preset $native_preset" >&2; exit 2; }

echo "== the page's data (pictures, music as Ogg Opus, glyphs) and the tests' native frames ($native_build)"
cmake --preset "$native_preset"
cmake --build "$native_build" --target data glyphs oyun-capture -j "$jobs"

echo "== the page (WebAssembly and WebGL 2) into build-web/"
cmake --preset web -DOYUN_NATIVE_BUILD="$(realpath "$native_build")"
cmake --build --preset web -j "$jobs"

if [ "$serve" -eq 1 ]; then
  port="${PORT:-8000}"
  host="${HOST:-localhost}"
  echo "web.sh: the show is at http://$host:$port/ (Ctrl+C stops the server)"
  exec python3 -m http.server "$port" --bind "$host" --directory build-web
fi
