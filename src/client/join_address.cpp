// The join dialog's addresses: reading one the player typed, and the list of
// those last joined in the settings file.
#include "join_address.h"

#include "game_settings.h"

#include <algorithm>

using settings::SettingKey;

namespace joinaddress {

namespace {

    bool isLabel(QStringView label)
    {
        if (label.isEmpty() || label.size() > kMaxLabelLength || label.front() == u'-'
            || label.back() == u'-')
            return false;
        for (QChar c : label)
            if (!(c.isDigit() || (c.toLatin1() >= 'a' && c.toLatin1() <= 'z')
                    || (c.toLatin1() >= 'A' && c.toLatin1() <= 'Z') || c == u'-' || c == u'_'))
                return false;
        return true;
    }

    bool isHost(const QString& host)
    {
        if (host.isEmpty() || host.size() > kMaxHostLength)
            return false;
        QStringView rest(host);
        if (rest.endsWith(u'.'))
            rest.chop(1); // a fully qualified name may end in its root
        for (QStringView label : rest.split(u'.'))
            if (!isLabel(label))
                return false;
        return true;
    }

    bool sameAddress(const QString& a, const QString& b) { return a.compare(b, Qt::CaseInsensitive) == 0; }

} // namespace

std::optional<GameAddress> parse(const QString& text)
{
    const QString trimmed = text.trimmed();
    GameAddress address;
    address.host = trimmed;
    const qsizetype colon = trimmed.indexOf(u':');
    if (colon >= 0) {
        address.host = trimmed.left(colon);
        const QString port = trimmed.mid(colon + 1);
        // Digits only: toUInt alone would take "+80" or " 80".
        if (port.isEmpty() || port.size() > 5
            || !std::all_of(port.begin(), port.end(), [](QChar c) { return c >= u'0' && c <= u'9'; }))
            return std::nullopt;
        const uint number = port.toUInt();
        if (number < 1 || number > 65535)
            return std::nullopt;
        address.port = quint16(number);
    }
    if (!isHost(address.host))
        return std::nullopt;
    return address;
}

QString addressText(const GameAddress& address, quint16 gamePort)
{
    if (address.port == 0 || address.port == gamePort)
        return address.host;
    return QStringLiteral("%1:%2").arg(address.host).arg(address.port);
}

QStringList recentAddresses(const GameSettings& stored)
{
    QStringList addresses;
    for (int n = 1; n <= settings::kRecentAddressCount; ++n) {
        const QString address = stored.text(*settings::recentAddressKey(n)).trimmed();
        // The file is the player's to edit: what no longer reads as an address is skipped.
        if (!parse(address))
            continue;
        if (std::none_of(addresses.begin(), addresses.end(),
                [&](const QString& seen) { return sameAddress(seen, address); }))
            addresses << address;
    }
    return addresses;
}

void rememberAddress(GameSettings& stored, const QString& address)
{
    QStringList addresses = recentAddresses(stored);
    addresses.removeIf([&](const QString& seen) { return sameAddress(seen, address); });
    addresses.prepend(address.trimmed());
    for (int n = 1; n <= settings::kRecentAddressCount; ++n)
        stored.setText(*settings::recentAddressKey(n), n <= addresses.size() ? addresses[n - 1] : QString());
}

} // namespace joinaddress
