#!/usr/bin/env bash
# The build installed into a fresh prefix: every file where it belongs and nothing of the tests;
# the desktop entry and manual pages valid; the installed capture and show find the installed
# data from elsewhere, and a show started where nothing may be written logs to the state folder.
source "$(dirname "$0")/lib.sh"
BUILD=$(realpath "$1")
PREFIX="$E2E_TMP/prefix"

cmake --install "$BUILD" --prefix "$PREFIX" >"$E2E_TMP/install.log" 2>&1 || { cat "$E2E_TMP/install.log"; fail "install"; }
for file in bin/oyun bin/oyun-capture bin/oyun-viewer bin/oyun-assets \
  share/oyun/data/music.wma share/oyun/data/mask.tga share/oyun/data/ball_sur.tga \
  share/oyun/examples/walker.txt share/oyun/examples/walker.tga \
  share/doc/oyun/README.md share/doc/oyun/LICENSE share/applications/oyun.desktop \
  share/icons/hicolor/256x256/apps/oyun.png share/icons/hicolor/48x48/apps/oyun.png \
  share/man/man1/oyun.1.gz share/man/man1/oyun-capture.1.gz share/man/man1/oyun-viewer.1.gz \
  share/man/man1/oyun-assets.1.gz; do
  [ -f "$PREFIX/$file" ] || fail "not installed: $file"
done
[ "$(ls "$PREFIX/share/oyun/data" | wc -l)" = 11 ] || fail "data: $(ls "$PREFIX/share/oyun/data")"
strays=$(find "$PREFIX" -type f | grep -E 'test|bench|fuzz|\.a$' || true)
[ -z "$strays" ] || fail "installed beside the programs: $strays"

desktop-file-validate "$PREFIX/share/applications/oyun.desktop" || fail "desktop entry"
for size in 48 256; do
  dims=$(ffprobe -v error -select_streams v:0 -show_entries stream=width,height -of csv=p=0 \
    "$PREFIX/share/icons/hicolor/${size}x${size}/apps/oyun.png")
  [ "$dims" = "$size,$size" ] || fail "icon ${size}: $dims"
done
for page in "$PREFIX"/share/man/man1/*.1.gz; do
  warnings=$(LC_ALL=C.UTF-8 MANWIDTH=80 man --warnings -l "$page" 2>&1 >/dev/null)
  [ -z "$warnings" ] || fail "$(basename "$page"): $warnings"
  LC_ALL=C.UTF-8 MANWIDTH=80 man -l "$page" 2>/dev/null | grep -q -- "--version" || fail "$(basename "$page") lacks its options"
done

# The installed capture, from a folder of its own, draws what the build's capture draws.
mkdir -p "$E2E_TMP/work" && cd "$E2E_TMP/work"
"$PREFIX/bin/oyun-capture" --quiet --frame 65000 --output f.png || fail "installed capture"
"$BUILD/tools/capture/oyun-capture" --quiet --frame 65000 --output built.png || fail "built capture"
cmp -s f.png built.png || fail "the installed capture draws another picture"
dims=$(ffprobe -v error -select_streams v:0 -show_entries stream=width,height -of csv=p=0 f.png)
[ "$dims" = "1024,768" ] || fail "frame is $dims"

# The installed show from a folder where no file can be made (not even by root): it finds its
# data, logs to the state folder (said once) and ends with 0 on Escape.
start_xvfb
export XDG_STATE_HOME="$E2E_TMP/state"
cd /proc
"$PREFIX/bin/oyun" --window >"$E2E_TMP/show.log" 2>&1 &
pid=$!
id=$(wait_for_window "Oyun motorum" 60) || { cat "$E2E_TMP/show.log"; fail "no window"; }
wait_until 20 "[ -s '$XDG_STATE_HOME/oyun/log.htm' ]" || { cat "$E2E_TMP/show.log"; fail "no log in the state folder"; }
# Keys count once the show draws.
wait_until 60 screen_changes || fail "the show does not move"
# Held over a few frames: the show reads the key's state once a frame.
xdotool keydown --window "$id" Escape
wait_for_exit "$pid" 30 || fail "no end after Escape"
release_keys Escape
[ "$EXIT_CODE" = 0 ] || { cat "$E2E_TMP/show.log"; fail "exit code $EXIT_CODE"; }
grep -aq "<b>$PREFIX/share/oyun/data/mask.tga TGA dosyasi acildi.</b><br>" "$XDG_STATE_HOME/oyun/log.htm" ||
  fail "the installed data was not read: $(head -c 300 "$XDG_STATE_HOME/oyun/log.htm")"
[ "$(grep -c 'the log goes to' "$E2E_TMP/show.log")" = 1 ] || { cat "$E2E_TMP/show.log"; fail "the log's place is not said once"; }
echo "e2e: install OK"
