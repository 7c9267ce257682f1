// DNS-SD through the system's Avahi daemon lives in the lexmire-dnssd module, loaded the
// first time a game is announced or looked for on the network: Avahi's client libraries
// cost every start most of a millisecond and their pages, and a solo game never uses them.
// The announcer and the browser are seen here through these interfaces only.
#pragma once

#include "announce_backend.h"
#include "game_info.h"

#include <QObject>
#include <QString>
#include <QStringList>

#include <functional>

namespace discovery {

// Announces a game as a DNS-SD service, the status in its text record.
class DnsSdAnnouncing : public AnnounceBackend {
public:
    // Connects to the daemon; false, with errorString(), when none answers.
    virtual bool open() = 0;
    virtual QString errorString() const = 0;
};

// Browses the network's DNS-SD games and keeps each one resolved. A QObject so its owner
// can let it go with deleteLater() from inside one of its own reports.
class DnsSdBrowsing : public QObject {
public:
    explicit DnsSdBrowsing(QObject* parent = nullptr)
        : QObject(parent)
    {
    }

    // Connects to the daemon and starts browsing; false, with errorString(), when none answers.
    virtual bool open() = 0;
    virtual QString errorString() const = 0;

    // A service found or changed, under a key stable while it is listed; the game's key
    // field is left for the owner.
    std::function<void(const QString& key, const DiscoveredGame& game)> onFound;
    std::function<void(const QString& key)> onLost;
    // The daemon went away; reported from the event loop.
    std::function<void()> onFailed;
};

// What the module offers, through its one entry point.
struct DnsSdFactory {
    DnsSdAnnouncing* (*makeAnnouncer)();
    DnsSdBrowsing* (*makeBrowser)(QObject* parent);
};

#define LEXMIRE_DNSSD_FACTORY "lexmire_dnssd_factory"
using DnsSdFactoryEntry = const DnsSdFactory* (*)();

namespace DnsSdModule {

    QString fileName();
    // The factory of the first of paths that loads as the module (empty paths: beside the
    // program, then the installed layout's module folder); null if none does. A loaded module
    // stays loaded.
    const DnsSdFactory* load(const QStringList& paths = {});
    // Said when the module is missing, where the daemon's own error would be.
    QString missingText();

} // namespace DnsSdModule

} // namespace discovery
