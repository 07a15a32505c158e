#!/usr/bin/env bash
# Drives gambitron-engine through its standard input as a chess program would, and feeds it garbage.
set -u
engine=$1
fail() { echo "FAIL: $*"; exit 1; }

out=$(printf 'uci\nisready\nposition startpos\ngo perft 3\nposition startpos moves e2e4 e7e5 g1f3\ngo depth 2\nquit\n' | "$engine")
grep -qx uciok <<<"$out" || fail "no uciok"
grep -qx readyok <<<"$out" || fail "no readyok"
grep -q "nodes 8902" <<<"$out" || fail "perft 3 from the start is not 8902: $out"
grep -qE '^bestmove [a-h][1-8][a-h][1-8]' <<<"$out" || fail "no best move"

# A refused move leaves the previous position in place: Black (to move after e2e4) must still answer.
out=$(printf 'position startpos moves e2e4\nposition startpos moves e2e5\ngo depth 1\nquit\n' | "$engine")
grep -q "info string error" <<<"$out" || fail "illegal move not reported"
grep -qE '^bestmove [a-h]7' <<<"$out" || grep -qE '^bestmove [a-h]8' <<<"$out" || fail "position changed by a refused move: $out"

# Mate and stalemate: no move to give.
out=$(printf 'position fen k7/2Q5/8/8/8/8/8/6K1 b - - 0 1\ngo depth 2\nquit\n' | "$engine")
grep -qx "bestmove 0000" <<<"$out" || fail "stalemate should give bestmove 0000: $out"

# Bad FENs and garbage never crash it.
printf 'position fen rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR x KQkq - 0 1\nposition fen 9/9 w - -\ngo depth\ngo depth -3\ngo perft x\n' | "$engine" >/dev/null || fail "bad input crashed the engine"
# Random bytes from a seed that is printed, so that a failure can be replayed with ENGINE_CLI_SEED=<seed>.
seed=${ENGINE_CLI_SEED:-$(( $(date +%s%N) % 1000000000 ))}
echo "random input seed: $seed"
random_bytes() {
    local n=$1 i byte escapes=""
    RANDOM=$seed
    for ((i = 0; i < n; i++)); do printf -v byte '\\x%02x' $((RANDOM % 256)); escapes+=$byte; done
    printf '%b' "$escapes"
}
random_bytes 20000 | "$engine" >/dev/null 2>&1 || fail "random bytes crashed the engine (seed $seed)"
echo "engine front end: all checks passed"
