// Where the lobby program comes from and where it lives once installed.
#pragma once

#include <QString>

class LobbyPaths {
public:
    // The installer's address on the maker's web server; its last path segment
    // is the installer's file name. LEXMIRE_LOBBY_URL replaces it, for a
    // mirror or a local test server.
    static QString lobbyUrl();

    // The installed lobby program: $XDG_DATA_HOME/Brellow/BrellowLobby, that
    // is ~/.local/share/Brellow/BrellowLobby unless the session moves the data
    // folder. This is where the lobby's own installer puts it on this platform.
    static QString installedLobbyProgram();
};
