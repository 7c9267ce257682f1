// GameBrowser: the live list of games announced on the local network, heard
// through the UDP beacon and, where an Avahi daemon answers, through DNS-SD.
#pragma once

#include "discovery_limits.h"
#include "game_info.h"
#include "ipv4_address.h"

#include <QByteArrayView>
#include <QList>
#include <QObject>
#include <QStringList>
#include <QTimer>

#include <optional>

namespace discovery {

class DnsSdBrowsing;
class UdpSocket;

class GameBrowser : public QObject {
    Q_OBJECT
public:
    struct Options {
        // 0 picks a free port (tests).
        quint16 beaconPort = kBeaconPort;
        // Also browse DNS-SD when a daemon answers.
        bool dnssd = true;
        // Where the DNS-SD module is looked for; empty: beside the program, then installed.
        QStringList dnssdModulePaths;
    };

    explicit GameBrowser(QObject* parent = nullptr);
    explicit GameBrowser(Options options, QObject* parent = nullptr);
    ~GameBrowser() override;

    // Starts listening; false, with errorString(), when neither the beacon port
    // could be taken nor a daemon answered.
    bool start();
    // Stops listening and forgets every game, telling gameRemoved for each.
    void stop();
    bool hearsBeacon() const { return socket_ != nullptr; }
    bool hearsDnsSd() const { return dnssd_ != nullptr; }
    quint16 beaconPort() const;
    QString errorString() const { return error_; }

    // Games in the order they were first heard.
    QList<DiscoveredGame> games() const;
    std::optional<DiscoveredGame> game(const QString& key) const;

    // The TTL timer's tick handler: a beacon game not heard for kBeaconTtlTicks
    // ticks is removed. Production runs it every kTtlTickMs; tests call it.
    void ttlTick();

    // One datagram as it arrived on the beacon port from sender.
    void takeBeaconDatagram(QByteArrayView datagram, Ipv4Address sender);

signals:
    void gameAdded(const discovery::DiscoveredGame& game);
    void gameChanged(const discovery::DiscoveredGame& game);
    void gameRemoved(const QString& key);

private:
    struct Entry {
        DiscoveredGame game;
        bool fromBeacon = false;
        int ticksLeft = 0; // beacon games: ticks until it expires
        int addressTicksLeft = 0; // ticks until its address may be replaced by another
    };

    bool bindBeacon();
    void readBeacon();
    void foundDnsSd(DiscoveredGame game);
    void remove(const QString& key);
    void dropDnsSd();
    qsizetype indexOf(const QString& key) const;

    Options options_;
    // Children of the browser, let go with deleteLater(): stop() may come from
    // a slot running inside one of their own reports.
    UdpSocket* socket_ = nullptr;
    DnsSdBrowsing* dnssd_ = nullptr;
    QList<Entry> entries_;
    QTimer ttlTimer_;
    QString error_;
};

} // namespace discovery
