// GameAnnouncer: picks DNS-SD or the beacon and keeps the announcement current.
#include "game_announcer.h"

#include "beacon_announcer.h"
#include "dnssd_module.h"
#include "protocol.h"

#include <QRandomGenerator>
#include <QSysInfo>

namespace discovery {

namespace {

    // Listeners drop a name that is empty or holds control characters: an
    // announcer never sends one.
    QString announceableName(const QString& name)
    {
        QString clean = name;
        for (QChar& c : clean)
            if (c.category() == QChar::Other_Control)
                c = QLatin1Char(' ');
        clean = clean.trimmed();
        return clean.isEmpty() ? QStringLiteral("Lexmire game") : clean;
    }

} // namespace

bool announcingToThisMachineOnly()
{
    return qEnvironmentVariable("LEXMIRE_ANNOUNCE_SCOPE") == QLatin1String("machine");
}

GameAnnouncer::GameAnnouncer(const QString& hostName, quint16 gamePort, QObject* parent)
    : GameAnnouncer(hostName, gamePort, Options(), parent)
{
}

GameAnnouncer::GameAnnouncer(const QString& hostName, quint16 gamePort, Options options, QObject* parent)
    : QObject(parent)
    , options_(std::move(options))
{
    // A fresh id per announcer: a listener merges the copies it hears over
    // several paths by it, and tells apart two games on one machine.
    announcement_.instanceId = QRandomGenerator::system()->generate64();
    announcement_.hostName = announceableName(hostName);
    const QString machine = QSysInfo::machineHostName();
    announcement_.machineName = machine.trimmed().isEmpty() ? QString() : announceableName(machine);
    announcement_.gamePort = gamePort;
    announcement_.version = QString::fromLatin1(wire::kVersionText.data(), wire::kVersionText.size());
}

GameAnnouncer::~GameAnnouncer()
{
    // Withdrawn without a word: a signal from a dying object would reach
    // receivers that may already be gone.
    if (backend_)
        backend_->withdraw();
}

void GameAnnouncer::start()
{
    if (running_)
        return;
    running_ = true;
    if (options_.tryDnsSd && !options_.thisMachineOnly) {
        const DnsSdFactory* module = DnsSdModule::load(options_.dnssdModulePaths);
        std::unique_ptr<DnsSdAnnouncing> dnssd(module ? module->makeAnnouncer() : nullptr);
        if (dnssd && dnssd->open()) {
            dnssd->onFailed = [this] {
                dnssdError_ = QStringLiteral("the Avahi daemon went away");
                useBeacon();
            };
            backend_ = std::move(dnssd);
            beacon_ = nullptr;
            transport_ = Transport::DnsSd;
            backend_->publish(announcement_);
            emit transportChanged(transport_);
            return;
        }
        dnssdError_ = dnssd ? dnssd->errorString() : DnsSdModule::missingText();
    }
    useBeacon();
}

void GameAnnouncer::useBeacon()
{
    if (!running_)
        return;
    backend_.reset();
    auto beacon = std::make_unique<BeaconAnnouncer>(
        options_.beaconPort, options_.beaconTargets, options_.thisMachineOnly);
    beacon_ = beacon.get();
    backend_ = std::move(beacon);
    transport_ = Transport::Beacon;
    backend_->publish(announcement_);
    emit transportChanged(transport_);
}

void GameAnnouncer::stop()
{
    if (!running_)
        return;
    running_ = false;
    if (backend_)
        backend_->withdraw();
    backend_.reset();
    beacon_ = nullptr;
    transport_ = Transport::None;
    emit transportChanged(transport_);
}

void GameAnnouncer::setStatus(const GameStatus& status)
{
    GameStatus bounded { qBound(0, status.seatsTaken, kMaxSeats), qBound(0, status.spies, kMaxSpies),
        status.roundRunning };
    if (bounded == announcement_.status)
        return;
    announcement_.status = bounded;
    republish();
}

void GameAnnouncer::setHostName(const QString& hostName)
{
    const QString name = announceableName(hostName);
    if (name == announcement_.hostName)
        return;
    announcement_.hostName = name;
    republish();
}

void GameAnnouncer::setGamePort(quint16 port)
{
    if (port == announcement_.gamePort)
        return;
    announcement_.gamePort = port;
    republish();
}

void GameAnnouncer::republish()
{
    if (backend_)
        backend_->publish(announcement_);
}

void GameAnnouncer::beaconTick()
{
    if (beacon_ != nullptr)
        beacon_->beaconTick();
}

} // namespace discovery
