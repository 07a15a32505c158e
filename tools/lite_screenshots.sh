#!/usr/bin/env bash
# Takes the README's pictures of gambitron-lite: its start panel, a game in progress with the row of picture
# buttons, and the computer thinking at depth 6, played with the mouse through xdotool.
#   xvfb-run -a -s "-screen 0 1280x1024x24" tools/lite_screenshots.sh build/release/lite/gambitron-lite docs
set -euo pipefail
# With "en" as the third argument the windows speak English and each picture's name ends in -en.
lang=${3:-ru}
suffix=""; [ "$lang" = ru ] || suffix="-$lang"
bin="$1 --lang $lang"; out=$2

win_of() { xdotool search --all --sync --onlyvisible --pid "$1" --name "Gambitron Lite 1.1" | head -1; }
at() { # win x y: a point of the window's client area on the screen
    eval "$(xdotool getwindowgeometry --shell "$1")"
    echo "$((X + $2)) $((Y + $3))"
}
click() { read -r x y < <(at "$1" "$2" "$3"); xdotool mousemove "$x" "$y"; sleep 0.2; xdotool click 1; sleep 0.5; }
# Screen position of a square's centre, white at the bottom.
square() { at "$1" $((28 + ($2 - 1) * 40 + 20)) $((28 + (8 - $3) * 40 + 20)); }
drag() { # win f1 r1 f2 r2 pause-after
    read -r x1 y1 < <(square "$1" "$2" "$3"); read -r x2 y2 < <(square "$1" "$4" "$5")
    xdotool mousemove "$x1" "$y1"; sleep 0.2; xdotool mousedown 1; sleep 0.1
    xdotool mousemove $((x1 + 8)) "$y1"; sleep 0.1
    xdotool mousemove $(((x1 + x2) / 2)) $(((y1 + y2) / 2)); sleep 0.1
    xdotool mousemove "$x2" "$y2"; sleep 0.2; xdotool mouseup 1; sleep "$6"
}

$bin & p=$!
w=$(win_of $p); sleep 1; xdotool windowmove --sync "$w" 10 10; sleep 0.5
import -window "$w" "$out/lite-start$suffix.png"

# A game against black at depth 1: a few moves, then the pointer over the new-game button shows its hint.
click "$w" 464 351
drag "$w" 5 2 5 4 1.5; drag "$w" 7 1 6 3 1.5; drag "$w" 6 1 3 4 1.5
read -r x y < <(at "$w" 539 356); xdotool mousemove "$x" "$y"; sleep 1.5
import -window root -crop 700x410+10+10 "$out/lite-game$suffix.png"
kill $p; wait $p 2>/dev/null || true

# Depth 6: the line under the log while the computer searches.
$bin & p=$!
w=$(win_of $p); sleep 1; xdotool windowmove --sync "$w" 10 10; sleep 0.5
click "$w" 460 142; xdotool key End Return; sleep 0.5
click "$w" 464 351
drag "$w" 4 2 4 4 0.1
import -window "$w" "$out/lite-thinking$suffix.png"
kill $p; wait $p 2>/dev/null || true
