// An IPv4 address as the beacon and the join list use it: the game listens on
// IPv4 only, so no other kind of address is ever listed or announced to.
#pragma once

#include <QString>
#include <QtGlobal>

#include <optional>

namespace discovery {

class Ipv4Address {
public:
    constexpr Ipv4Address() = default;
    constexpr explicit Ipv4Address(quint32 hostOrder)
        : value_(hostOrder)
    {
    }

    // 127.0.0.1, and the loopback network's broadcast 127.255.255.255.
    static constexpr Ipv4Address localHost() { return Ipv4Address(0x7f000001u); }
    static constexpr Ipv4Address loopbackBroadcast() { return Ipv4Address(0x7fffffffu); }

    // A dotted quad; nothing for any other text.
    static std::optional<Ipv4Address> fromString(const QString& text);
    QString toString() const;

    constexpr quint32 toHostOrder() const { return value_; }
    // Anywhere in 127.0.0.0/8.
    constexpr bool isLoopback() const { return (value_ >> 24) == 127; }

    bool operator==(const Ipv4Address&) const = default;

private:
    quint32 value_ = 0;
};

} // namespace discovery
