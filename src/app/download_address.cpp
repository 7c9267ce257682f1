// Reading the lobby's download address.
#include "download_address.h"

#include "download_limits.h"

namespace {

constexpr int kHttpPort = 80;
constexpr int kHttpsPort = 443;

int effectivePort(const QUrl& address)
{
    const QString scheme = address.scheme();
    return address.port(scheme == QLatin1String("https") ? kHttpsPort : kHttpPort);
}

bool nameCharacterAllowed(QChar c)
{
    // Separators of this platform and of the one the installer was built
    // for, NUL, and the other control characters, which a name shown in a
    // question could use to hide what follows.
    return c != '/' && c != '\\' && c.unicode() >= 0x20 && c.unicode() != 0x7F;
}

} // namespace

namespace DownloadAddress {

bool isWebAddress(const QUrl& address)
{
    const QString scheme = address.scheme();
    return address.isValid() && (scheme == QLatin1String("http") || scheme == QLatin1String("https"))
        && !address.host().isEmpty();
}

QString installerName(const QUrl& address)
{
    // The segment is cut from the encoded path and decoded afterwards, so an
    // encoded slash stays inside the name, where it is refused, instead of
    // moving the cut.
    const QByteArray path = address.path(QUrl::FullyEncoded).toLatin1();
    const QByteArray segment = path.mid(path.lastIndexOf('/') + 1);
    const QByteArray bytes = QByteArray::fromPercentEncoding(segment);
    if (bytes.isEmpty() || bytes.startsWith('.') || bytes.size() > kMaxInstallerNameBytes)
        return {};
    const QString name = QString::fromUtf8(bytes);
    for (QChar c : name)
        if (!nameCharacterAllowed(c))
            return {};
    return name;
}

QUrl secureForm(const QUrl& address, int securePort)
{
    if (!isWebAddress(address) || address.scheme() != QLatin1String("http"))
        return {};
    QUrl secure = address;
    secure.setScheme("https");
    secure.setPort(securePort);
    return secure;
}

bool sameServer(const QUrl& a, const QUrl& b)
{
    // QUrl keeps host names in lower case, so equal hosts compare equal.
    return a.scheme() == b.scheme() && a.host(QUrl::FullyEncoded) == b.host(QUrl::FullyEncoded)
        && effectivePort(a) == effectivePort(b);
}

QString serverLabel(const QUrl& address)
{
    QString label = address.host(QUrl::FullyEncoded);
    if (label.contains(':'))
        label = '[' + label + ']';
    const int port = address.port();
    const bool defaultPort = port == -1 || port == effectivePort(address.adjusted(QUrl::RemovePort));
    return defaultPort ? label : label + ':' + QString::number(port);
}

QString shownAddress(const QUrl& address) { return address.toString(QUrl::FullyEncoded); }

} // namespace DownloadAddress
