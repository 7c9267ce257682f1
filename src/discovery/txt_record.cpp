// The status of a game as DNS-SD text record strings.
#include "txt_record.h"

#include "beacon_codec.h"
#include "discovery_limits.h"

#include <QHash>

namespace discovery {

namespace {

    // The text record's own version; a reader refuses any other.
    constexpr QByteArrayView kTxtVersion = "1";

    QByteArray pair(QByteArrayView key, const QByteArray& value) { return key.toByteArray() + '=' + value; }

    // One decimal digit from 0 to max.
    std::optional<int> smallNumber(QByteArrayView text, int max)
    {
        if (text.size() != 1 || text[0] < '0' || text[0] > '0' + max)
            return std::nullopt;
        return text[0] - '0';
    }

    std::optional<quint64> instanceId(QByteArrayView text)
    {
        if (text.size() != 16)
            return std::nullopt;
        quint64 id = 0;
        for (char c : text) {
            int digit = c >= '0' && c <= '9' ? c - '0' : c >= 'a' && c <= 'f' ? c - 'a' + 10 : -1;
            if (digit < 0)
                return std::nullopt;
            id = id << 4 | static_cast<quint64>(digit);
        }
        return id;
    }

} // namespace

QList<QByteArray> encodeTxt(const Announcement& a)
{
    return {
        pair("txtvers", kTxtVersion.toByteArray()),
        pair("id", QByteArray::number(a.instanceId, 16).rightJustified(16, '0')),
        pair("name", announcedText(a.hostName, kMaxHostNameBytes)),
        pair("v", a.version.toLatin1().left(static_cast<qsizetype>(kMaxVersionBytes))),
        pair("seats", QByteArray::number(qBound(0, a.status.seatsTaken, kMaxSeats))),
        pair("spies", QByteArray::number(qBound(0, a.status.spies, kMaxSpies))),
        pair("round", a.status.roundRunning ? "1" : "0"),
    };
}

std::optional<Announcement> decodeTxt(const QList<QByteArray>& strings)
{
    QHash<QByteArray, QByteArrayView> values;
    for (qsizetype i = 0; i < strings.size() && i < kMaxTxtStrings; ++i) {
        const QByteArray& s = strings[i];
        const qsizetype equals = s.indexOf('=');
        if (equals <= 0)
            continue; // a bare attribute or an empty key carries nothing we read
        const QByteArray key = s.left(equals).toLower();
        if (!values.contains(key))
            values.insert(key, QByteArrayView(s).sliced(equals + 1));
    }
    const auto value = [&](const char* key) -> std::optional<QByteArrayView> {
        auto it = values.constFind(key);
        if (it == values.constEnd())
            return std::nullopt;
        return *it;
    };

    const auto txtvers = value("txtvers");
    const auto id = value("id");
    const auto name = value("name");
    const auto version = value("v");
    const auto seats = value("seats");
    const auto spies = value("spies");
    const auto round = value("round");
    if (!txtvers || *txtvers != kTxtVersion || !id || !name || !version || !seats || !spies || !round)
        return std::nullopt;

    Announcement a;
    const auto idValue = instanceId(*id);
    const auto hostName = readAnnouncedText(*name, kMaxHostNameBytes);
    const auto seatsValue = smallNumber(*seats, kMaxSeats);
    const auto spiesValue = smallNumber(*spies, kMaxSpies);
    const auto roundValue = smallNumber(*round, 1);
    if (!idValue || !hostName || hostName->isEmpty() || !isVersionText(*version) || !seatsValue || !spiesValue
        || !roundValue)
        return std::nullopt;
    a.instanceId = *idValue;
    a.hostName = *hostName;
    a.version = QString::fromLatin1(*version);
    a.status = { *seatsValue, *spiesValue, *roundValue == 1 };
    return a;
}

} // namespace discovery
