// lexmire-server on the local network: its announcement, kept up to date with
// the seats, spies and round of the server it runs.
#pragma once

#include "game_announcer.h"

#include <QObject>
#include <QTimer>

class TServer;

// The status an announcement shows, read from the server.
discovery::GameStatus serverGameStatus(const TServer& server);

// The name a server goes by: its host player's name, or, on a server nobody
// hosts from a window, "lexmire-server on <machine>".
QString serverAnnouncedName(const TServer& server, const QString& machineName);

class ServerAnnouncement : public QObject {
public:
    // Starts announcing at once; the server must be listening already.
    explicit ServerAnnouncement(const TServer& server,
        discovery::GameAnnouncer::Options options = discovery::GameAnnouncer::Options(),
        QObject* parent = nullptr);

    // The refresh timer's tick handler: reads the server again. The announcer
    // sends only when something differs.
    void refreshTick();

    discovery::GameAnnouncer& announcer() { return announcer_; }

private:
    const TServer& server_;
    discovery::GameAnnouncer announcer_;
    QTimer refresh_;
};
