// The beacon's sending side.
#include "beacon_announcer.h"

#include "beacon_codec.h"
#include "beacon_targets.h"
#include "discovery_limits.h"

namespace discovery {

BeaconAnnouncer::BeaconAnnouncer(quint16 port, QList<Ipv4Address> targets, bool localOnly)
    : port_(port)
    , fixedTargets_(std::move(targets))
    , localOnly_(localOnly)
{
    timer_.setInterval(kBeaconIntervalMs);
    QObject::connect(&timer_, &QTimer::timeout, [this] { beaconTick(); });
}

BeaconAnnouncer::~BeaconAnnouncer() { withdraw(); }

void BeaconAnnouncer::publish(const Announcement& announcement)
{
    announcement_ = announcement;
    send(false);
    timer_.start(); // the next repeat is a full interval after this change
}

void BeaconAnnouncer::withdraw()
{
    if (!announcement_)
        return;
    timer_.stop();
    // One goodbye so listeners drop the game at once; one that is lost leaves
    // the game to their TTL.
    send(true);
    announcement_.reset();
}

void BeaconAnnouncer::beaconTick()
{
    if (announcement_)
        send(false);
}

QList<Ipv4Address> BeaconAnnouncer::currentTargets() const
{
    if (!fixedTargets_.isEmpty())
        return fixedTargets_.mid(0, kMaxBeaconTargets);
    return beaconTargets(localOnly_);
}

void BeaconAnnouncer::send(bool withdrawn)
{
    const QByteArray datagram = encodeBeacon({ *announcement_, withdrawn });
    lastTargets_ = currentTargets();
    // A target that cannot be reached now (an interface going down) is skipped
    // this time and tried again at the next tick.
    for (const Ipv4Address& target : std::as_const(lastTargets_))
        socket_.send(datagram, target, port_);
}

} // namespace discovery
