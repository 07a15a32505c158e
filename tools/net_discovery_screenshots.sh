#!/usr/bin/env bash
# Takes the README's pictures of finding games: the server's log with its addresses, and a client's
# control panel listing the games found. Runs in the tests' private network namespace, so that nothing is
# advertised on a real network:
#   tests/net/run_isolated.sh xvfb-run -a -s "-screen 0 1280x1024x24" tools/net_discovery_screenshots.sh \
#       build/release/net/gambitron docs
set -euo pipefail
bin=$1; out=$2
win_of() { xdotool search --all --sync --onlyvisible --pid "$1" --name "Gambitron 1.2" | head -1; }

$bin --server --side black --port 5000 & ps=$!
ws=$(win_of $ps); sleep 1.5; xdotool windowmove --sync "$ws" 10 10; sleep 0.5
import -window "$ws" "$out/net-server-addresses.png"

$bin & pc=$!
wc=$(win_of $pc); sleep 1; xdotool windowmove --sync "$wc" 10 420; sleep 0.5
eval "$(xdotool getwindowgeometry --shell "$wc")"
click() { xdotool mousemove $((X + $1)) $((Y + $2)) click 1; sleep 0.4; }
click 400 144   # "Игра по сети"
click 430 176   # "Подключиться"
sleep 3         # the daemon's answer
click 530 218   # the list of games found
sleep 0.5
import -window root -crop 600x420+$X+$Y "$out/net-found-games.png"
kill $ps $pc; wait 2>/dev/null || true
