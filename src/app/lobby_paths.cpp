// Where the lobby program comes from and where it lives once installed.
#include "lobby_paths.h"

#include <QStandardPaths>

namespace {
// The maker's web server keeps the installer in its "lobby" folder.
constexpr const char* kDefaultLobbyUrl = "http://downloads.brellow.example/lobby/BrellowLobbySetup.exe";
constexpr const char* kLobbyUrlVariable = "LEXMIRE_LOBBY_URL";
constexpr const char* kLobbyProgram = "Brellow/BrellowLobby";
} // namespace

QString LobbyPaths::lobbyUrl()
{
    const QString fromEnvironment = qEnvironmentVariable(kLobbyUrlVariable);
    return fromEnvironment.isEmpty() ? QString::fromLatin1(kDefaultLobbyUrl) : fromEnvironment;
}

QString LobbyPaths::installedLobbyProgram()
{
    return QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) + '/'
        + QString::fromLatin1(kLobbyProgram);
}
