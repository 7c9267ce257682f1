// Where a player joins: the address typed in the join dialog (a host name or
// IPv4 address with an optional ":port"), and the addresses last joined.
#pragma once

#include <QString>
#include <QStringList>

#include <optional>

class GameSettings;

namespace joinaddress {

// A DNS name holds at most this many characters, and each of its labels 63.
constexpr int kMaxHostLength = 253;
constexpr int kMaxLabelLength = 63;

struct GameAddress {
    QString host;
    quint16 port = 0; // 0: the game's own port
    bool operator==(const GameAddress&) const = default;
};

// Nothing when the text is no host name or address the endpoint could look
// up, or names a port outside 1 to 65535. Spaces around it are ignored.
std::optional<GameAddress> parse(const QString& text);

// The address as the player reads it and the list remembers it: the host
// alone on the game's own port, else "host:port".
QString addressText(const GameAddress& address, quint16 gamePort);

// The remembered addresses, most recent first, without gaps or repeats.
QStringList recentAddresses(const GameSettings& settings);

// Puts address first; a repeat moves from its old place, and the oldest falls
// off past kRecentAddressCount. Host names compare without regard to case.
void rememberAddress(GameSettings& settings, const QString& address);

} // namespace joinaddress
