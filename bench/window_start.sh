#!/usr/bin/env bash
# Time to first paint and peak memory of gambitron and gambitron-lite against an empty Qt window, under Xvfb;
# "empty+text" is the same window with one line of text, for what the fonts cost any window.
#   bench/window_start.sh [BUILD_DIR] [RUNS]        (default build/release, 20 runs)
set -eu
here=$(cd "$(dirname "$0")" && pwd)
build=${1:-$here/../build/release}
runs=${2:-20}
exec xvfb-run -a -s "-screen 0 1280x1024x24" python3 "$here/window_start.py" --runs "$runs" \
    empty="$build/bench/bench_emptywindow" empty+text="$build/bench/bench_emptywindow,text" gambitron-lite="$build/lite/gambitron-lite" gambitron="$build/net/gambitron"
