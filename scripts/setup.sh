#!/usr/bin/env bash
# Shared set-up for ./run and ./test: install what a fresh Debian 12 machine lacks, then configure and build.
set -euo pipefail

# What building and running need; ./test adds what testing and checking need.
RUN_PACKAGES=(build-essential cmake ninja-build pkg-config qt6-base-dev libpng-dev zlib1g-dev libasound2-dev
    libsndfile1-dev libgtest-dev libbenchmark-dev fonts-dejavu-core qt6-translations-l10n)
# Qt Linguist's tools: the English translation is compiled at build time, and updated or checked from the sources.
RUN_PACKAGES+=(qt6-tools-dev qt6-tools-dev-tools qt6-l10n-tools)
# The face that stands in for "Tahoma": its 11-pixel text fits the windows' fixed layouts.
RUN_PACKAGES+=(fonts-liberation)
# Finding games on the local network (DNS-SD over mDNS through the system's avahi-daemon).
RUN_PACKAGES+=(libavahi-client-dev)
TEST_PACKAGES=(git clang-format clang libclang-rt-14-dev xvfb xauth xdotool imagemagick)
# The discovery tests run their own daemons in a private network namespace (tests/net/run_isolated.sh).
TEST_PACKAGES+=(avahi-daemon dbus iproute2)
# Checks of the installed tree and the Debian package (tests/install).
TEST_PACKAGES+=(desktop-file-utils appstream shared-mime-info xdg-utils libfile-mimeinfo-perl man-db lintian
    dpkg-dev fakeroot file binutils python3)

# install_missing [PACKAGE...]: installs the given packages (default: what running needs) when missing.
install_missing() {
    local missing=() wanted=("$@")
    [ ${#wanted[@]} -eq 0 ] && wanted=("${RUN_PACKAGES[@]}")
    for p in "${wanted[@]}"; do
        dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
    done
    [ ${#missing[@]} -eq 0 ] && return 0
    if [ "$(id -u)" -eq 0 ]; then
        echo "Installing: ${missing[*]}"
        # Installed packages may not start their services: avahi-daemon would announce itself on the real
        # network, and the tests run their own inside a private namespace.
        local policy=/usr/sbin/policy-rc.d created=0 status=0
        if [ ! -e "$policy" ]; then
            printf '#!/bin/sh\nexit 101\n' >"$policy" && chmod +x "$policy" && created=1
        fi
        apt-get update -qq && DEBIAN_FRONTEND=noninteractive apt-get install -y -qq "${missing[@]}" || status=$?
        [ "$created" -eq 0 ] || rm -f "$policy"
        return "$status"
    else
        echo "Missing packages. Install them with:"
        echo "  sudo apt-get install -y ${missing[*]}"
        exit 1
    fi
}

build_preset() {
    local preset=$1
    cmake --preset "$preset" >/dev/null
    cmake --build --preset "$preset"
}
