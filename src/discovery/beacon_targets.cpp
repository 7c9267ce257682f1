// The beacon's targets, read from the system's interface list.
#include "beacon_targets.h"

#include "discovery_limits.h"

#include <ifaddrs.h>
#include <net/if.h>
#include <netinet/in.h>

namespace discovery {

namespace {

    // 127.0.0.1 reaches one listener on this machine even where broadcast is
    // refused; the loopback broadcast reaches every listener sharing the port,
    // which a unicast datagram never does.
    QList<Ipv4Address> loopbackPair()
    {
        return { Ipv4Address::localHost(), Ipv4Address::loopbackBroadcast() };
    }

    bool canBroadcastOn(const ifaddrs& i)
    {
        constexpr unsigned required = IFF_UP | IFF_RUNNING | IFF_BROADCAST;
        return (i.ifa_flags & required) == required && (i.ifa_flags & IFF_LOOPBACK) == 0;
    }

} // namespace

QList<Ipv4Address> beaconTargetsFrom(const ifaddrs* interfaces)
{
    QList<Ipv4Address> targets = loopbackPair();
    for (const ifaddrs* i = interfaces; i != nullptr; i = i->ifa_next) {
        // Without IFF_BROADCAST the same field holds a point-to-point peer,
        // not a broadcast address.
        if (!canBroadcastOn(*i) || i->ifa_addr == nullptr || i->ifa_addr->sa_family != AF_INET
            || i->ifa_broadaddr == nullptr || i->ifa_broadaddr->sa_family != AF_INET)
            continue;
        const auto* broadcast = reinterpret_cast<const sockaddr_in*>(i->ifa_broadaddr);
        const Ipv4Address target(ntohl(broadcast->sin_addr.s_addr));
        if (!targets.contains(target) && targets.size() < kMaxBeaconTargets)
            targets.append(target);
    }
    return targets;
}

QList<Ipv4Address> beaconTargets(bool localOnly)
{
    if (localOnly)
        return loopbackPair();
    ifaddrs* interfaces = nullptr;
    // Without an interface list, this machine is still reached.
    if (::getifaddrs(&interfaces) != 0)
        return loopbackPair();
    QList<Ipv4Address> targets = beaconTargetsFrom(interfaces);
    ::freeifaddrs(interfaces);
    return targets;
}

} // namespace discovery
