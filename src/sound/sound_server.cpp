// Looks for the signs of a sound server, cheaply: a few stat calls and at most two small files.
#include "sound_server.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>

namespace {

// A "default-server = ..." line that is not commented out.
bool namesAServer(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    constexpr qint64 kMaxRead = 64 * 1024;
    const QList<QByteArray> lines = file.read(kMaxRead).split('\n');
    for (const QByteArray& raw : lines) {
        const QByteArray line = raw.trimmed();
        if (line.startsWith("default-server") && line.contains('='))
            return true;
    }
    return false;
}

} // namespace

SoundServerHints SoundServerHints::fromEnvironment()
{
    SoundServerHints hints;
    hints.pulseServer = qEnvironmentVariable("PULSE_SERVER");
    const QString runtime = qEnvironmentVariable("XDG_RUNTIME_DIR");
    if (!runtime.isEmpty())
        hints.sockets << runtime + "/pulse/native";
    hints.sockets << "/run/pulse/native"
                  << "/var/run/pulse/native";
    const QString config = qEnvironmentVariable("XDG_CONFIG_HOME", QDir::homePath() + "/.config");
    hints.clientConfigs << config + "/pulse/client.conf"
                        << "/etc/pulse/client.conf";
    hints.serverCanStart = !QStandardPaths::findExecutable("pulseaudio").isEmpty()
        || !QStandardPaths::findExecutable("pipewire-pulse").isEmpty();
    return hints;
}

bool soundServerMayAnswer(const SoundServerHints& hints)
{
    if (!hints.pulseServer.trimmed().isEmpty() || hints.serverCanStart)
        return true;
    for (const QString& socket : hints.sockets)
        if (QFileInfo::exists(socket))
            return true;
    for (const QString& config : hints.clientConfigs)
        if (namesAServer(config))
            return true;
    return false;
}
