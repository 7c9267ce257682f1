#!/usr/bin/env bash
# Runs a command beside a private Avahi daemon and D-Bus system bus, inside a
# network namespace of its own whose only interface is loopback: DNS-SD works
# there end to end and nothing reaches any real network. Needs root and the
# avahi-daemon package. Example:
#   scripts/dnssd_sandbox.sh build/tests/discovery/lexmire_discovery_tests --gtest_filter='DnsSd*'
set -euo pipefail

if [ "${LEXMIRE_IN_DNSSD_SANDBOX:-}" != 1 ]; then
  command -v avahi-daemon >/dev/null || { echo "dnssd_sandbox: avahi-daemon is not installed" >&2; exit 2; }
  LEXMIRE_IN_DNSSD_SANDBOX=1 exec unshare --net "$0" "$@"
fi

dir=$(mktemp -d)
pids=()
cleanup() {
  for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
  wait 2>/dev/null || true
  rm -rf "$dir"
}
trap cleanup EXIT

ip link set lo up
cat >"$dir/avahi.conf" <<'CONF'
[server]
use-ipv4=yes
use-ipv6=no
allow-interfaces=lo
enable-dbus=yes
[publish]
publish-hinfo=no
publish-workstation=no
CONF

dbus-daemon --config-file=/usr/share/dbus-1/system.conf --address="unix:path=$dir/bus" \
  --nofork --nopidfile 2>"$dir/dbus.log" &
pids+=($!)
for _ in $(seq 100); do [ -S "$dir/bus" ] && break; sleep 0.05; done
export DBUS_SYSTEM_BUS_ADDRESS="unix:path=$dir/bus"

avahi-daemon -f "$dir/avahi.conf" --no-chroot --no-drop-root --no-rlimits >"$dir/avahi.log" 2>&1 &
pids+=($!)
for _ in $(seq 100); do grep -q "Server startup complete" "$dir/avahi.log" && break; sleep 0.05; done
grep -q "Server startup complete" "$dir/avahi.log" || { cat "$dir/avahi.log" >&2; exit 1; }

"$@"
