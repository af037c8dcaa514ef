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

cd "$E2E_TMP"
# No display: one line that says so and how to get one, status 1, within 2 s.
for program in "$OYUN" "$VIEWER $MODEL"; do
  start=$(date +%s%N)
  run env -u DISPLAY -u WAYLAND_DISPLAY -u SDL_VIDEODRIVER $program
  took=$(( ($(date +%s%N) - start) / 1000000 ))
  [ "$CODE" = 1 ] || fail "$program without a display: status $CODE ($ERR)"
  [ "$(wc -l <"$E2E_TMP/err")" = 1 ] || fail "$program without a display said more than one line: $ERR"
  grep -q "no display found" <<<"$ERR" || fail "$program without a display said: $ERR"
  [ "$took" -lt 2000 ] || fail "$program without a display took $took ms"
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
for program in "$OYUN --window" "$VIEWER $MODEL"; do
  name=$(basename "${program%% *}")
  run env MESA_GLES_VERSION_OVERRIDE=2.0 $program --renderer gles3
  [ "$CODE" = 1 ] && [ "$(wc -l <"$E2E_TMP/err")" = 1 ] && grep -q "^$name: no OpenGL ES 3.0 context: ." <<<"$ERR" ||
    fail "$name --renderer gles3 without ES 3.0, under Xvfb: status $CODE, $ERR"
done
# From another folder the show finds the build's data; Escape ends it with 0.
mkdir -p elsewhere && cd elsewhere
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
cd "$E2E_TMP"

# A termination signal while a box is open: the show ends within 1 s with 128 + 15 and
# leaves no process behind. A damaged picture makes the box; SDL shows boxes with the zenity
# program, here one that waits as a box waits for its click.
mkdir -p fakebin
cat >fakebin/zenity <<SCRIPT
#!/bin/sh
echo \$\$ >>"$E2E_TMP/boxes"
exec sleep 600
SCRIPT
chmod +x fakebin/zenity
export PATH="$E2E_TMP/fakebin:$PATH"
mkdir -p damaged
for f in "$DATA"/*; do ln -s "$f" damaged/; done
rm damaged/mask.tga && head -c 40 "$DATA/mask.tga" >damaged/mask.tga
"$OYUN" --window --data damaged >"$E2E_TMP/box.log" 2>&1 &
pid=$!
wait_until 60 "[ -s '$E2E_TMP/boxes' ]" || { cat "$E2E_TMP/box.log"; fail "no box for a damaged picture"; }
helpers="$(pgrep -g "$(pgrep -P "$pid" | head -n1)" | tr '\n' ' ' || true) $(cat "$E2E_TMP/boxes")"
[ -n "$(pgrep -P "$pid")" ] || fail "the box has no process of its own"
start=$(date +%s%N)
kill -TERM "$pid"
wait_for_exit "$pid" 5 || fail "no end after SIGTERM with a box open"
took=$(( ($(date +%s%N) - start) / 1000000 ))
[ "$EXIT_CODE" = 143 ] || { cat "$E2E_TMP/box.log"; fail "exit code $EXIT_CODE after SIGTERM"; }
[ "$took" -lt 1000 ] || fail "SIGTERM with a box open took $took ms"
for helper in $helpers; do
  ! alive "$helper" || fail "box process $helper outlived the show"
done
grep -q "^ERROR: " "$E2E_TMP/box.log" || fail "the box's text is not on stderr"

# Killed outright, the show takes its box with it.
rm -f "$E2E_TMP/boxes"
"$OYUN" --window --data damaged >"$E2E_TMP/kill.log" 2>&1 &
pid=$!
wait_until 60 "[ -s '$E2E_TMP/boxes' ]" || fail "no box the second time"
group=$(pgrep -P "$pid" | head -n1)
kill -KILL "$pid"
wait "$pid" 2>/dev/null || true
wait_until 2 "! alive $group && ! alive $(cat "$E2E_TMP/boxes")" || fail "box processes outlived a killed show"

# SIGINT ends the show with 128 + 2.
"$OYUN" --window >"$E2E_TMP/int.log" 2>&1 &
pid=$!
wait_for_window "Oyun motorum" 60 >/dev/null || fail "no window for SIGINT"
kill -INT "$pid"
wait_for_exit "$pid" 10 || fail "no end after SIGINT"
[ "$EXIT_CODE" = 130 ] || { cat "$E2E_TMP/int.log"; fail "exit code $EXIT_CODE after SIGINT"; }
echo "e2e: programs OK"
