// The beacon's sending side.
#include "beacon_announcer.h"

#include "beacon_codec.h"
#include "discovery_limits.h"

#include <QNetworkInterface>

namespace discovery {

QList<QHostAddress> beaconTargets(bool localOnly)
{
    // 127.0.0.1 reaches one listener on this machine even where broadcast is
    // refused; the loopback broadcast reaches every listener sharing the port,
    // which a unicast datagram never does.
    QList<QHostAddress> targets { QHostAddress(QHostAddress::LocalHost),
        QHostAddress(QStringLiteral("127.255.255.255")) };
    if (localOnly)
        return targets;
    const auto interfaces = QNetworkInterface::allInterfaces();
    for (const QNetworkInterface& i : interfaces) {
        const auto flags = i.flags();
        if (!flags.testFlag(QNetworkInterface::IsUp) || !flags.testFlag(QNetworkInterface::IsRunning)
            || !flags.testFlag(QNetworkInterface::CanBroadcast)
            || flags.testFlag(QNetworkInterface::IsLoopBack))
            continue;
        for (const QNetworkAddressEntry& entry : i.addressEntries()) {
            const QHostAddress broadcast = entry.broadcast();
            if (entry.ip().protocol() == QAbstractSocket::IPv4Protocol && !broadcast.isNull()
                && !targets.contains(broadcast) && targets.size() < kMaxBeaconTargets)
                targets.append(broadcast);
        }
    }
    return targets;
}

BeaconAnnouncer::BeaconAnnouncer(quint16 port, QList<QHostAddress> targets, bool localOnly)
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

QList<QHostAddress> BeaconAnnouncer::currentTargets() const
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
    for (const QHostAddress& target : std::as_const(lastTargets_))
        socket_.writeDatagram(datagram, target, port_);
}

} // namespace discovery
