// The look for a sound server, made before any sound library is loaded.
#include "sound_server.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

class SoundServerLook : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(folder.isValid()); }

    QString write(const QString& name, const QByteArray& text)
    {
        const QString path = folder.filePath(name);
        QDir().mkpath(QFileInfo(path).path());
        QFile file(path);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(text);
        return path;
    }

    QTemporaryDir folder;
    SoundServerHints hints;
};

TEST_F(SoundServerLook, NothingThereMeansNoServer)
{
    hints.sockets << folder.filePath("pulse/native");
    hints.clientConfigs << folder.filePath("client.conf");
    hints.pulseServer = "   ";
    EXPECT_FALSE(soundServerMayAnswer(hints));
}

TEST_F(SoundServerLook, AnyOneSignIsEnough)
{
    SoundServerHints named = hints;
    named.pulseServer = "tcp:speaker.local";
    EXPECT_TRUE(soundServerMayAnswer(named));

    SoundServerHints socket = hints;
    socket.sockets << folder.filePath("none") << write("pulse/native", "");
    EXPECT_TRUE(soundServerMayAnswer(socket));

    SoundServerHints startable = hints;
    startable.serverCanStart = true;
    EXPECT_TRUE(soundServerMayAnswer(startable));
}

TEST_F(SoundServerLook, OnlyALiveDefaultServerLineInAClientConfCounts)
{
    hints.clientConfigs << write("commented.conf", "; default-server = unix:/x\n# default-server = y\n")
                        << write("other.conf", "autospawn = no\n");
    EXPECT_FALSE(soundServerMayAnswer(hints));
    hints.clientConfigs << write("live.conf", "autospawn = no\n  default-server = unix:/run/x\n");
    EXPECT_TRUE(soundServerMayAnswer(hints));
}

TEST_F(SoundServerLook, ThisSessionsHintsNameTheUsualPlaces)
{
    const QByteArray runtime = qgetenv("XDG_RUNTIME_DIR");
    qputenv("XDG_RUNTIME_DIR", folder.path().toUtf8());
    const SoundServerHints session = SoundServerHints::fromEnvironment();
    qputenv("XDG_RUNTIME_DIR", runtime);
    EXPECT_TRUE(session.sockets.contains(folder.filePath("pulse/native")));
    EXPECT_TRUE(session.sockets.contains("/run/pulse/native"));
    EXPECT_TRUE(session.clientConfigs.contains("/etc/pulse/client.conf"));
}

} // namespace
