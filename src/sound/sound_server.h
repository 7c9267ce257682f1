// Whether a sound server may be there to play to, judged without loading any sound library:
// Qt plays through PulseAudio (or PipeWire's PulseAudio service), whose clients find their
// server from PULSE_SERVER, a default-server line in a client.conf, or the server's socket
// in the user's runtime folder or the system's; a client may also start the server itself.
#pragma once

#include <QString>
#include <QStringList>

struct SoundServerHints {
    QString pulseServer; // PULSE_SERVER
    QStringList sockets; // where a running server's socket would be
    QStringList clientConfigs; // client.conf files that may name a server
    bool serverCanStart = false; // a server program is installed that a client may start

    // The hints of this session: its environment, and the programs installed.
    static SoundServerHints fromEnvironment();
};

// False only when nothing says a server could answer; then no clip can be heard.
bool soundServerMayAnswer(const SoundServerHints& hints);
