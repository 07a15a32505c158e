#!/usr/bin/env bash
# Installs a release build into a throwaway DESTDIR and checks the installed tree the way a desktop and a
# package manager see it: every file in place, the programs start from there, desktop entries, metainfo,
# the saved-game file type, manual pages, and the Debian package under lintian.
#
#   tests/install/check_install.sh [BUILD_DIR]      (default: build/release, already built)
#
# Programs that are not built are skipped with a message, together with their files.
set -euo pipefail

root=$(cd "$(dirname "$0")/../.." && pwd)
build=$(cd "${1:-$root/build/release}" && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

export LC_ALL=C.UTF-8
export QT_QPA_PLATFORM=offscreen
unset DISPLAY WAYLAND_DISPLAY XDG_CURRENT_DESKTOP
export XDG_RUNTIME_DIR=$work/runtime
mkdir -m 700 "$XDG_RUNTIME_DIR"

passed=0
failed=0
pass() {
    echo "ok   $*"
    passed=$((passed + 1))
}
fail() {
    echo "FAIL $*"
    failed=$((failed + 1))
}
# check DESCRIPTION COMMAND...: runs the command quietly; shows its output only when it fails.
check() {
    local what=$1 out
    shift
    if out=$("$@" 2>&1); then
        pass "$what"
    else
        fail "$what"
        printf '%s\n' "$out" | sed 's/^/     /'
    fi
}

built() { [ -n "$(find "$build" -maxdepth 2 -type f -name "$1" -perm -u+x -print -quit)" ]; }

declare -A app_id=([gambitron]=io.github.gambitron.Gambitron [gambitron-lite]=io.github.gambitron.GambitronLite)
programs=()
for program in gambitron-engine gambitron gambitron-lite; do
    if built "$program"; then
        programs+=("$program")
    else
        echo "skip $program: not built in $build, so neither it nor its files are checked"
    fi
done
gui=()
for program in "${programs[@]}"; do
    [ -n "${app_id[$program]:-}" ] && gui+=("$program")
done
has() {
    local p
    for p in "${programs[@]}"; do [ "$p" = "$1" ] && return 0; done
    return 1
}

echo "== install into a DESTDIR"
dest=$work/dest
DESTDIR=$dest cmake --install "$build" --prefix /usr >"$work/install.log"
tree=$dest/usr
# Taken now: the file-type and desktop checks below add caches to the tree.
(cd "$dest" && find . -type f | sort) >"$work/installed.txt"
bindir=games

expected=(share/doc/gambitron/copyright share/doc/gambitron/changelog.gz share/doc/gambitron/changelog.Debian.gz)
for program in "${programs[@]}"; do
    expected+=("$bindir/$program" "share/man/man6/$program.6.gz" "share/man/ru/man6/$program.6.gz")
done
for program in "${gui[@]}"; do
    expected+=("share/applications/${app_id[$program]}.desktop" "share/metainfo/${app_id[$program]}.metainfo.xml")
done
if [ ${#gui[@]} -gt 0 ]; then
    for size in 16 32 48 64 128 256; do expected+=("share/icons/hicolor/${size}x$size/apps/gambitron.png"); done
    expected+=(share/icons/hicolor/scalable/apps/gambitron.svg)
fi
has gambitron-lite && expected+=(share/mime/packages/gambitron.xml)
# gambitron's network play is a module it loads when a network game starts.
moduledir=$(sed -n 's/^GAMBITRON_INSTALL_MODULEDIR:PATH=//p' "$build/CMakeCache.txt")
has gambitron && expected+=("$moduledir/libgambitron-netplay.so")

missing=()
for file in "${expected[@]}"; do [ -f "$tree/$file" ] || missing+=("$file"); done
if [ ${#missing[@]} -eq 0 ]; then
    pass "all ${#expected[@]} files in place under $tree"
else
    fail "missing from the installed tree: ${missing[*]}"
fi
unexpected=$(sed 's|^\./usr/||' "$work/installed.txt" | comm -23 - <(printf '%s\n' "${expected[@]}" | sort))
if [ -z "$unexpected" ]; then
    pass "nothing installed beyond the expected files"
else
    fail "installed but not expected: $unexpected"
fi

# The same rules under another prefix, without DESTDIR: the same relative tree, nothing written elsewhere.
other=$work/other-prefix
cmake --install "$build" --prefix "$other" >/dev/null
if diff <(sed 's|^\./usr/||' "$work/installed.txt") <(cd "$other" && find . -type f | sed 's|^\./||' | sort) \
    >"$work/prefix.diff"; then
    pass "an install under another prefix gives the same tree"
else
    fail "an install under another prefix differs:"
    sed 's/^/     /' "$work/prefix.diff"
fi

echo "== programs, started from the installed tree"
for program in "${programs[@]}"; do
    exe=$tree/$bindir/$program
    if readelf -d "$exe" | grep -Eq 'RPATH|RUNPATH'; then
        fail "$program carries a library search path into the build tree"
    else
        pass "$program has no RPATH"
    fi
    check "$program finds all its shared libraries" bash -c "! ldd '$exe' | grep 'not found'"
done
if has gambitron-engine; then
    out=$(printf 'uci\nisready\nposition startpos moves e2e4 e7e5\ngo depth 3\nquit\n' |
        timeout 60 "$tree/$bindir/gambitron-engine" 2>&1 || true)
    if grep -qx uciok <<<"$out" && grep -qx readyok <<<"$out" && grep -Eq '^bestmove [a-h][1-8][a-h][1-8]' <<<"$out"; then
        pass "gambitron-engine answers uci, isready and go with a move"
    else
        fail "gambitron-engine does not speak UCI:"
        printf '%s\n' "$out" | sed 's/^/     /'
    fi
fi

# A saved game as the program writes it, here behind a comment line; and .pos files of other programs.
saves=$work/saves
mkdir -p "$saves"
printf '; kept for later\r\n[Gambitron Position]\r\nGameVersion=Gambitron Lite 1.1\r\nWhiteToMove=0\r\nSearchDepth=3\r\nComputerPlaysWhite=0\r\nComputerPlaysBlack=1\r\nPosition=rnbqkbnrpppppppp                    P           PPPP PPPRNBQKBNR\r\nWhiteOnTop=0\r\nLastMove=E2-E4\r\n' \
    >"$saves/game.pos"
printf '[gambitron position]\ngameversion=x\n' >"$saves/lower-case.pos"
printf '[Position]\nX=10.5\nY=-3\n' >"$saves/other-ini.pos"
printf 'G00 X10 Y20\nG01 X30 Y40\n' >"$saves/toolpath.pos"
# A PGN game as other chess programs write it, and one without tags, known by its name alone.
printf '[Event "Club"]\r\n[Site "?"]\r\n[Date "2026.01.02"]\r\n[Round "1"]\r\n[White "A"]\r\n[Black "B"]\r\n[Result "*"]\r\n\r\n1. e4 e5 2. Nf3 Nc6 *\r\n' \
    >"$saves/game.pgn"
printf '1. d4 d5 2. c4 *\n' >"$saves/moves.pgn"

# A window program that starts is still running when the timeout ends it (status 124).
start_offscreen() {
    local program=$1 status=0
    shift
    local what="$program${*:+ $*}"
    (cd "$work" && timeout 4 "$tree/$bindir/$program" "$@" >"$work/start.out" 2>&1) || status=$?
    if [ "$status" -ne 124 ]; then
        fail "$what ended with status $status instead of running:"
        sed 's/^/     /' "$work/start.out"
    elif grep -Ei 'cannot open|could not|not found|no such file|qrc:|":/' "$work/start.out" >"$work/start.bad"; then
        fail "$what runs but reports missing files:"
        sed 's/^/     /' "$work/start.bad"
    else
        pass "$what starts offscreen and keeps running"
    fi
}
declare -A version=([gambitron]="Gambitron 1.2" [gambitron-lite]="Gambitron Lite 1.1")
declare -A help_words=([gambitron]="Использование: --server --connect --port --help --version"
    [gambitron-lite]="Использование: --help --version")
for program in "${gui[@]}"; do
    exe=$tree/$bindir/$program
    out=$(timeout 20 "$exe" --version 2>/dev/null) || true
    if [ "$out" = "${version[$program]}" ]; then
        pass "$program --version prints \"$out\""
    else
        fail "$program --version prints \"$out\", not \"${version[$program]}\""
    fi
    # The newest release the metainfo names is the version the program reports.
    release=$(sed -n 's/.*<release version="\([^"]*\)".*/\1/p' "$tree/share/metainfo/${app_id[$program]}.metainfo.xml" |
        head -n 1)
    if [ "${out##* }" = "$release" ]; then
        pass "$program's metainfo names its release $release"
    else
        fail "$program's metainfo names its release \"$release\", but the program says \"$out\""
    fi
    out=$(timeout 20 "$exe" --help 2>&1) || true
    missing=()
    for word in ${help_words[$program]}; do grep -q -- "$word" <<<"$out" || missing+=("$word"); done
    if [ ${#missing[@]} -eq 0 ]; then
        pass "$program --help lists its options"
    else
        fail "$program --help lacks ${missing[*]}"
    fi
    start_offscreen "$program"
done
has gambitron-lite && start_offscreen gambitron-lite "$saves/game.pos"
# Started as a server, the installed gambitron loads its network module and deals a connecting peer its side.
if has gambitron; then
    port=$(python3 -c 'import socket; s = socket.socket(); s.bind(("127.0.0.1", 0)); print(s.getsockname()[1])')
    (cd "$work" && exec timeout 10 "$tree/$bindir/gambitron" --server --port "$port" >"$work/server.out" 2>&1) &
    server=$!
    reply=
    for _ in $(seq 50); do
        if { exec 3<>"/dev/tcp/127.0.0.1/$port"; } 2>/dev/null; then
            read -r -t 5 -N 12 reply <&3 || true
            exec 3<&-
            break
        fi
        sleep 0.1
    done
    kill "$server" 2>/dev/null || true
    wait "$server" 2>/dev/null || true
    if [ "$reply" = "#:Side:White" ]; then
        pass "gambitron --server, installed, loads its network play and answers a peer"
    else
        fail "gambitron --server, installed, did not answer a peer with its side (\"$reply\"):"
        sed 's/^/     /' "$work/server.out"
    fi
fi
has gambitron-lite && start_offscreen gambitron-lite "$saves/game.pgn"

echo "== desktop entries, metainfo, icons"
for program in "${gui[@]}"; do
    id=${app_id[$program]}
    desktop=$tree/share/applications/$id.desktop
    check "$id.desktop passes desktop-file-validate" desktop-file-validate "$desktop"
    exec_program=$(sed -n 's/^Exec=\([^ ]*\).*/\1/p' "$desktop")
    icon=$(sed -n 's/^Icon=//p' "$desktop")
    check "$id.desktop starts $exec_program, which is installed" test -x "$tree/$bindir/$exec_program"
    check "$id.desktop names the installed icon $icon" test -f "$tree/share/icons/hicolor/scalable/apps/$icon.svg"
    check "$id.metainfo.xml passes appstreamcli validate --no-net" \
        appstreamcli validate --no-net "$tree/share/metainfo/$id.metainfo.xml"
    check "$id.metainfo.xml launches $id.desktop" \
        grep -q "<launchable type=\"desktop-id\">$id.desktop</launchable>" "$tree/share/metainfo/$id.metainfo.xml"
done
if [ ${#gui[@]} -gt 0 ]; then
    for size in 16 32 48 64 128 256; do
        check "the ${size} px icon is a ${size} x ${size} PNG with transparency" bash -c \
            "file '$tree/share/icons/hicolor/${size}x$size/apps/gambitron.png' | grep -q 'PNG image data, $size x $size, 8-bit/color RGBA'"
    done
    check "the scalable icon is an SVG image" bash -c \
        "file '$tree/share/icons/hicolor/scalable/apps/gambitron.svg' | grep -q 'SVG Scalable Vector Graphics'"
fi

echo "== the saved-game and PGN file types"
if has gambitron-lite; then
    update-mime-database "$tree/share/mime" >/dev/null 2>&1
    update-desktop-database "$tree/share/applications"
    filetype() { XDG_DATA_DIRS=$tree/share:/usr/share xdg-mime query filetype "$1"; }
    for file in game.pos lower-case.pos; do
        type=$(filetype "$saves/$file")
        if [ "$type" = application/x-gambitron-position ]; then
            pass "xdg-mime names $file a Gambitron saved game"
        else
            fail "xdg-mime names $file \"$type\", not application/x-gambitron-position"
        fi
    done
    for file in other-ini.pos toolpath.pos; do
        type=$(filetype "$saves/$file")
        if [ "$type" != application/x-gambitron-position ]; then
            pass "xdg-mime leaves another program's $file alone ($type)"
        else
            fail "xdg-mime claims another program's $file as a Gambitron saved game"
        fi
    done
    handler=$(XDG_DATA_DIRS=$tree/share:/usr/share XDG_DATA_HOME=$work/home xdg-mime query default \
        application/x-gambitron-position)
    if [ "$handler" = "${app_id[gambitron-lite]}.desktop" ]; then
        pass "saved games open with $handler"
    else
        fail "saved games open with \"$handler\", not ${app_id[gambitron-lite]}.desktop"
    fi
    # PGN is the system's own type (application/vnd.chess-pgn, formerly application/x-chess-pgn); the
    # entry claims both names.
    for file in game.pgn moves.pgn; do
        type=$(filetype "$saves/$file")
        case $type in
        application/vnd.chess-pgn | application/x-chess-pgn) pass "xdg-mime names $file a PGN game ($type)" ;;
        *) fail "xdg-mime names $file \"$type\", not a PGN game" ;;
        esac
        handler=$(XDG_DATA_DIRS=$tree/share:/usr/share XDG_DATA_HOME=$work/home xdg-mime query default "$type")
        if [ "$handler" = "${app_id[gambitron-lite]}.desktop" ]; then
            pass "$file opens with $handler"
        else
            fail "$file opens with \"$handler\", not ${app_id[gambitron-lite]}.desktop"
        fi
    done
    for type in application/vnd.chess-pgn application/x-chess-pgn; do
        check "${app_id[gambitron-lite]}.desktop claims $type" \
            grep -q "^MimeType=.*$type;" "$tree/share/applications/${app_id[gambitron-lite]}.desktop"
    done
else
    echo "skip the saved-game file type: gambitron-lite is not built"
fi

echo "== manual pages, in English and in Russian"
for program in "${programs[@]}"; do
    for lang in en ru; do
        page=$tree/share/man/man6/$program.6.gz
        [ "$lang" = ru ] && page=$tree/share/man/ru/man6/$program.6.gz
        warnings=$(MANWIDTH=80 man --warnings -l "$page" 2>&1 >/dev/null)
        if [ -z "$warnings" ]; then
            pass "man -l renders $program(6) [$lang] without warnings"
        else
            fail "man -l warns on $program(6) [$lang]:"
            printf '%s\n' "$warnings" | sed 's/^/     /'
        fi
        check "$program(6) [$lang] has a NAME line that whatis can read" \
            bash -c "lexgrog '$page' | grep -q '\"$program - '"
    done
    # man's own search: the Russian page for a Russian reader, the English one otherwise.
    check "man -L ru finds the Russian $program(6)" bash -c \
        "MANPATH='$tree/share/man' MANWIDTH=80 man -L ru 6 $program 2>/dev/null | grep -q 'ОПИСАНИЕ'"
    check "man -L en finds the English $program(6)" bash -c \
        "MANPATH='$tree/share/man' MANWIDTH=80 man -L en 6 $program 2>/dev/null | grep -q 'DESCRIPTION'"
done

echo "== Debian package"
if (cd "$build" && cpack -G DEB -B "$work/package") >"$work/cpack.log" 2>&1; then
    deb=$(find "$work/package" -maxdepth 1 -name 'gambitron_*.deb' -print -quit)
    pass "cpack -G DEB built $(basename "$deb")"
    if diff "$work/installed.txt" <(dpkg-deb -c "$deb" | awk '$1 !~ /^d/ {print $6}' | sort) \
        >"$work/deb.diff"; then
        pass "the package holds the same files as the install"
    else
        fail "the package and the install differ:"
        sed 's/^/     /' "$work/deb.diff"
    fi
    depends=$(dpkg-deb -f "$deb" Depends)
    want=(libc6 libstdc++6)
    [ ${#gui[@]} -gt 0 ] && want+=(libqt6widgets6)
    for lib in "${want[@]}"; do
        check "the package depends on $lib (from dpkg-shlibdeps)" grep -q "\b$lib\b" <<<"$depends"
    done
    # The windows open these on their first sound; no library link tells dpkg-shlibdeps about them.
    if [ ${#gui[@]} -gt 0 ]; then
        for lib in libasound2 libsndfile1; do
            check "the package depends on $lib (opened at run time)" grep -q "\b$lib\b" <<<"$depends"
        done
    fi
    # lintian refuses nothing as root, but says so on stderr.
    if lintian --fail-on error "$deb" >"$work/lintian.log" 2>&1; then
        pass "lintian reports no errors ($(grep -c '^W:' "$work/lintian.log" || true) warnings)"
    else
        fail "lintian reports errors:"
        grep -v 'root privileges' "$work/lintian.log" | sed 's/^/     /'
    fi
else
    fail "cpack -G DEB failed:"
    sed 's/^/     /' "$work/cpack.log"
fi

echo "$passed passed, $failed failed"
[ "$failed" -eq 0 ]
