# Shared helpers of the end-to-end scripts: a private Xvfb display and waiting.
set -euo pipefail

E2E_TMP=$(mktemp -d /tmp/oyun-e2e-XXXXXX)
XVFB_PID=""

e2e_cleanup() {
  # Whatever a failed check left running goes with the display.
  local children
  children=$(jobs -p)
  [ -n "$children" ] && kill -9 $children 2>/dev/null || true
  if [ -n "$XVFB_PID" ]; then kill "$XVFB_PID" 2>/dev/null || true; wait "$XVFB_PID" 2>/dev/null || true; fi
  rm -rf "$E2E_TMP"
}
trap e2e_cleanup EXIT

# Starts Xvfb on a free display (1024x768x24) and exports DISPLAY. Without -noreset the
# server resets whenever its last client leaves, and a program connecting during a reset
# between two polls of xdotool is turned away. SDL is held to X11 so that a failed
# connection is an error, not a quiet fall back to another video driver.
start_xvfb() {
  exec 3<> "$E2E_TMP/displayfd"
  Xvfb -displayfd 3 -noreset -screen 0 1024x768x24 -nolisten tcp ${XVFB_FONT_PATH:+-fp "$XVFB_FONT_PATH"} >"$E2E_TMP/xvfb.log" 2>&1 &
  XVFB_PID=$!
  local number=""
  for _ in $(seq 100); do
    number=$(head -n1 "$E2E_TMP/displayfd" 2>/dev/null || true)
    [ -n "$number" ] && break
    sleep 0.1
  done
  [ -n "$number" ] || { echo "e2e: Xvfb did not start"; cat "$E2E_TMP/xvfb.log"; exit 1; }
  export DISPLAY=":$number"
  export SDL_VIDEODRIVER=x11
}

# Waits up to $2 seconds for a window named $1; prints its id.
wait_for_window() {
  local id=""
  for _ in $(seq $(( $2 * 10 ))); do
    id=$(xdotool search --name "^$1\$" 2>/dev/null | head -n1 || true)
    [ -n "$id" ] && { echo "$id"; return 0; }
    sleep 0.1
  done
  return 1
}

# Waits up to $2 seconds for process $1 to end; sets EXIT_CODE.
wait_for_exit() {
  for _ in $(seq $(( $2 * 10 ))); do
    if ! kill -0 "$1" 2>/dev/null; then
      set +e; wait "$1"; EXIT_CODE=$?; set -e
      return 0
    fi
    sleep 0.1
  done
  kill -9 "$1" 2>/dev/null || true
  echo "e2e: process did not end within $2 s"
  return 1
}

# Evaluates the shell condition after $1 until it holds, at least once and for up to $1
# seconds; false if it never did. Failures inside the condition do not end the script.
#   wait_until 10 "grep -q done log.txt"
wait_until() {
  local deadline=$(( $(date +%s%N) + $1 * 1000000000 ))
  shift
  until eval "$*"; do
    [ "$(date +%s%N)" -lt "$deadline" ] || return 1
    sleep 0.1
  done
}

# Releases keys on the whole display. A window that closes on a key's press can leave the key
# down in the server (xdotool stops at the vanished window), and the next program's window
# would find it held.
release_keys() { xdotool keyup "$@" 2>/dev/null || true; }

# Makes folder $1 with links to the files of the data folder $2 that match the pattern $3
# (all of them by default): the show's data, of which a check replaces what it needs.
#   link_data run/data "$DATA" '*.tga'
link_data() {
  mkdir -p "$1"
  local file
  for file in "$2"/${3:-*}; do ln -s "$file" "$1/"; done
}

# Writes the screen, or the w x h rectangle at (x, y) of it, as raw RGB to file $1 ("-" for
# stdout): grab_screen FILE [x y w h].
grab_screen() {
  local crop=()
  [ $# -eq 5 ] && crop=(-vf "crop=$4:$5:$2:$3")
  ffmpeg -loglevel error -y -draw_mouse 0 -f x11grab -video_size 1024x768 -i "$DISPLAY" -frames:v 1 \
    "${crop[@]}" -f rawvideo -pix_fmt rgb24 "$1"
}

# Checksum of the w x h rectangle at (x, y) of the screen: grab_sum x y w h.
grab_sum() { grab_screen - "$@" | md5sum | cut -d' ' -f1; }

# True when two screenshots a moment apart differ: something on the screen is moving.
screen_changes() {
  local first
  first=$(grab_sum 0 0 1024 768)
  sleep 0.1
  [ "$(grab_sum 0 0 1024 768)" != "$first" ]
}

fail() { echo "e2e: FAIL: $*"; exit 1; }

# The font path of every Xvfb the script starts: the server's default, or OYUN_E2E_FONT_PATH.
# "built-ins" leaves the server only its few built-in fonts, as on a machine without X core
# fonts (xfonts-base): SDL then hands its message boxes to zenity instead of drawing them.
XVFB_FONT_PATH=${OYUN_E2E_FONT_PATH:-}
