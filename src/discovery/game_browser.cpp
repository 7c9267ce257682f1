// GameBrowser: the beacon's listening side, the DNS-SD browser, and the list they feed.
#include "game_browser.h"

#include "beacon_codec.h"
#include "dnssd_browser.h"

#include <cerrno>
#include <cstring>

#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

namespace discovery {

namespace {

    const QString kBeaconKeyPrefix = QStringLiteral("beacon:");
    const QString kDnsSdKeyPrefix = QStringLiteral("dnssd:");

    // A UDP socket on the beacon port that other listeners on this machine may
    // share: every one of them hears each broadcast. -errno when the port is refused.
    int sharedBeaconSocket(quint16 port)
    {
        const int fd = ::socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
        if (fd < 0)
            return -errno;
        const int on = 1;
        ::setsockopt(fd, SOL_SOCKET, SO_REUSEADDR, &on, sizeof on);
#ifdef SO_REUSEPORT
        // Where SO_REUSEADDR alone does not let two sockets share a UDP port (the BSDs).
        ::setsockopt(fd, SOL_SOCKET, SO_REUSEPORT, &on, sizeof on);
#endif
        sockaddr_in local {};
        local.sin_family = AF_INET;
        local.sin_port = htons(port);
        local.sin_addr.s_addr = htonl(INADDR_ANY);
        if (::bind(fd, reinterpret_cast<const sockaddr*>(&local), sizeof local) != 0) {
            const int error = errno;
            ::close(fd);
            return -error;
        }
        return fd;
    }

} // namespace

GameBrowser::GameBrowser(QObject* parent)
    : GameBrowser(Options(), parent)
{
}

GameBrowser::GameBrowser(Options options, QObject* parent)
    : QObject(parent)
    , options_(options)
{
    ttlTimer_.setInterval(kTtlTickMs);
    connect(&ttlTimer_, &QTimer::timeout, this, &GameBrowser::ttlTick);
    drainTimer_.setSingleShot(true);
    drainTimer_.setInterval(0);
    connect(&drainTimer_, &QTimer::timeout, this, &GameBrowser::readBeacon);
}

GameBrowser::~GameBrowser() = default;

bool GameBrowser::start()
{
    if (socket_ != nullptr || dnssd_ != nullptr)
        return true;
    error_.clear();
    const bool beacon = bindBeacon();
    if (options_.dnssd) {
        auto* browser = new DnsSdBrowser(this);
        browser->onFound = [this](const QString& key, DiscoveredGame game) {
            game.key = kDnsSdKeyPrefix + key;
            foundDnsSd(std::move(game));
        };
        browser->onLost = [this](const QString& key) { remove(kDnsSdKeyPrefix + key); };
        browser->onFailed = [this] { dropDnsSd(); };
        if (browser->open()) {
            dnssd_ = browser;
        } else {
            error_ += (error_.isEmpty() ? QString() : QStringLiteral("; ")) + QStringLiteral("DNS-SD: ")
                + browser->errorString();
            delete browser;
        }
    }
    if (!beacon && dnssd_ == nullptr)
        return false;
    ttlTimer_.start();
    return true;
}

bool GameBrowser::bindBeacon()
{
    const int fd = sharedBeaconSocket(options_.beaconPort);
    if (fd < 0) {
        error_ = QStringLiteral("beacon port %1: %2")
                     .arg(options_.beaconPort)
                     .arg(QString::fromLocal8Bit(strerror(-fd)));
        return false;
    }
    auto* socket = new QUdpSocket(this);
    if (!socket->setSocketDescriptor(fd, QAbstractSocket::BoundState, QIODevice::ReadOnly)) {
        error_ = QStringLiteral("beacon port %1: %2").arg(options_.beaconPort).arg(socket->errorString());
        ::close(fd);
        delete socket;
        return false;
    }
    socket_ = socket;
    connect(socket_, &QUdpSocket::readyRead, this, &GameBrowser::readBeacon);
    return true;
}

void GameBrowser::stop()
{
    ttlTimer_.stop();
    drainTimer_.stop();
    if (socket_ != nullptr) {
        socket_->disconnect(this);
        socket_->close();
        socket_->deleteLater();
        socket_ = nullptr;
    }
    dropDnsSd();
    while (!entries_.isEmpty())
        remove(entries_.constFirst().game.key);
}

void GameBrowser::dropDnsSd()
{
    if (dnssd_ == nullptr)
        return;
    dnssd_->onFound = nullptr;
    dnssd_->onLost = nullptr;
    dnssd_->onFailed = nullptr;
    dnssd_->deleteLater();
    dnssd_ = nullptr;
    // Without the daemon nothing will report those games gone.
    QStringList keys;
    for (const Entry& e : std::as_const(entries_))
        if (!e.fromBeacon)
            keys.append(e.game.key);
    for (const QString& key : std::as_const(keys))
        remove(key);
}

quint16 GameBrowser::beaconPort() const { return socket_ != nullptr ? socket_->localPort() : 0; }

QList<DiscoveredGame> GameBrowser::games() const
{
    QList<DiscoveredGame> out;
    out.reserve(entries_.size());
    for (const Entry& e : entries_)
        out.append(e.game);
    return out;
}

std::optional<DiscoveredGame> GameBrowser::game(const QString& key) const
{
    const qsizetype i = indexOf(key);
    if (i < 0)
        return std::nullopt;
    return entries_[i].game;
}

qsizetype GameBrowser::indexOf(const QString& key) const
{
    for (qsizetype i = 0; i < entries_.size(); ++i)
        if (entries_[i].game.key == key)
            return i;
    return -1;
}

void GameBrowser::readBeacon()
{
    // One byte more than the largest datagram taken, so a larger one shows itself.
    char buffer[kMaxDatagramBytes + 1];
    for (int i = 0; i < kMaxDatagramsPerPass && socket_ != nullptr && socket_->hasPendingDatagrams(); ++i) {
        QHostAddress sender;
        const qint64 size = socket_->readDatagram(buffer, sizeof buffer, &sender);
        if (size < 0 || size > static_cast<qint64>(kMaxDatagramBytes))
            continue;
        takeBeaconDatagram(QByteArrayView(buffer, size), sender);
    }
    if (socket_ != nullptr && socket_->hasPendingDatagrams())
        drainTimer_.start();
}

void GameBrowser::takeBeaconDatagram(QByteArrayView datagram, const QHostAddress& sender)
{
    const auto message = decodeBeacon(datagram);
    if (!message)
        return;
    // The game listens on IPv4, so only an IPv4 sender can be joined.
    bool isIPv4 = false;
    const QHostAddress from(sender.toIPv4Address(&isIPv4));
    if (!isIPv4)
        return;
    const Announcement& a = message->announcement;
    const QString key
        = kBeaconKeyPrefix + QString::number(a.instanceId, 16).rightJustified(16, QLatin1Char('0'));
    const qsizetype i = indexOf(key);
    if (message->withdrawn) {
        // Only from where the game is listed, so a copy of the goodbye sent
        // elsewhere, or a forged one from another machine, leaves it alone.
        if (i >= 0 && entries_[i].game.address == from)
            remove(key);
        return;
    }
    DiscoveredGame game { key, a.hostName, from, a.gamePort, a.machineName, a.version, a.status };
    if (i < 0) {
        if (entries_.size() >= static_cast<qsizetype>(kMaxGames))
            return;
        entries_.append({ game, true, kBeaconTtlTicks, kBeaconTtlTicks });
        emit gameAdded(game);
        return;
    }
    Entry& e = entries_[i];
    e.ticksLeft = kBeaconTtlTicks;
    // An announcer on this machine is heard both over loopback and through its
    // own broadcast; a host on two networks from two addresses. The listed
    // address holds while it is heard, so the entry does not flip between
    // them; loopback always wins, since it always works.
    if (from == e.game.address || (from.isLoopback() && !e.game.address.isLoopback())
        || e.addressTicksLeft <= 0)
        e.addressTicksLeft = kBeaconTtlTicks;
    else
        game.address = e.game.address;
    if (game == e.game)
        return;
    e.game = game;
    emit gameChanged(game);
}

void GameBrowser::foundDnsSd(DiscoveredGame game)
{
    const qsizetype i = indexOf(game.key);
    if (i < 0) {
        if (entries_.size() >= static_cast<qsizetype>(kMaxGames))
            return;
        entries_.append({ game, false, 0, 0 });
        emit gameAdded(game);
        return;
    }
    if (entries_[i].game == game)
        return;
    entries_[i].game = game;
    emit gameChanged(game);
}

void GameBrowser::ttlTick()
{
    QStringList expired;
    for (Entry& e : entries_) {
        if (!e.fromBeacon)
            continue; // DNS-SD games leave when the daemon says so
        if (e.addressTicksLeft > 0)
            --e.addressTicksLeft;
        if (--e.ticksLeft <= 0)
            expired.append(e.game.key);
    }
    for (const QString& key : std::as_const(expired))
        remove(key);
}

void GameBrowser::remove(const QString& key)
{
    const qsizetype i = indexOf(key);
    if (i < 0)
        return;
    entries_.removeAt(i);
    emit gameRemoved(key);
}

} // namespace discovery
