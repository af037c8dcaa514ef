#!/usr/bin/env bash
# The whole show under Xvfb with the generated data: it draws its first scene, ends with 0
# on Escape, and its log lists the ten pictures in the order they were loaded.
source "$(dirname "$0")/lib.sh"
OYUN=$(realpath "$1")
DATA=$(realpath "$2")

# True when the band shows the pink tower and the letterbox rows the clear colour; sets
# VERDICT to what the screenshot showed.
shows_the_show() {
  grab_screen shot.rgb || { VERDICT="no screenshot"; return 1; }
  VERDICT=$(python3 - shot.rgb <<'PY'
import sys
data = open(sys.argv[1], "rb").read()
w, h = 1024, 768
def px(x, y):
    i = 3 * (y * w + x)
    return data[i], data[i + 1], data[i + 2]
band = [px(x, y) for y in range(128, 640, 4) for x in range(0, w, 4)]
pink = sum(1 for r, g, b in band if r > 150 and r > g + 60) / len(band)
strays = sum(1 for y in list(range(0, 128, 3)) + list(range(640, 768, 3)) for x in range(0, w, 3)
             if px(x, y) != (0, 51, 128))
print(f"pink share {pink:.3f}, letterbox strays {strays}")
sys.exit(0 if pink > 0.01 and strays == 0 else 1)
PY
  )
}

start_xvfb
mkdir -p "$E2E_TMP/run" && cd "$E2E_TMP/run"
ln -s "$DATA" data
"$OYUN" >"$E2E_TMP/show.log" 2>&1 &
pid=$!
id=$(wait_for_window "Oyun motorum" 60) || { cat "$E2E_TMP/show.log"; fail "no window"; }
drawn=0
wait_until 60 shows_the_show && drawn=1
kill -0 "$pid" 2>/dev/null || { cat "$E2E_TMP/show.log"; fail "the show ended by itself"; }
[ "$drawn" = 1 ] || fail "the screen does not show the show: $VERDICT"

# Held until the show ends: it looks at held keys, not at presses.
xdotool keydown --window "$id" Escape
ended=0
wait_for_exit "$pid" 30 && ended=1
release_keys Escape  # the window is gone by now
[ "$ended" = 1 ] || { cat "$E2E_TMP/show.log"; fail "no end after Escape"; }
[ "$EXIT_CODE" = 0 ] || { cat "$E2E_TMP/show.log"; fail "exit code $EXIT_CODE"; }

loaded=$(grep -a -o 'data/[a-z0-9_]*\.tga TGA dosyasi acildi' log.htm | sed 's| TGA.*||' | tr '\n' ' ')
expected="data/mask.tga data/text.tga data/shine.tga data/t1.tga data/t2.tga data/cre.tga data/cre2.tga data/mivra.tga data/ball.tga data/ball_sur.tga "
[ "$loaded" = "$expected" ] || fail "pictures logged as: $loaded"
echo "e2e: show OK"
