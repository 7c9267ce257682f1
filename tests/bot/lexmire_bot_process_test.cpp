// lexmire-bot as a program against the real lexmire-server: it logs in under
// its marked name, plays words the server takes, and ends when the server
// does; a command line it cannot use is refused with a reason.
#include "pump.h"
#include "raw_client.h"

#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

namespace {

class Program {
public:
    Program(const char* binary, const QStringList& args)
    {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("XDG_RUNTIME_DIR", runtime.path());
        env.insert("LEXMIRE_ANNOUNCE_SCOPE", "machine");
        process.setProcessEnvironment(env);
        process.start(binary, args);
    }
    ~Program()
    {
        if (process.state() != QProcess::NotRunning) {
            process.terminate();
            process.waitForFinished(5000);
        }
    }

    // Waits until the program has written text (all it wrote is kept in output).
    bool waitForOutput(const QString& text)
    {
        return testsupport::pumpUntil([&] {
            output += QString::fromUtf8(process.readAllStandardOutput());
            return output.contains(text) || process.state() == QProcess::NotRunning;
        }) && output.contains(text);
    }
    bool finished()
    {
        return testsupport::pumpUntil([&] { return process.state() == QProcess::NotRunning; });
    }

    QTemporaryDir runtime;
    QProcess process;
    QString output;
};

} // namespace

TEST(LexmireBotProcess, LogsInPlaysWordsAndEndsWithTheServer)
{
    Program server(LEXMIRE_SERVER_BINARY, { "--port", "0", "--no-announce", "--second-ms", "20" });
    ASSERT_TRUE(server.waitForOutput("listening on port "));
    const int port = server.output.section(' ', -1).trimmed().toInt();
    ASSERT_GT(port, 0);

    // The first connection is the host, who starts the game.
    testsupport::RawClient host(port);
    host.login("Host");
    Program bot(LEXMIRE_BOT_BINARY,
        { "--port", QString::number(port), "--level", "master", "--name", "Ada", "--second-ms", "20" });
    ASSERT_TRUE(host.waitFor("CMD_newplayerinfo+2+Ada (computer)"));
    ASSERT_TRUE(bot.waitForOutput("Ada (computer) (Master) is number 2, seated"));

    // One round of a minute of twenty-millisecond seconds.
    host.send("CMD_startgame+1+1+n+1+");
    const std::string found = host.waitForPrefix("CMD_foundword+2+");
    ASSERT_FALSE(found.empty());
    ASSERT_FALSE(host.waitForPrefix("CMD_winner+").empty());
    for (const std::string& message : host.received())
        EXPECT_NE(message.rfind("CMD_badword", 0), 0u) << message;

    // The server goes: the player's game has ended normally.
    server.process.terminate();
    ASSERT_TRUE(bot.finished());
    bot.output += QString::fromUtf8(bot.process.readAllStandardOutput());
    EXPECT_TRUE(bot.output.contains("the host has ended the game")) << bot.output.toStdString();
    EXPECT_EQ(bot.process.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(bot.process.exitCode(), 0);
}

TEST(LexmireBotProcess, RefusesABadCommandLineAndAnswersHelp)
{
    Program bad(LEXMIRE_BOT_BINARY, { "--level", "grandmaster" });
    ASSERT_TRUE(bad.finished());
    EXPECT_EQ(bad.process.exitCode(), 2);
    const QString error = QString::fromUtf8(bad.process.readAllStandardError());
    EXPECT_TRUE(error.startsWith("lexmire-bot: bad value for --level: grandmaster\nUsage: lexmire-bot"))
        << error.toStdString();

    Program help(LEXMIRE_BOT_BINARY, { "--help" });
    ASSERT_TRUE(help.finished());
    EXPECT_EQ(help.process.exitCode(), 0);
    EXPECT_TRUE(help.process.readAllStandardOutput().startsWith("Usage: lexmire-bot"));
}

TEST(LexmireBotProcess, ANoAnswerFromTheHostIsAnError)
{
    // A loopback port bound here but never listening: connecting is refused.
    const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address {};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof address;
    ASSERT_EQ(::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
    ::getsockname(fd, reinterpret_cast<sockaddr*>(&address), &length);
    Program bot(LEXMIRE_BOT_BINARY, { "--port", QString::number(ntohs(address.sin_port)) });
    ASSERT_TRUE(bot.finished());
    EXPECT_EQ(bot.process.exitCode(), 1);
    EXPECT_TRUE(QString::fromUtf8(bot.process.readAllStandardError()).contains("could not reach 127.0.0.1"));
    ::close(fd);
}
