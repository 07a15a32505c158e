#!/usr/bin/env bash
# Installs the Debian package on a fresh Debian 12 system in a chroot and starts the programs there, to show
# that the package's dependencies are complete. Not part of ./test: it downloads a base system (about
# 100 MB) and needs root and the Debian mirror.
#
#   tools/check_deb_in_chroot.sh [PACKAGE.deb] [CHROOT_DIR]
#
# PACKAGE.deb defaults to the newest gambitron_*.deb in build/release. With CHROOT_DIR the base system is
# made there on the first run and reused afterwards (a copy is taken for each check, so the base stays
# fresh); without it a throwaway one is made and removed.
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
deb=${1:-$(ls -t "$root"/build/release/gambitron_*.deb 2>/dev/null | head -n 1)}
base=${2:-}
mirror=${DEBIAN_MIRROR:-http://deb.debian.org/debian}

[ "$(id -u)" -eq 0 ] || { echo "Needs root (debootstrap and chroot)."; exit 1; }
[ -f "$deb" ] || { echo "No package; build one with: cd build/release && cpack -G DEB"; exit 1; }
command -v debootstrap >/dev/null || { echo "Needs debootstrap: apt-get install debootstrap"; exit 1; }

work=$(mktemp -d)
cleanup() {
    for fs in proc dev/pts dev; do
        mountpoint -q "$work/system/$fs" && umount -l "$work/system/$fs"
    done
    rm -rf "$work"
}
trap cleanup EXIT

if [ -z "$base" ]; then
    base=$work/base
fi
if [ ! -x "$base/usr/bin/apt-get" ]; then
    echo "== debootstrap bookworm into $base"
    debootstrap --variant=minbase bookworm "$base" "$mirror" >"$work/debootstrap.log" 2>&1 ||
        { tail -n 20 "$work/debootstrap.log"; exit 1; }
fi
echo "== a fresh copy of the base system"
cp -a "$base" "$work/system"
system=$work/system
mount -t proc proc "$system/proc"
mount --bind /dev "$system/dev"
mount --bind /dev/pts "$system/dev/pts"
cp /etc/resolv.conf "$system/etc/resolv.conf"
cp "$deb" "$system/tmp/"
name=$(basename "$deb")

in_chroot() { chroot "$system" /usr/bin/env -i PATH=/usr/local/bin:/usr/bin:/bin:/usr/sbin:/sbin:/usr/games \
    HOME=/root LC_ALL=C.UTF-8 DEBIAN_FRONTEND=noninteractive "$@"; }

echo "== dpkg -i $name, then apt-get -f install for its dependencies"
in_chroot apt-get update -qq
in_chroot dpkg -i "/tmp/$name" || true
in_chroot apt-get -f install -y -qq >"$work/apt.log" 2>&1 || { tail -n 20 "$work/apt.log"; exit 1; }
in_chroot dpkg -s gambitron | grep -E '^(Status|Version):'

echo "== the programs on the fresh system"
# There is no display in the chroot: the window programs parse their options after the toolkit is up, so
# they get the offscreen platform.
status=0
for program in gambitron-lite gambitron; do
    if [ -x "$system/usr/games/$program" ]; then
        echo "\$ $program --help"
        in_chroot QT_QPA_PLATFORM=offscreen "/usr/games/$program" --help || status=1
    else
        echo "($program is not in this package)"
    fi
done
echo "\$ echo 'go depth 4' | gambitron-engine"
printf 'uci\ngo depth 4\nquit\n' | in_chroot /usr/games/gambitron-engine | grep -E '^(id name|bestmove)' || status=1
in_chroot dpkg -L gambitron | grep -c . | sed 's/^/files in the package: /'
[ "$status" -eq 0 ] && echo "The package installs and runs on a fresh Debian 12."
exit "$status"
