#!/usr/bin/env bash
# Installs the Debian packages that building, running and testing need; only those missing.
# Works as root or through sudo.
set -euo pipefail

packages=(
  build-essential cmake pkg-config git
  libsdl2-dev libgl-dev libglu1-mesa-dev libgl1-mesa-dri libegl-mesa0 libegl1
  libavformat-dev libavcodec-dev libswresample-dev libswscale-dev libavutil-dev
  libfreetype-dev libfontconfig-dev fonts-liberation fonts-dejavu-core
  libgtest-dev libbenchmark-dev libcli11-dev
  help2man desktop-file-utils dpkg-dev man-db parallel
  xvfb xauth xdotool
  clang libclang-rt-dev
  ffmpeg python3
  xfonts-base x11-utils lintian
  libgles-dev
  emscripten node-acorn chromium
)

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$p")
  fi
done

if [ ${#missing[@]} -eq 0 ]; then
  echo "install-deps: everything is installed"
  exit 0
fi

if [ "$(id -u)" -eq 0 ]; then
  sudo=()
elif command -v sudo >/dev/null 2>&1; then
  sudo=(sudo)
else
  echo "install-deps: missing packages (${missing[*]}) and neither root nor sudo is available" >&2
  exit 1
fi

echo "install-deps: installing ${missing[*]}"
"${sudo[@]}" apt-get update
DEBIAN_FRONTEND=noninteractive "${sudo[@]}" apt-get install -y --no-install-recommends "${missing[@]}"
