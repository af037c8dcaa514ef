#!/usr/bin/env bash
# The README's capture across machines, run on this one: GNU parallel renders the segments
# (with --sshlogin naming hosts it would run them there; ":" is this machine), --join puts
# them together, and the result has the frames and the very sound of a capture in one piece.
source "$(dirname "$0")/lib.sh"
CAPTURE=$(realpath "$1")
DATA=$(realpath "$2")
cd "$E2E_TMP"
span=(--data "$DATA" --size 160x120 --from 20000 --to 22000)

hosts=:
parallel --will-cite --sshlogin "$hosts" --return part-{}.mkv --cleanup --halt now,fail=1 \
  "$CAPTURE" "${span[@]}" --segment {}/3 --output part-{}.mkv --quiet ::: 1 2 3 2>parallel.log ||
  { cat parallel.log; fail "a segment failed"; }
"$CAPTURE" --data "$DATA" --join part-*.mkv --output show.mp4 --quiet || fail "the join failed"
"$CAPTURE" "${span[@]}" --jobs 1 --output one.mp4 --quiet || fail "the capture in one piece failed"

frames() { ffprobe -v error -select_streams v -count_packets -show_entries stream=nb_read_packets -of csv=p=0 "$1"; }
sound() { ffmpeg -nostdin -v error -i "$1" -map 0:a -c copy -f md5 -; }
[ "$(frames show.mp4)" = 100 ] || fail "the joined show has $(frames show.mp4) frames, not 100"
[ "$(sound show.mp4)" = "$(sound one.mp4)" ] || fail "the joined show's sound differs from one piece's"

# A part missing: refused, naming it, and nothing written.
rm part-2.mkv
if "$CAPTURE" --data "$DATA" --join part-*.mkv --output short.mp4 2>missing.log; then fail "a join without part 2 succeeded"; fi
grep -q "part 2 of 3 is missing" missing.log || { cat missing.log; fail "the missing part is not named"; }
[ ! -e short.mp4 ] || fail "a refused join left short.mp4"
echo "segments: ok"
