#!/usr/bin/env bash
# Runs a command inside a private network namespace that has only loopback, with a system bus and an
# avahi-daemon of its own that publish on loopback alone, so that discovery tests never reach a real
# network. Exits 77 (skipped) where such a namespace cannot be made (no root, no user namespaces).
#   tests/net/run_isolated.sh build/release/tests/net/net_tests --gtest_filter='Isolated*'
set -euo pipefail

if [ "${GAMBITRON_ISOLATED:-}" != 1 ]; then
    if ! unshare --net --mount true 2>/dev/null; then
        echo "SKIPPED: no private network namespace can be made here (needs root or user namespaces)"
        exit 77
    fi
    for tool in dbus-daemon avahi-daemon ip; do
        command -v "$tool" >/dev/null || { echo "SKIPPED: $tool is not installed"; exit 77; }
    done
    exec unshare --net --mount --propagation private env GAMBITRON_ISOLATED=1 "$0" "$@"
fi

# Inside: loopback is the only interface; avahi takes it once it carries multicast.
ip link set lo up
ip link set lo multicast on
mount -t tmpfs tmpfs /run
mkdir -p /run/dbus /run/avahi-daemon
work=$(mktemp -d)
cat >"$work/avahi-daemon.conf" <<'CONF'
[server]
host-name=gambitron-test
domain-name=local
use-ipv4=yes
use-ipv6=no
allow-interfaces=lo
enable-dbus=yes
[publish]
publish-hinfo=no
publish-workstation=no
CONF
dbus_pid=$(dbus-daemon --system --fork --print-pid)
avahi-daemon --no-drop-root --no-rlimits --no-chroot -f "$work/avahi-daemon.conf" -D
# The daemons would keep the namespace alive; they end with the command.
cleanup() {
    avahi-daemon --kill 2>/dev/null || true
    kill "$dbus_pid" 2>/dev/null || true
    rm -rf "$work"
}
trap cleanup EXIT
for _ in $(seq 50); do avahi-daemon --check 2>/dev/null && break; sleep 0.1; done
"$@"
