// Announces a game with the UDP beacon: to the broadcast address of every up
// interface and to this machine, every couple of seconds and at once on a change.
#pragma once

#include "announce_backend.h"

#include <QHostAddress>
#include <QList>
#include <QTimer>
#include <QUdpSocket>

#include <optional>

namespace discovery {

class BeaconAnnouncer : public AnnounceBackend {
public:
    // targets empty: the broadcast addresses of the up interfaces, plus this machine.
    // localOnly: this machine only, whatever the interfaces.
    BeaconAnnouncer(quint16 port, QList<QHostAddress> targets, bool localOnly);
    ~BeaconAnnouncer() override;

    void publish(const Announcement& announcement) override;
    void withdraw() override;

    // The repeat timer's tick handler: sends the announcement again.
    void beaconTick();
    bool isTicking() const { return timer_.isActive(); }
    // Where the last datagram went.
    QList<QHostAddress> lastTargets() const { return lastTargets_; }

private:
    void send(bool withdrawn);
    QList<QHostAddress> currentTargets() const;

    quint16 port_;
    QList<QHostAddress> fixedTargets_;
    bool localOnly_;
    QUdpSocket socket_;
    QTimer timer_;
    std::optional<Announcement> announcement_;
    QList<QHostAddress> lastTargets_;
};

// The broadcast addresses of the interfaces that are up and can broadcast,
// and this machine's loopback pair, capped at kMaxBeaconTargets.
QList<QHostAddress> beaconTargets(bool localOnly);

} // namespace discovery
