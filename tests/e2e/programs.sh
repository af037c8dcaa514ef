#!/usr/bin/env bash
# Each program as a user meets it: --help, --version and wrong command lines; the show and the
# viewer without a display, and with a renderer that cannot start; the show started from
# another folder, with and without data; and a termination signal while a message box is
# open. Arguments: oyun oyun-viewer oyun-capture oyun-assets oyun-bench (an empty name skips
# that program) and the data folder.
source "$(dirname "$0")/lib.sh"
OYUN=$(realpath "$1")
VIEWER=$(realpath "$2")
CAPTURE=$(realpath "$3")
ASSETS=$(realpath "$4")
BENCH=${5:+$(realpath "$5")}
DATA=$(realpath "$6")
MODEL=$(realpath "$(dirname "$0")/../../examples/models/walker.txt")

# True while process $1 runs (a zombie waiting for its parent counts as ended).
alive() { ps -o stat= -p "$1" 2>/dev/null | grep -qv '^Z'; }

# True when the X server has a window named $1 (SDL names its box's window in UTF-8, which
# xdotool's search does not read).
has_window() { xwininfo -root -tree | grep -q "^ *0x[0-9a-f]* \"$1\":"; }

# Finds the box of show $1 captioned $2, whichever way SDL shows it: its own window of that
# name, or zenity started with that title, both from the show's box child (the leader of a
# process group of its own). Sets BOX_KIND, BOX_CHILD, BOX_HELPERS (the group's other
# processes) and BOX_CAPTION.
find_box() {
  BOX_CAPTION=$2
  BOX_CHILD=$(pgrep -P "$1" | head -n1 || true)
  [ -n "$BOX_CHILD" ] || return 1
  BOX_HELPERS=$(pgrep -g "$BOX_CHILD" | grep -vx "$BOX_CHILD" | tr '\n' ' ' || true)
  if has_window "$2"; then
    BOX_KIND="SDL's own window"
  elif pgrep -g "$BOX_CHILD" -f "zenity .*--title $2( |\$)" >/dev/null; then
    BOX_KIND="handed to zenity"
  else
    return 1
  fi
}

# Waits up to $3 seconds for the box of show $1 captioned $2 (see find_box).
wait_for_box() { wait_until "$3" "find_box $1 $2"; }

# What is left of the last box found: its processes and its window.
box_remains() {
  local process
  for process in $BOX_CHILD $BOX_HELPERS; do
    if alive "$process"; then echo -n "process $process ($(ps -o args= -p "$process")); "; fi
  done
  if has_window "$BOX_CAPTION"; then echo -n "the window $BOX_CAPTION"; fi
}
box_gone() { [ -z "$(box_remains)" ]; }

# The way the X server's fonts make SDL show the box: with core fonts beyond the server's
# built-in ones (xfonts-base, or gsfonts-x11 from ImageMagick) it draws the box itself, and
# with only the built-in ones it hands the box to zenity.
expect_box_kind() {
  local fonts expected="handed to zenity"
  fonts=$(xlsfonts 2>/dev/null | grep -Ecvx 'cursor|fixed|6x13|-misc-fixed-medium-r-semicondensed--(0|13)-.*' || true)
  [ "$fonts" = 0 ] || expected="SDL's own window"
  [ "$BOX_KIND" = "$expected" ] || fail "the box was $BOX_KIND, but with $fonts core fonts SDL shows it $expected"
}

# Runs "$@" with a deadline; sets CODE, OUT and ERR.
run() {
  set +e
  timeout 20 "$@" >"$E2E_TMP/out" 2>"$E2E_TMP/err" </dev/null
  CODE=$?
  set -e
  OUT=$(cat "$E2E_TMP/out")
  ERR=$(cat "$E2E_TMP/err")
}

for program in "$OYUN" "$VIEWER" "$CAPTURE" "$ASSETS" $BENCH; do
  name=$(basename "$program")
  run "$program" --help
  [ "$CODE" = 0 ] || fail "$name --help: status $CODE"
  grep -q "^Usage: $name" <<<"$OUT" || fail "$name --help shows no usage: $OUT"
  [ -z "$ERR" ] || fail "$name --help wrote to stderr: $ERR"
  run "$program" --version
  [ "$CODE" = 0 ] && grep -qx "$name [0-9][0-9.]*" <<<"$OUT" || fail "$name --version: status $CODE, $OUT"
  run "$program" --bogus
  [ "$CODE" = 2 ] || fail "$name --bogus: status $CODE"
  grep -q "^$name: .*--bogus" <<<"$ERR" || fail "$name --bogus said: $ERR"
  grep -q "^Usage: $name" <<<"$ERR" || fail "$name --bogus gave no usage: $ERR"
  [ ! -e ./--bogus ] || fail "$name made a file named --bogus"
done

# A wrong value or a missing one: the program's own words, never CLI11's.
cli11='The following argument|required .* missing|Could not convert|not in range|Expected (exactly|at least)|allowed value|At Most|At least|flag override|true/false'
wrong_values=(
  "$OYUN|--from abc|--from: 'abc' is not a number of milliseconds from 0 to 86400000"
  "$OYUN|--from 99999999999|--from: '99999999999' is not a number of milliseconds"
  "$OYUN|--window=maybe|--window: takes no value, not 'maybe'"
  "$OYUN|--data|--data: needs a value"
  "$OYUN|--from 1 --from 2|--from: takes at most one value, not 2"
  "$CAPTURE|--output x.mp4 --fps abc|--fps: 'abc' is not a whole number from 1 to 1000"
  "$CAPTURE|--output|--output: needs a value"
  "$CAPTURE|--output x.mp4 --quiet=maybe|--quiet: takes no value, not 'maybe'"
  "$VIEWER|a.txt b.tga c.tga|unexpected argument c.tga"
  "$ASSETS|out --icons|--icons: needs a value"
  "$ASSETS|a b|unexpected argument b"
)
[ -z "$BENCH" ] || wrong_values+=(
  "$BENCH|--frames abc|--frames: 'abc' is not a whole number from 1 to 1000000"
  "$BENCH|--only scenes,nope|--only: 'nope' is not one of scenes, capture, jobs, supersample, startup, drawing or renderers"
  "$BENCH|--capture-format avi|--capture-format: 'avi' is not one of mp4, mkv or webm"
  "$BENCH|--jobs|--jobs: needs a value"
)
for entry in "${wrong_values[@]}"; do
  IFS='|' read -r program arguments message <<<"$entry"
  name=$(basename "$program")
  run "$program" $arguments
  [ "$CODE" = 2 ] || fail "$name $arguments: status $CODE ($ERR)"
  grep -qF "$name: $message" <<<"$(head -n1 <<<"$ERR")" || fail "$name $arguments said: $ERR"
  ! grep -Eq "$cli11" <<<"$ERR" || fail "$name $arguments speaks CLI11's words: $ERR"
done

cd "$E2E_TMP"
# No display: one line that says so and how to get one, status 1 (not the deadline's 124).
for program in "$OYUN" "$VIEWER $MODEL"; do
  run env -u DISPLAY -u WAYLAND_DISPLAY -u SDL_VIDEODRIVER $program
  [ "$CODE" = 1 ] || fail "$program without a display: status $CODE ($ERR)"
  [ "$(wc -l <"$E2E_TMP/err")" = 1 ] || fail "$program without a display said more than one line: $ERR"
  grep -q "no display found" <<<"$ERR" || fail "$program without a display said: $ERR"
done

# The renderer: gl11 or gles3, any other name a wrong command line; a gles3 that gets no
# OpenGL ES 3.0 context (Mesa made to offer ES 2.0 at most) ends with one line and 1, never
# falling back to gl11: offscreen here, under Xvfb below.
for program in "$OYUN --window" "$VIEWER $MODEL"; do
  name=$(basename "${program%% *}")
  run $program --help
  grep -q -- "--renderer NAME .*gl11.*gles3" <<<"$OUT" || fail "$name --help shows no --renderer: $OUT"
  run $program --renderer gl12
  [ "$CODE" = 2 ] && grep -qx "$name: --renderer: unknown renderer \"gl12\" (gl11 or gles3)" <<<"$(head -n1 <<<"$ERR")" &&
    grep -q "^Usage: $name" <<<"$ERR" || fail "$name --renderer gl12: status $CODE, $ERR"
  run env SDL_VIDEODRIVER=offscreen MESA_GLES_VERSION_OVERRIDE=2.0 $program --renderer gles3
  [ "$CODE" = 1 ] && [ "$(wc -l <"$E2E_TMP/err")" = 1 ] && grep -q "^$name: no OpenGL ES 3.0 context: ." <<<"$ERR" ||
    fail "$name --renderer gles3 without ES 3.0, offscreen: status $CODE, $ERR"
done

# No data anywhere: a copy of the program away from the build, in an empty folder.
mkdir -p lone && cp "$OYUN" lone/oyun && cd lone
run env -u DISPLAY -u WAYLAND_DISPLAY ./oyun
[ "$CODE" = 1 ] || fail "no data: status $CODE ($ERR)"
[ "$(wc -l <"$E2E_TMP/err")" = 1 ] && grep -q "^oyun: no data for the show in data or $E2E_TMP/share/oyun/data; give a folder with --data" <<<"$ERR" ||
  fail "no data said: $ERR"
run ./oyun --data "$E2E_TMP/nowhere"
[ "$CODE" = 1 ] && grep -q "no data for the show in $E2E_TMP/nowhere (no mask.tga)" <<<"$ERR" || fail "bad --data: $ERR"
cd "$E2E_TMP"

# For measuring: when each start-up phase ended, in order and never going back, and the end
# with 0 once the first frame is shown.
run env SDL_VIDEODRIVER=offscreen "$OYUN" --window --data "$DATA" --startup-phases --renderer gl11
[ "$CODE" = 0 ] || fail "--startup-phases: status $CODE ($ERR)"
phases=$(sed -n 's/^oyun: start-up [0-9.]* ms //p' <<<"$ERR" | paste -sd,)
[ "$phases" = "main,display,window,fonts,sprite pictures,model,ball pictures and tables,music,set-up,first frame drawn,first frame shown" ] &&
  [ "$(wc -l <<<"$ERR")" = 11 ] || fail "--startup-phases said: $ERR"
sed -n 's/^oyun: start-up \([0-9.]*\) ms .*/\1/p' <<<"$ERR" | sort -c -g || fail "start-up times go back: $ERR"

start_xvfb
# From another folder, whose data/ lacks the music, the show says so once and takes the build's
# data; Escape ends it with 0.
mkdir -p elsewhere/data && cd elsewhere
for picture in "$DATA"/*.tga; do ln -s "$picture" data/; done
"$OYUN" --window >"$E2E_TMP/elsewhere.log" 2>&1 &
pid=$!
id=$(wait_for_window "Oyun motorum" 60) || { cat "$E2E_TMP/elsewhere.log"; fail "no window from another folder"; }
wait_until 20 "[ -s log.htm ]" || fail "no log from another folder"
# Keys count once the show draws.
wait_until 60 screen_changes || fail "the show does not move"
# Held over a few frames: the show reads the key's state once a frame.
xdotool keydown --window "$id" Escape
wait_for_exit "$pid" 30 || fail "no end after Escape"
release_keys Escape
[ "$EXIT_CODE" = 0 ] || { cat "$E2E_TMP/elsewhere.log"; fail "exit code $EXIT_CODE"; }
! grep -q "Could not open" "$E2E_TMP/elsewhere.log" || fail "pictures missing from another folder"
[ "$(grep -c 'lacks' "$E2E_TMP/elsewhere.log")" = 1 ] &&
  grep -qx "oyun: ./data lacks music.wma; using $DATA" "$E2E_TMP/elsewhere.log" ||
  { cat "$E2E_TMP/elsewhere.log"; fail "the incomplete ./data is not named once"; }
cd "$E2E_TMP"

# A termination signal while a box is open: the show ends with 128 + 15 and leaves no process
# and no box behind. A damaged picture makes the box, shown from a child process of the show.
# SDL draws the box itself where the X server has core fonts, and otherwise hands it to zenity;
# a zenity that waits as a box waits for its click stands in for the real one, which a fresh
# machine lacks.
mkdir -p fakebin
cat >fakebin/zenity <<'SCRIPT'
#!/bin/sh
sleep 600
SCRIPT
chmod +x fakebin/zenity
export PATH="$E2E_TMP/fakebin:$PATH"
link_data damaged "$DATA"
rm damaged/mask.tga && head -c 40 "$DATA/mask.tga" >damaged/mask.tga
"$OYUN" --window --data damaged >"$E2E_TMP/box.log" 2>&1 &
pid=$!
wait_for_box "$pid" ERROR 60 || { cat "$E2E_TMP/box.log"; fail "no box for a damaged picture"; }
echo "e2e: the box for a damaged picture is $BOX_KIND"
expect_box_kind
kill -TERM "$pid"
wait_for_exit "$pid" 10 || fail "no end after SIGTERM with a box open"
[ "$EXIT_CODE" = 143 ] || { cat "$E2E_TMP/box.log"; fail "exit code $EXIT_CODE after SIGTERM"; }
wait_until 10 box_gone || fail "the box outlived the show: $(box_remains)"
grep -q "^ERROR: " "$E2E_TMP/box.log" || fail "the box's text is not on stderr"

# Killed outright, the show takes its box with it.
"$OYUN" --window --data damaged >"$E2E_TMP/kill.log" 2>&1 &
pid=$!
wait_for_box "$pid" ERROR 60 || { cat "$E2E_TMP/kill.log"; fail "no box the second time"; }
kill -KILL "$pid"
wait "$pid" 2>/dev/null || true
wait_until 10 box_gone || fail "the box outlived a killed show: $(box_remains)"

# gles3 without an OpenGL ES 3.0 context on the display: one line and 1, no window left open.
for program in "$OYUN --window" "$VIEWER $MODEL"; do
  name=$(basename "${program%% *}")
  run env MESA_GLES_VERSION_OVERRIDE=2.0 $program --renderer gles3
  [ "$CODE" = 1 ] && [ "$(wc -l <"$E2E_TMP/err")" = 1 ] && grep -q "^$name: no OpenGL ES 3.0 context: ." <<<"$ERR" ||
    fail "$name --renderer gles3 without ES 3.0, under Xvfb: status $CODE, $ERR"
  ! xdotool search --name "^(Oyun motorum|oyun-viewer)\$" >/dev/null 2>&1 || fail "$name left a window open"
done

# SIGINT ends the show with 128 + 2.
"$OYUN" --window >"$E2E_TMP/int.log" 2>&1 &
pid=$!
wait_for_window "Oyun motorum" 60 >/dev/null || fail "no window for SIGINT"
kill -INT "$pid"
wait_for_exit "$pid" 10 || fail "no end after SIGINT"
[ "$EXIT_CODE" = 130 ] || { cat "$E2E_TMP/int.log"; fail "exit code $EXIT_CODE after SIGINT"; }
echo "e2e: programs OK"
