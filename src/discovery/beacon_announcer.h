// Announces a game with the UDP beacon: to the broadcast address of every up
// interface and to this machine, every couple of seconds and at once on a change.
#pragma once

#include "announce_backend.h"
#include "ipv4_address.h"
#include "udp_socket.h"

#include <QList>
#include <QTimer>

#include <optional>

namespace discovery {

class BeaconAnnouncer : public AnnounceBackend {
public:
    // targets empty: the broadcast addresses of the up interfaces, plus this machine.
    // localOnly: this machine only, whatever the interfaces.
    BeaconAnnouncer(quint16 port, QList<Ipv4Address> targets, bool localOnly);
    ~BeaconAnnouncer() override;

    void publish(const Announcement& announcement) override;
    void withdraw() override;

    // The repeat timer's tick handler: sends the announcement again.
    void beaconTick();
    bool isTicking() const { return timer_.isActive(); }
    // Where the last datagram went.
    QList<Ipv4Address> lastTargets() const { return lastTargets_; }

private:
    void send(bool withdrawn);
    QList<Ipv4Address> currentTargets() const;

    quint16 port_;
    QList<Ipv4Address> fixedTargets_;
    bool localOnly_;
    UdpSocket socket_;
    QTimer timer_;
    std::optional<Announcement> announcement_;
    QList<Ipv4Address> lastTargets_;
};

} // namespace discovery
