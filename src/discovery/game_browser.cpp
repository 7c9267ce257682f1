// GameBrowser: the beacon's listening side, the DNS-SD browser, and the list they feed.
#include "game_browser.h"

#include "beacon_codec.h"
#include "dnssd_module.h"
#include "udp_socket.h"

namespace discovery {

namespace {

    const QString kBeaconKeyPrefix = QStringLiteral("beacon:");
    const QString kDnsSdKeyPrefix = QStringLiteral("dnssd:");

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
}

GameBrowser::~GameBrowser() = default;

bool GameBrowser::start()
{
    if (socket_ != nullptr || dnssd_ != nullptr)
        return true;
    error_.clear();
    const bool beacon = bindBeacon();
    const auto dnssdFailed = [this](const QString& why) {
        error_ += (error_.isEmpty() ? QString() : QStringLiteral("; ")) + QStringLiteral("DNS-SD: ") + why;
    };
    const DnsSdFactory* module = options_.dnssd ? DnsSdModule::load(options_.dnssdModulePaths) : nullptr;
    if (options_.dnssd && !module)
        dnssdFailed(DnsSdModule::missingText());
    if (module) {
        DnsSdBrowsing* browser = module->makeBrowser(this);
        browser->onFound = [this](const QString& key, DiscoveredGame game) {
            game.key = kDnsSdKeyPrefix + key;
            foundDnsSd(std::move(game));
        };
        browser->onLost = [this](const QString& key) { remove(kDnsSdKeyPrefix + key); };
        browser->onFailed = [this] { dropDnsSd(); };
        if (browser->open()) {
            dnssd_ = browser;
        } else {
            dnssdFailed(browser->errorString());
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
    // Shared, so every listener on this machine hears each broadcast.
    auto* socket = new UdpSocket(this);
    if (!socket->bindShared(options_.beaconPort)) {
        error_ = QStringLiteral("beacon port %1: %2").arg(options_.beaconPort).arg(socket->errorString());
        delete socket;
        return false;
    }
    socket_ = socket;
    connect(socket_, &UdpSocket::readyRead, this, &GameBrowser::readBeacon);
    return true;
}

void GameBrowser::stop()
{
    ttlTimer_.stop();
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
    // What this pass leaves waits for the next: the socket reports again on
    // every pass while a datagram waits.
    for (int i = 0; i < kMaxDatagramsPerPass && socket_ != nullptr && socket_->hasPendingDatagram(); ++i) {
        std::optional<Ipv4Address> sender;
        const qint64 size = socket_->receive(buffer, sizeof buffer, &sender);
        if (size < 0 || size > static_cast<qint64>(kMaxDatagramBytes))
            continue;
        // The game listens on IPv4, so only an IPv4 sender can be joined.
        if (!sender)
            continue;
        takeBeaconDatagram(QByteArrayView(buffer, size), *sender);
    }
}

void GameBrowser::takeBeaconDatagram(QByteArrayView datagram, Ipv4Address sender)
{
    const auto message = decodeBeacon(datagram);
    if (!message)
        return;
    const Announcement& a = message->announcement;
    const QString key
        = kBeaconKeyPrefix + QString::number(a.instanceId, 16).rightJustified(16, QLatin1Char('0'));
    const qsizetype i = indexOf(key);
    if (message->withdrawn) {
        // Only from where the game is listed, so a copy of the goodbye sent
        // elsewhere, or a forged one from another machine, leaves it alone.
        if (i >= 0 && entries_[i].game.address == sender)
            remove(key);
        return;
    }
    DiscoveredGame game { key, a.hostName, sender, a.gamePort, a.machineName, a.version, a.status };
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
    if (sender == e.game.address || (sender.isLoopback() && !e.game.address.isLoopback())
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
