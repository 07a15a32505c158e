#!/usr/bin/env bash
# Takes the README's pictures of gambitron-lite: its start panel, and a game against the computer played with
# the mouse through xdotool. With "en" as the third argument the window speaks English and the pictures are
# named lite-start-en.png and lite-game-en.png.
#   xvfb-run -a -s "-screen 0 1280x1024x24" tools/lite_screenshots.sh build/release/lite/gambitron-lite docs [en]
set -euo pipefail
lite=$1; out=$2; lang=${3:-ru}
suffix=""; [ "$lang" = ru ] || suffix="-$lang"

"$lite" --lang "$lang" & pid=$!
trap 'kill $pid 2>/dev/null || true' EXIT
win=$(xdotool search --all --sync --onlyvisible --pid "$pid" --name "Gambitron Lite 1.1" | head -1)
xdotool windowmove --sync "$win" 10 10; sleep 1.5
import -window "$win" "$out/lite-start$suffix.png"

eval "$(xdotool getwindowgeometry --shell "$win")"
click() { xdotool mousemove $((X + $1)) $((Y + $2)); sleep 0.2; xdotool click 1; sleep 0.5; }
# The centre of a square with White at the bottom: the board starts at (4, 4), its squares 40 px from 24 px in.
drag() { # file rank file rank
    local x1=$((X + 28 + ($1 - 1) * 40 + 20)) y1=$((Y + 28 + (8 - $2) * 40 + 20))
    local x2=$((X + 28 + ($3 - 1) * 40 + 20)) y2=$((Y + 28 + (8 - $4) * 40 + 20))
    xdotool mousemove "$x1" "$y1"; sleep 0.2; xdotool mousedown 1; sleep 0.1
    xdotool mousemove $((x1 + 8)) "$y1"; sleep 0.1
    xdotool mousemove "$x2" "$y2"; sleep 0.2; xdotool mouseup 1; sleep 1.5
}
# "Начать игру" with the computer playing Black at depth 1.
click $((376 + 8 + 80)) $((335 + 12))
drag 5 2 5 4; drag 7 1 6 3; drag 6 1 3 4; drag 4 2 4 3
# Take the last move back and turn the board, so that the log shows those lines too.
click $((376 + 16)) $((340 + 16)); sleep 1
drag 4 2 4 3
sleep 0.5
import -window "$win" "$out/lite-game$suffix.png"
