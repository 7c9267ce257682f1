// Text forms of an IPv4 address, through the C library's own conversions.
#include "ipv4_address.h"

#include <arpa/inet.h>

namespace discovery {

std::optional<Ipv4Address> Ipv4Address::fromString(const QString& text)
{
    // inet_pton reads up to a NUL; text with one inside is not an address.
    if (text.contains(QChar(0)))
        return std::nullopt;
    in_addr address {};
    if (::inet_pton(AF_INET, text.toLatin1().constData(), &address) != 1)
        return std::nullopt;
    return Ipv4Address(ntohl(address.s_addr));
}

QString Ipv4Address::toString() const
{
    in_addr address {};
    address.s_addr = htonl(value_);
    char text[INET_ADDRSTRLEN] = {};
    ::inet_ntop(AF_INET, &address, text, sizeof text);
    return QString::fromLatin1(text);
}

} // namespace discovery
