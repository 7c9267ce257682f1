// GameAnnouncer: makes one hosted game known on the local network, through
// DNS-SD when an Avahi daemon answers and through the UDP beacon otherwise.
#pragma once

#include "discovery_limits.h"
#include "game_info.h"
#include "ipv4_address.h"

#include <QList>
#include <QObject>
#include <QStringList>

#include <memory>

namespace discovery {

class AnnounceBackend;
class BeaconAnnouncer;

// How an announcement travels.
enum class Transport { None, DnsSd, Beacon };

// True when LEXMIRE_ANNOUNCE_SCOPE is "machine": announcements then stay on
// this machine (the loopback beacon only), as test runs and closed set-ups want.
bool announcingToThisMachineOnly();

class GameAnnouncer : public QObject {
    Q_OBJECT
public:
    struct Options {
        // False: the beacon only, even where a daemon answers.
        bool tryDnsSd = true;
        quint16 beaconPort = kBeaconPort;
        // Where beacons go; empty: the broadcast address of every up interface
        // and this machine.
        QList<Ipv4Address> beaconTargets;
        // This machine only: the loopback beacon, never DNS-SD or broadcast.
        bool thisMachineOnly = announcingToThisMachineOnly();
        // Where the DNS-SD module is looked for; empty: beside the program, then installed.
        QStringList dnssdModulePaths;
    };

    GameAnnouncer(const QString& hostName, quint16 gamePort, QObject* parent = nullptr);
    GameAnnouncer(const QString& hostName, quint16 gamePort, Options options, QObject* parent = nullptr);
    // Takes the announcement back, telling nobody.
    ~GameAnnouncer() override;

    void start();
    void stop();
    void setEnabled(bool on) { on ? start() : stop(); }
    bool isRunning() const { return running_; }

    // The announcement follows at once when anything differs from what is out.
    void setStatus(const GameStatus& status);
    void setHostName(const QString& hostName);
    void setGamePort(quint16 port);
    GameStatus status() const { return announcement_.status; }
    const Announcement& announcement() const { return announcement_; }

    Transport transport() const { return transport_; }
    // Why DNS-SD is not in use, when it is not.
    QString dnssdError() const { return dnssdError_; }

    // The beacon's repeat tick; production runs it from a timer, tests call it.
    void beaconTick();

signals:
    void transportChanged(discovery::Transport transport);

private:
    void useBeacon();
    void republish();

    Options options_;
    Announcement announcement_;
    bool running_ = false;
    Transport transport_ = Transport::None;
    std::unique_ptr<AnnounceBackend> backend_;
    BeaconAnnouncer* beacon_ = nullptr; // backend_ when it is the beacon
    QString dnssdError_;
};

} // namespace discovery
