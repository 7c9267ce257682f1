// Where a beacon goes: this machine's loopback pair, then one broadcast address
// per IPv4 network of an interface that is up and can broadcast, within the cap.
#include "beacon_targets.h"
#include "discovery_limits.h"

#include <gtest/gtest.h>

#include <deque>

#include <arpa/inet.h>
#include <ifaddrs.h>
#include <net/if.h>
#include <netinet/in.h>
#include <sys/socket.h>

using namespace discovery;

namespace {

constexpr unsigned kUsable = IFF_UP | IFF_RUNNING | IFF_BROADCAST;

Ipv4Address address(const char* text) { return Ipv4Address::fromString(QString::fromLatin1(text)).value(); }

// An interface list laid out as getifaddrs() gives it.
class InterfaceList {
public:
    // An IPv4 address entry; broadcast null leaves the field empty.
    void addIpv4(const char* name, unsigned flags, const char* ip, const char* broadcast)
    {
        ifaddrs& entry = add(name, flags);
        entry.ifa_addr = ipv4(ip);
        entry.ifa_broadaddr = broadcast != nullptr ? ipv4(broadcast) : nullptr;
    }
    // A point-to-point link: the field a broadcast address would take holds the peer.
    void addPointToPoint(const char* name, const char* ip, const char* peer)
    {
        ifaddrs& entry = add(name, IFF_UP | IFF_RUNNING | IFF_POINTOPOINT);
        entry.ifa_addr = ipv4(ip);
        entry.ifa_dstaddr = ipv4(peer);
    }
    void addIpv6(const char* name, unsigned flags, const char* ip)
    {
        auto& a = v6_.emplace_back();
        a.sin6_family = AF_INET6;
        inet_pton(AF_INET6, ip, &a.sin6_addr);
        add(name, flags).ifa_addr = reinterpret_cast<sockaddr*>(&a);
    }
    // The link entry each interface also has (AF_PACKET on Linux), or none at all.
    void addWithoutAddress(const char* name, unsigned flags) { add(name, flags); }

    const ifaddrs* head() const { return entries_.empty() ? nullptr : &entries_.front(); }

private:
    ifaddrs& add(const char* name, unsigned flags)
    {
        ifaddrs& entry = entries_.emplace_back();
        entry.ifa_name = const_cast<char*>(name);
        entry.ifa_flags = flags;
        if (entries_.size() > 1)
            entries_[entries_.size() - 2].ifa_next = &entry;
        return entry;
    }
    sockaddr* ipv4(const char* text)
    {
        auto& a = v4_.emplace_back();
        a.sin_family = AF_INET;
        inet_pton(AF_INET, text, &a.sin_addr);
        return reinterpret_cast<sockaddr*>(&a);
    }

    // Deques: entries keep their places as more are added.
    std::deque<ifaddrs> entries_;
    std::deque<sockaddr_in> v4_;
    std::deque<sockaddr_in6> v6_;
};

const QList<Ipv4Address> kLoopbackPair { Ipv4Address::localHost(), Ipv4Address::loopbackBroadcast() };

} // namespace

TEST(BeaconTargets, OnlyBroadcastsOfUsableIpv4NetworksFollowTheLoopbackPair)
{
    InterfaceList list;
    list.addWithoutAddress("lo", IFF_UP | IFF_RUNNING | IFF_LOOPBACK);
    list.addIpv4("lo", IFF_UP | IFF_RUNNING | IFF_LOOPBACK | IFF_BROADCAST, "10.9.9.1", "10.9.9.255");
    list.addWithoutAddress("eth0", kUsable);
    list.addIpv4("eth0", kUsable, "192.168.1.20", "192.168.1.255");
    list.addIpv6("eth0", kUsable, "fe80::1");
    list.addIpv4("eth0", kUsable, "192.168.1.21", "192.168.1.255"); // a second address, same network
    list.addIpv4("eth1", IFF_UP | IFF_BROADCAST, "10.1.1.5", "10.1.1.255"); // cable out
    list.addIpv4("eth2", IFF_RUNNING | IFF_BROADCAST, "10.2.2.5", "10.2.2.255"); // switched off
    list.addIpv4("eth3", IFF_UP | IFF_RUNNING, "10.3.3.5", "10.3.3.255"); // cannot broadcast
    list.addIpv4("eth4", kUsable, "10.4.4.5", nullptr); // no broadcast address set
    list.addPointToPoint("tun0", "10.8.0.2", "10.8.0.1");
    list.addIpv4("wlan0", kUsable, "172.16.5.9", "172.16.255.255");

    EXPECT_EQ(beaconTargetsFrom(list.head()),
        (QList<Ipv4Address> { Ipv4Address::localHost(), Ipv4Address::loopbackBroadcast(),
            address("192.168.1.255"), address("172.16.255.255") }));
    EXPECT_EQ(beaconTargetsFrom(nullptr), kLoopbackPair);
}

TEST(BeaconTargets, ManyNetworksStopAtTheCapInTheirOrder)
{
    InterfaceList list;
    std::deque<std::string> names;
    std::deque<std::string> ips;
    std::deque<std::string> broadcasts;
    for (int n = 1; n <= kMaxBeaconTargets + 10; ++n) {
        names.push_back("veth" + std::to_string(n));
        ips.push_back("10.0." + std::to_string(n) + ".1");
        broadcasts.push_back("10.0." + std::to_string(n) + ".255");
        list.addIpv4(names.back().c_str(), kUsable, ips.back().c_str(), broadcasts.back().c_str());
    }
    const QList<Ipv4Address> targets = beaconTargetsFrom(list.head());
    ASSERT_EQ(targets.size(), kMaxBeaconTargets);
    EXPECT_EQ(targets.mid(0, 2), kLoopbackPair);
    for (int i = 2; i < kMaxBeaconTargets; ++i)
        EXPECT_EQ(targets[i], address(broadcasts[static_cast<std::size_t>(i - 2)].c_str()));
}
