#!/usr/bin/env bash
# Takes the README's pictures of gambitron: its control panel, a network game with chat between two
# copies on a free loopback port, and the computer thinking at depth 6, played with the mouse and keyboard
# through xdotool.
#   xvfb-run -a -s "-screen 0 1280x1024x24" tools/net_screenshots.sh build/release/net/gambitron docs
set -euo pipefail
# With "en" as the third argument the windows speak English and each picture's name ends in -en.
lang=${3:-ru}
suffix=""; [ "$lang" = ru ] || suffix="-$lang"
bin="$1 --lang $lang"; out=$2
port=$(python3 -c 'import socket; s=socket.socket(); s.bind(("127.0.0.1",0)); print(s.getsockname()[1])')

win_of() { xdotool search --all --sync --onlyvisible --pid "$1" --name "Gambitron 1.2" | head -1; }

# The control panel.
$bin & p0=$!
w0=$(win_of $p0); sleep 1.5
import -window "$w0" "$out/net-start$suffix.png"
kill $p0; wait $p0 2>/dev/null || true

$bin --server --port "$port" & ps=$!
ws=$(win_of $ps); sleep 1; xdotool windowmove --sync "$ws" 10 10
$bin --connect 127.0.0.1 --port "$port" & pc=$!
wc=$(win_of $pc); sleep 1; xdotool windowmove --sync "$wc" 10 420; sleep 1

# Screen position of a square's centre, for a board with white at the bottom (1) or at the top (0).
centre() { # win file(1-8) rank(1-8) white_bottom
    local f=$2 r=$3 x y
    if [ "$4" = 1 ]; then x=$((32 + (f - 1) * 40 + 20)); y=$((32 + (8 - r) * 40 + 20));
    else x=$((32 + (8 - f) * 40 + 20)); y=$((32 + (r - 1) * 40 + 20)); fi
    eval "$(xdotool getwindowgeometry --shell "$1")"
    echo "$((X + x)) $((Y + y))"
}
drag() { # win wb f1 r1 f2 r2
    read -r x1 y1 < <(centre "$1" "$3" "$4" "$2"); read -r x2 y2 < <(centre "$1" "$5" "$6" "$2")
    xdotool mousemove "$x1" "$y1"; sleep 0.2; xdotool mousedown 1; sleep 0.1
    xdotool mousemove $((x1 + 8)) "$y1"; sleep 0.1
    xdotool mousemove $(((x1 + x2) / 2)) $(((y1 + y2) / 2)); sleep 0.1
    xdotool mousemove "$x2" "$y2"; sleep 0.2; xdotool mouseup 1; sleep 0.8
}
say() { xdotool windowfocus --sync "$1"; sleep 0.3; xdotool type --delay 200 "$2"; xdotool key Return; sleep 0.8; }

drag "$ws" 1 5 2 5 4; drag "$wc" 0 5 7 5 5
drag "$ws" 1 7 1 6 3; drag "$wc" 0 2 8 3 6
if [ "$lang" = ru ]; then hello="Привет! Играем до мата?"; reply="Конечно. Удачи!"
else hello="Hi! Play to mate?"; reply="Sure. Good luck!"; fi
say "$wc" "$hello"
say "$ws" "$reply"
drag "$ws" 1 6 1 3 4; drag "$wc" 0 7 8 6 6
sleep 0.5
import -window "$ws" "$out/net-game$suffix.png"
kill $ps $pc; wait 2>/dev/null || true

# Against the computer at depth 6: the line beside the new-game button while it searches.
$bin & p1=$!
w1=$(win_of $p1); sleep 1; xdotool windowmove --sync "$w1" 10 10; sleep 0.5
click_at() { # win x y
    eval "$(xdotool getwindowgeometry --shell "$1")"
    xdotool mousemove $((X + $2)) $((Y + $3)); sleep 0.2; xdotool click 1; sleep 0.5
}
click_at "$w1" 532 106; xdotool key End Return; sleep 0.5
click_at "$w1" 484 350
read -r x1 y1 < <(centre "$w1" 4 2 1); read -r x2 y2 < <(centre "$w1" 4 4 1)
xdotool mousemove "$x1" "$y1"; sleep 0.2; xdotool mousedown 1; sleep 0.1
xdotool mousemove $((x1 + 8)) "$y1"; sleep 0.1; xdotool mousemove "$x2" "$y2"; sleep 0.2; xdotool mouseup 1
sleep 0.1
import -window "$w1" "$out/net-thinking$suffix.png"
kill $p1; wait $p1 2>/dev/null || true
