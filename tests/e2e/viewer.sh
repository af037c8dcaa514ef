#!/usr/bin/env bash
# The model viewer under Xvfb: draws the sample model in the middle of its window, keeps
# running while the arrow keys move the second model, pauses on P and ends with 0 on Alt+F4.
# A missing or corrupt model ends it with a reason and no window; a bad texture is reported
# in one line and the model is drawn untextured, with no message box to block the run.
source "$(dirname "$0")/lib.sh"
VIEWER=$(realpath "$1")
MODELS=$(realpath "$2")

# The viewer's clear colour, (0.10, 0.12, 0.18) in 8-bit channels.
BACKGROUND="26 31 46"

# Counts the pixels of a w x h rectangle at (x, y) of the screen that differ from the
# background by more than a little in any channel; prints "differing total".
count_foreground() {
  local file="$E2E_TMP/grab.rgb"
  grab_screen "$file" "$@"
  od -An -v -tu1 -w3 "$file" | awk -v bg="$BACKGROUND" '
    function far(a, b) { return (a > b ? a - b : b - a) > 12 }
    BEGIN { split(bg, c, " ") }
    NF == 3 { if (far($1, c[1]) || far($2, c[2]) || far($3, c[3])) n++ }
    END { print n + 0, NR }'
}

# The part of the window where the models move, between the overlay's lines.
MODELS_AREA=(0 100 1024 560)

# True when the models' area shows one picture in at least six grabs spanning at least $1 ms,
# taken at uneven moments: the model walks a cycle of 12 frames a second, so grabs a whole
# cycle apart match while it walks, and so could evenly spaced grabs on a slow machine. Sets
# STILL to its checksum.
holds_still() {
  local end=$(( $(date +%s%N) + $1 * 1000000 )) grabs=1
  STILL=$(grab_sum "${MODELS_AREA[@]}")
  while :; do
    sleep "$(printf '0.%02d' $(( 5 + RANDOM % 30 )))"
    [ "$(grab_sum "${MODELS_AREA[@]}")" = "$STILL" ] || return 1
    grabs=$(( grabs + 1 ))
    [ "$grabs" -ge 6 ] && [ "$(date +%s%N)" -ge "$end" ] && return 0
  done
}

# True when the models' area differs from checksum $1.
changed_from() { [ "$(grab_sum "${MODELS_AREA[@]}")" != "$1" ]; }

# True when the models' area holds still on a picture other than checksum $1.
settled_away_from() { holds_still 300 && [ "$STILL" != "$1" ]; }

# True when the first model fills at least a quarter of the centre; sets centre and total.
shows_model() {
  read -r centre total <<<"$(count_foreground 452 220 120 160)"
  [ "${total:-0}" -gt 0 ] && [ "${centre:-0}" -ge $(( total / 4 )) ]
}

# Runs the viewer to its end without a window expected; sets CODE.
run_to_end() {
  local log=$1; shift
  set +e
  timeout 30 "$VIEWER" "$@" >"$log" 2>&1
  CODE=$?
  set -e
}

start_xvfb
mkdir -p "$E2E_TMP/run" && cd "$E2E_TMP/run"

# The sample model with its texture found next to it.
"$VIEWER" "$MODELS/walker.txt" >"$E2E_TMP/walker.log" 2>&1 &
pid=$!
id=$(wait_for_window "oyun-viewer" 60) || { cat "$E2E_TMP/walker.log"; fail "no window"; }
# Once drawn, the first model stands in the middle: its torso fills most of the centre. The
# window's size and place are checked first, as the likelier reason when it never does.
drawn=0
wait_until 30 shows_model && drawn=1
eval "$(xdotool getwindowgeometry --shell "$id")"
[ "$WIDTH" = 1024 ] && [ "$HEIGHT" = 768 ] || fail "window is ${WIDTH}x${HEIGHT}"
[ "$X" = 0 ] && [ "$Y" = 0 ] || fail "window at $X,$Y; the pixel checks expect it at 0,0"
[ "$drawn" = 1 ] || fail "only $centre of $total centre pixels show the model"
# The top right corner is left to the background, so the colour compared against is right.
read -r corner total <<<"$(count_foreground 900 0 124 90)"
[ "$corner" -le $(( total / 10 )) ] || fail "$corner of $total corner pixels are not background"

# Unpaused the model walks; paused, the picture holds still; the arrows, held until it moves,
# still move the second model.
walking=$(grab_sum "${MODELS_AREA[@]}")
wait_until 20 "changed_from $walking" || fail "the model does not walk"
xdotool key --window "$id" p
wait_until 20 "holds_still 500" || fail "the picture changes while paused"
for arrow in Left Up; do
  before=$STILL
  xdotool keydown --window "$id" "$arrow"
  moved=0
  wait_until 20 "changed_from $before" && moved=1
  xdotool keyup --window "$id" "$arrow"
  [ "$moved" = 1 ] || fail "the $arrow key moved nothing"
  wait_until 20 "holds_still 300" || fail "the picture changes while paused after the $arrow key"
done
kill -0 "$pid" 2>/dev/null || { cat "$E2E_TMP/walker.log"; fail "ended after the arrow keys"; }
# Wireframe and normals change the still picture once both are taken.
xdotool key --window "$id" w n
wait_until 20 "settled_away_from $STILL" || fail "W and N changed nothing"
kill -0 "$pid" 2>/dev/null || { cat "$E2E_TMP/walker.log"; fail "ended after W and N"; }

# The window may be gone before the key-up events reach it.
xdotool key --window "$id" alt+F4 2>/dev/null || true
wait_for_exit "$pid" 30 || fail "no exit after Alt+F4"
release_keys alt F4
[ "$EXIT_CODE" = 0 ] || { cat "$E2E_TMP/walker.log"; fail "exit code $EXIT_CODE after Alt+F4"; }
[ ! -s "$E2E_TMP/walker.log" ] || { cat "$E2E_TMP/walker.log"; fail "complaints about the sample model"; }

# A model that is not there, and one cut short: a reason naming the file, exit 1, and the
# shell never opened a window (it logs each one it opens).
rm -f log.htm
run_to_end "$E2E_TMP/missing.log" nothere.txt
[ "$CODE" = 1 ] || { cat "$E2E_TMP/missing.log"; fail "exit code $CODE for a missing model"; }
grep -q "^oyun-viewer: cannot open model file nothere.txt: No such file or directory$" "$E2E_TMP/missing.log" ||
  { cat "$E2E_TMP/missing.log"; fail "no clear reason for a missing model"; }
printf 'walker\nnumofjoints 2\nnumofframe 1\nframerate 12\nbody {\n\tPOINT 3\n' >corrupt.txt
run_to_end "$E2E_TMP/corrupt.log" corrupt.txt
[ "$CODE" = 1 ] || { cat "$E2E_TMP/corrupt.log"; fail "exit code $CODE for a corrupt model"; }
[ "$(wc -l <"$E2E_TMP/corrupt.log")" = 1 ] || { cat "$E2E_TMP/corrupt.log"; fail "not one line for a corrupt model"; }
grep -q "^oyun-viewer: corrupt.txt:[0-9]*: [a-z]" "$E2E_TMP/corrupt.log" ||
  { cat "$E2E_TMP/corrupt.log"; fail "no clear reason for a corrupt model"; }
! grep -q "Pencere yaratildi" log.htm 2>/dev/null || fail "a window opened for a bad model"

# Wrong arguments: the usage line and 2.
run_to_end "$E2E_TMP/usage.log"
[ "$CODE" = 2 ] || fail "exit code $CODE without arguments"
grep -q "^Usage: oyun-viewer \[OPTIONS\] MODEL \[TEXTURE\]$" "$E2E_TMP/usage.log" || fail "no usage line"

# Bad textures: one line, then the model untextured; Escape ends it with 0. The loaders' own
# boxes are kept off the screen: a box from the corrupt TGA would block the viewer on a
# display that can show one (and would be seen here as a second window).
printf 'not a picture at all' >broken.tga
for texture in "$E2E_TMP/run/missing.bmp" "$E2E_TMP/run/broken.tga"; do
  "$VIEWER" "$MODELS/walker.txt" "$texture" >"$E2E_TMP/texture.log" 2>&1 &
  pid=$!
  id=$(wait_for_window "oyun-viewer" 60) || { cat "$E2E_TMP/texture.log"; fail "no window with $texture"; }
  # Drawn means set-up, texture and all, went by without a box to stop it.
  drawn=0
  wait_until 30 shows_model && drawn=1
  kill -0 "$pid" 2>/dev/null || { cat "$E2E_TMP/texture.log"; fail "ended with $texture"; }
  [ "$(xdotool search --name '.' 2>/dev/null | wc -l)" = 1 ] || fail "another window besides the viewer's with $texture"
  [ "$drawn" = 1 ] || fail "no untextured model drawn with $texture"
  xdotool key --window "$id" Escape 2>/dev/null || true
  wait_for_exit "$pid" 30 || { cat "$E2E_TMP/texture.log"; fail "no exit on Escape with $texture"; }
  release_keys Escape
  [ "$EXIT_CODE" = 0 ] || { cat "$E2E_TMP/texture.log"; fail "exit code $EXIT_CODE with $texture"; }
  grep -q "^oyun-viewer: cannot .* texture $texture: .*; drawing untextured$" "$E2E_TMP/texture.log" ||
    { cat "$E2E_TMP/texture.log"; fail "no clear reason for $texture"; }
done

# No display at all: one line that says so, and 1.
set +e
env -u DISPLAY -u WAYLAND_DISPLAY SDL_VIDEODRIVER=x11 timeout 20 "$VIEWER" "$MODELS/walker.txt" >"$E2E_TMP/nodisplay.log" 2>&1
CODE=$?
set -e
[ "$CODE" = 1 ] || { cat "$E2E_TMP/nodisplay.log"; fail "exit code $CODE without a display"; }
grep -q "^oyun-viewer: no display found" "$E2E_TMP/nodisplay.log" || fail "no reason given without a display"

# Ctrl+C or a plain kill: the viewer closes its window and ends with the usual status.
"$VIEWER" "$MODELS/walker.txt" >"$E2E_TMP/signal.log" 2>&1 &
pid=$!
wait_for_window "oyun-viewer" 60 >/dev/null || { cat "$E2E_TMP/signal.log"; fail "no window before the signal"; }
kill -TERM "$pid"
wait_for_exit "$pid" 20 || fail "SIGTERM did not end the viewer"
[ "$EXIT_CODE" = 143 ] || { cat "$E2E_TMP/signal.log"; fail "exit code $EXIT_CODE after SIGTERM"; }
echo "e2e: viewer OK"
