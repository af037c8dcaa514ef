#!/usr/bin/env bash
# The show under Xvfb with a short music file: it ends by itself with 0 when the music has
# played out, ends with 0 on Escape before that, and without music ends at once, naming the file.
source "$(dirname "$0")/lib.sh"
OYUN=$(realpath "$1")
TONE=$(realpath "$2")
DATA=$(realpath "$3")

start_xvfb
# The show's pictures with a music of the length each check needs.
link_data "$E2E_TMP/run/data" "$DATA" '*.tga' && cd "$E2E_TMP/run"

# Music of 3 s: the run must last at least that long and end by itself well before the show's
# own two minutes would (the deadline allows for a slow start under the sanitizers).
"$TONE" data/music.wma 3
started=$(date +%s%N)
"$OYUN" >"$E2E_TMP/end.log" 2>&1 &
pid=$!
wait_for_window "Oyun motorum" 60 >/dev/null || { cat "$E2E_TMP/end.log"; fail "no window"; }
wait_for_exit "$pid" 60 || { cat "$E2E_TMP/end.log"; fail "no end after the music"; }
elapsed_ms=$(( ($(date +%s%N) - started) / 1000000 ))
[ "$EXIT_CODE" = 0 ] || { cat "$E2E_TMP/end.log"; fail "exit code $EXIT_CODE at the end of the music"; }
[ "$elapsed_ms" -ge 2900 ] || fail "ended after $elapsed_ms ms, before the 3 s music could end"

# Music of 2 minutes, ended early by Escape.
"$TONE" data/music.wma 120
"$OYUN" >"$E2E_TMP/escape.log" 2>&1 &
pid=$!
id=$(wait_for_window "Oyun motorum" 60) || { cat "$E2E_TMP/escape.log"; fail "no window"; }
# Frames that differ show the show running, past set-up and its first frame.
wait_until 30 screen_changes || true
kill -0 "$pid" 2>/dev/null || { cat "$E2E_TMP/escape.log"; fail "ended before Escape"; }
# Held until the show ends: it looks at held keys, not at presses.
xdotool keydown --window "$id" Escape
ended=0
wait_for_exit "$pid" 30 && ended=1
release_keys Escape  # the window is gone by now
[ "$ended" = 1 ] || { cat "$E2E_TMP/escape.log"; fail "no end after Escape"; }
[ "$EXIT_CODE" = 0 ] || { cat "$E2E_TMP/escape.log"; fail "exit code $EXIT_CODE after Escape"; }

# Music that cannot be read: one frame, exit 0, and the reason on stderr.
printf 'not music at all' >data/music.wma
set +e
timeout 60 "$OYUN" >"$E2E_TMP/missing.log" 2>&1
code=$?
set -e
[ "$code" = 0 ] || { cat "$E2E_TMP/missing.log"; fail "exit code $code with bad music"; }
grep -q 'cannot load sound "data/music.wma"' "$E2E_TMP/missing.log" || { cat "$E2E_TMP/missing.log"; fail "no reason given for bad music"; }
echo "e2e: music end OK"
