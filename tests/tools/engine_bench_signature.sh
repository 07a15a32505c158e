#!/usr/bin/env bash
# The bench signature: the total nodes of `gambitron-engine bench` (every bench position at depth 6). Any
# change in what the search visits, not only in how fast, moves it; a change that means to alter the search
# updates the number here and in the README together.
set -u
engine=$1
expected=16499102
out=$(printf 'bench\nquit\n' | "$engine") || { echo "FAIL: the engine exited with an error"; exit 1; }
nodes=$(sed -nE 's/^info string bench depth 6 .* nodes ([0-9]+) .*/\1/p' <<<"$out")
[ "$nodes" = "$expected" ] || { echo "FAIL: bench nodes ${nodes:-missing}, pinned $expected: $out"; exit 1; }
echo "bench signature: $nodes nodes, as pinned"
