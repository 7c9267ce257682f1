// The failure to host a game, told to the player.
#include "hosting_failure.h"

namespace hostingfailure {

bool portTaken(const QString& error) { return error == "Listen - Error Binding Socket"; }

QString statusText(const QString& port, const QString& error)
{
    return portTaken(error) ? QString("Port %1 is in use: join or quit").arg(port)
                            : QString("Could not host a game");
}

QString chatText(const QString& port, const QString& error)
{
    if (!portTaken(error))
        return "Could not host a game: " + error;
    return QString("Could not host a game: port %1 is in use by another program. Join the game it hosts "
                   "(File \u2192 Join a Game...) or quit.")
        .arg(port);
}

} // namespace hostingfailure
