// What an announcement says about one game, and how a browser lists a game it heard.
#pragma once

#include "ipv4_address.h"

#include <QString>

namespace discovery {

// The part of an announcement that changes while the game runs.
struct GameStatus {
    int seatsTaken = 0; // 0..4
    int spies = 0; // 0..5
    bool roundRunning = false;
    bool operator==(const GameStatus&) const = default;
};

// One announcement as an announcer sends it and a backend carries it.
struct Announcement {
    quint64 instanceId = 0; // one per announcer, so copies heard over several paths are one game
    QString hostName; // the hosting player's name
    QString machineName; // the announcing machine's host name; may be empty
    quint16 gamePort = 0;
    QString version; // the game protocol's version text
    GameStatus status;
    bool operator==(const Announcement&) const = default;
};

// A game as a browser lists it.
struct DiscoveredGame {
    QString key; // stable while the game is listed
    QString hostName;
    Ipv4Address address;
    quint16 port = 0;
    QString machineName; // empty when unknown
    QString version;
    GameStatus status;
    bool operator==(const DiscoveredGame&) const = default;
};

} // namespace discovery
