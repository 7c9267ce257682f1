// What the window says when it could not host a game (the listener's failure), in
// the player's words: what failed and what the player can do. No widgets.
#pragma once

#include <QString>

namespace hostingfailure {

// Whether the listener's error means the port is taken: another program, most
// often another copy of Lexmire, hosts a game on it.
bool portTaken(const QString& error);

// Short enough for the status line.
QString statusText(const QString& port, const QString& error);

// The whole of it, for the chat.
QString chatText(const QString& port, const QString& error);

} // namespace hostingfailure
