#!/usr/bin/env bash
# The real window under Xvfb: opens at 1024x768 titled "Oyun motorum", writes log.htm, and
# ends with 0 on Alt+F4; without any display it ends at once with a clear message.
source "$(dirname "$0")/lib.sh"
OYUN=$(realpath "$1")
TONE=$(realpath "$2")
DATA=$(realpath "$3")

start_xvfb
# The show's pictures with a music of the length each check needs.
link_data "$E2E_TMP/run/data" "$DATA" '*.tga' && cd "$E2E_TMP/run"
# The show lasts as long as its music.
"$TONE" data/music.wma 60
"$OYUN" >"$E2E_TMP/out.log" 2>&1 &
pid=$!
id=$(wait_for_window "Oyun motorum" 60) || { cat "$E2E_TMP/out.log"; fail "no window"; }
WIDTH="" HEIGHT=""
full_size() {
  eval "$(xdotool getwindowgeometry --shell "$id")"
  [ "$WIDTH" = 1024 ] && [ "$HEIGHT" = 768 ]
}
wait_until 10 full_size || fail "window is ${WIDTH}x${HEIGHT}"
# Keys count once the show draws: a key pressed during set-up is let go again when the window
# gains the keyboard.
wait_until 60 screen_changes || fail "the show does not move"
# Set-up empties the log; keypad 3, held until the line is there, writes the camera to it.
xdotool keydown --window "$id" KP_3
wait_until 30 "grep -q '<b>.*,</b><br>' log.htm 2>/dev/null" || true
xdotool keyup --window "$id" KP_3
# The window may be gone before the key is released.
xdotool key --window "$id" alt+F4 2>/dev/null || true
wait_for_exit "$pid" 30 || fail "no exit after Alt+F4"
release_keys alt F4
[ "$EXIT_CODE" = 0 ] || { cat "$E2E_TMP/out.log"; fail "exit code $EXIT_CODE"; }
grep -q "<b>.*,</b><br>" log.htm || fail "no camera line in log.htm"

# Ctrl+C or a termination signal ends the show as the close box does, with 128 + the signal.
"$TONE" data/music.wma 60
"$OYUN" >"$E2E_TMP/term.log" 2>&1 &
pid=$!
wait_for_window "Oyun motorum" 60 >/dev/null || { cat "$E2E_TMP/term.log"; fail "no window"; }
kill -TERM "$pid"
wait_for_exit "$pid" 30 || fail "no exit after SIGTERM"
[ "$EXIT_CODE" = 143 ] || { cat "$E2E_TMP/term.log"; fail "exit code $EXIT_CODE after SIGTERM"; }

# A display that cannot be reached: a clear message and 1, never a hang.
set +e
env -u WAYLAND_DISPLAY DISPLAY=:9999 timeout 20 "$OYUN" >"$E2E_TMP/nodisplay.log" 2>&1
code=$?
set -e
[ "$code" = 1 ] || { cat "$E2E_TMP/nodisplay.log"; fail "exit code $code without a display"; }
grep -q "^oyun: no display found" "$E2E_TMP/nodisplay.log" || fail "no reason given without a display"
echo "e2e: shell window OK"
