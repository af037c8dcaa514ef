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

echo "== the page's data (pictures, music as Ogg Opus, glyphs) and the tests' native frames (desktop build)"
cmake --preset release
cmake --build build --target data glyphs oyun_web_reference -j "$jobs"

echo "== the page (WebAssembly and WebGL 2) into build-web/"
cmake --preset web
cmake --build --preset web -j "$jobs"

if [ "$serve" -eq 1 ]; then
  port="${PORT:-8000}"
  host="${HOST:-localhost}"
  echo "web.sh: the show is at http://$host:$port/ (Ctrl+C stops the server)"
  exec python3 -m http.server "$port" --bind "$host" --directory build-web
fi
