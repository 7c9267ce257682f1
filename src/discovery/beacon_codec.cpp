// The broadcast beacon's datagram, written and read byte by byte.
#include "beacon_codec.h"

#include "discovery_limits.h"
#include "text_codec.h"

namespace discovery {

namespace {

    // Offsets of the fixed part; the three length-prefixed texts follow it.
    constexpr qsizetype kFormatAt = 4;
    constexpr qsizetype kFlagsAt = 5;
    constexpr qsizetype kPortAt = 6;
    constexpr qsizetype kSeatsAt = 8;
    constexpr qsizetype kSpiesAt = 9;
    constexpr qsizetype kIdAt = 10;
    constexpr qsizetype kFixedBytes = 18;

    void appendText(QByteArray& out, const QByteArray& text)
    {
        out.append(static_cast<char>(text.size()));
        out.append(text);
    }

    // Reads one length-prefixed field, advancing `at`; nothing when it overruns.
    std::optional<QByteArrayView> takeField(QByteArrayView data, qsizetype& at)
    {
        if (at >= data.size())
            return std::nullopt;
        const qsizetype length = static_cast<quint8>(data[at]);
        if (length > data.size() - at - 1)
            return std::nullopt;
        QByteArrayView field = data.sliced(at + 1, length);
        at += 1 + length;
        return field;
    }

} // namespace

QByteArray announcedText(const QString& text, std::size_t maxBytes)
{
    const QByteArray utf8 = text.toUtf8();
    const std::string_view cut = wire::cutText(std::string_view(utf8.constData(), utf8.size()), maxBytes);
    return QByteArray(cut.data(), static_cast<qsizetype>(cut.size()));
}

std::optional<QString> readAnnouncedText(QByteArrayView bytes, std::size_t maxBytes)
{
    if (static_cast<std::size_t>(bytes.size()) > maxBytes)
        return std::nullopt;
    const std::string_view view(bytes.data(), bytes.size());
    bool ascii = true;
    for (char c : view)
        ascii = ascii && static_cast<unsigned char>(c) < 0x80;
    if (!ascii && !wire::readsAsUtf8(view))
        return std::nullopt;
    QString text = QString::fromUtf8(bytes);
    // A name is shown in a list: line breaks and other controls have no place there.
    for (QChar c : text)
        if (c.category() == QChar::Other_Control)
            return std::nullopt;
    return text;
}

bool isVersionText(QByteArrayView bytes)
{
    if (bytes.isEmpty() || static_cast<std::size_t>(bytes.size()) > kMaxVersionBytes)
        return false;
    for (char c : bytes)
        if (c < 0x21 || c > 0x7E)
            return false;
    return true;
}

QByteArray encodeBeacon(const BeaconMessage& message)
{
    const Announcement& a = message.announcement;
    QByteArray out;
    out.reserve(static_cast<qsizetype>(kMaxDatagramBytes));
    out.append(kBeaconMagic.data(), static_cast<qsizetype>(kBeaconMagic.size()));
    out.append(static_cast<char>(kBeaconFormatVersion));
    quint8 flags = 0;
    if (a.status.roundRunning)
        flags |= kFlagRoundRunning;
    if (message.withdrawn)
        flags |= kFlagWithdrawn;
    out.append(static_cast<char>(flags));
    out.append(static_cast<char>(a.gamePort >> 8));
    out.append(static_cast<char>(a.gamePort & 0xFF));
    out.append(static_cast<char>(qBound(0, a.status.seatsTaken, kMaxSeats)));
    out.append(static_cast<char>(qBound(0, a.status.spies, kMaxSpies)));
    for (int shift = 56; shift >= 0; shift -= 8)
        out.append(static_cast<char>((a.instanceId >> shift) & 0xFF));
    appendText(out, a.version.toLatin1().left(static_cast<qsizetype>(kMaxVersionBytes)));
    appendText(out, announcedText(a.hostName, kMaxHostNameBytes));
    appendText(out, announcedText(a.machineName, kMaxMachineNameBytes));
    return out;
}

std::optional<BeaconMessage> decodeBeacon(QByteArrayView data)
{
    if (data.size() < kFixedBytes || static_cast<std::size_t>(data.size()) > kMaxDatagramBytes)
        return std::nullopt;
    if (QByteArrayView(data.data(), kFormatAt) != QByteArrayView(kBeaconMagic.data(), kFormatAt))
        return std::nullopt;
    if (static_cast<quint8>(data[kFormatAt]) != kBeaconFormatVersion)
        return std::nullopt;
    const auto byteAt = [&](qsizetype i) { return static_cast<quint8>(data[i]); };

    BeaconMessage message;
    Announcement& a = message.announcement;
    const quint8 flags = byteAt(kFlagsAt);
    a.status.roundRunning = flags & kFlagRoundRunning;
    message.withdrawn = flags & kFlagWithdrawn;
    a.gamePort = static_cast<quint16>(byteAt(kPortAt) << 8 | byteAt(kPortAt + 1));
    a.status.seatsTaken = byteAt(kSeatsAt);
    a.status.spies = byteAt(kSpiesAt);
    if (a.gamePort == 0 || a.status.seatsTaken > kMaxSeats || a.status.spies > kMaxSpies)
        return std::nullopt;
    for (qsizetype i = 0; i < 8; ++i)
        a.instanceId = a.instanceId << 8 | byteAt(kIdAt + i);

    qsizetype at = kFixedBytes;
    const auto version = takeField(data, at);
    if (!version || !isVersionText(*version))
        return std::nullopt;
    a.version = QString::fromLatin1(*version);
    const auto host = takeField(data, at);
    const auto machine = takeField(data, at);
    if (!host || !machine || at != data.size())
        return std::nullopt;
    const auto hostName = readAnnouncedText(*host, kMaxHostNameBytes);
    const auto machineName = readAnnouncedText(*machine, kMaxMachineNameBytes);
    if (!hostName || hostName->isEmpty() || !machineName)
        return std::nullopt;
    a.hostName = *hostName;
    a.machineName = *machineName;
    return message;
}

} // namespace discovery
