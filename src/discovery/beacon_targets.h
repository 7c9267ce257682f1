// Where a beacon goes when no targets are given: this machine's loopback pair
// and the broadcast address of every IPv4 network this machine is on.
#pragma once

#include "ipv4_address.h"

#include <QList>

struct ifaddrs;

namespace discovery {

// The broadcast addresses of the interfaces that are up and can broadcast,
// after this machine's loopback pair, capped at kMaxBeaconTargets.
// localOnly: the loopback pair alone.
QList<Ipv4Address> beaconTargets(bool localOnly);

// The same for the interface list getifaddrs() gives.
QList<Ipv4Address> beaconTargetsFrom(const ifaddrs* interfaces);

} // namespace discovery
