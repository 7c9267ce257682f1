// lexmire-server's announcement on the local network.
#include "server_announcement.h"

#include "text_codec.h"
#include "tserver.h"

#include <QSysInfo>

namespace {

// The server's status is read this often; a change is announced within it.
constexpr int kRefreshMs = 1000;

} // namespace

discovery::GameStatus serverGameStatus(const TServer& server)
{
    discovery::GameStatus status;
    for (int n = 1; n <= TServer::kSlots; ++n) {
        if (!server.player(n).connected)
            continue;
        if (n <= TServer::kSeats)
            ++status.seatsTaken;
        else
            ++status.spies;
    }
    status.roundRunning = server.isGameRunning();
    return status;
}

QString serverAnnouncedName(const TServer& server, const QString& machineName)
{
    const std::string host = server.player(1).name;
    if (!host.empty())
        return wire::decodeText(host);
    return QStringLiteral("lexmire-server on ") + machineName;
}

ServerAnnouncement::ServerAnnouncement(
    const TServer& server, discovery::GameAnnouncer::Options options, QObject* parent)
    : QObject(parent)
    , server_(server)
    , announcer_(serverAnnouncedName(server, QSysInfo::machineHostName()),
          static_cast<quint16>(server.listeningPort()), std::move(options))
{
    announcer_.setStatus(serverGameStatus(server_));
    announcer_.start();
    refresh_.setInterval(kRefreshMs);
    connect(&refresh_, &QTimer::timeout, this, &ServerAnnouncement::refreshTick);
    refresh_.start();
}

void ServerAnnouncement::refreshTick()
{
    announcer_.setHostName(serverAnnouncedName(server_, QSysInfo::machineHostName()));
    announcer_.setStatus(serverGameStatus(server_));
}
