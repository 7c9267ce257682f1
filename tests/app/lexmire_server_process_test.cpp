// lexmire-server as a program: its command line, its listening line, and a
// conversation with an independent peer.
#include "pump.h"
#include "raw_client.h"

#include <QProcess>
#include <QTcpServer>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

class ServerProcess {
public:
    explicit ServerProcess(QStringList args)
    {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("XDG_RUNTIME_DIR", runtime.path());
        process.setProcessEnvironment(env);
        process.start(LEXMIRE_SERVER_BINARY, args);
    }
    ~ServerProcess()
    {
        if (process.state() != QProcess::NotRunning) {
            process.terminate();
            process.waitForFinished(5000);
        }
    }

    std::string firstLine()
    {
        testsupport::pumpUntil([&] { return process.canReadLine() || process.state() == QProcess::NotRunning; });
        return process.readLine().trimmed().toStdString();
    }

    bool finished()
    {
        return testsupport::pumpUntil([&] { return process.state() == QProcess::NotRunning; });
    }

    QTemporaryDir runtime;
    QProcess process;
};

} // namespace

TEST(LexmireServerProcess, ServesAConversationAndCleansUpItsDictionary)
{
    ServerProcess server({ "--port", "0" });
    const std::string line = server.firstLine();
    const std::string prefix = "lexmire-server 2.0.5 listening on port ";
    ASSERT_EQ(line.rfind(prefix, 0), 0u) << line;
    const int port = std::stoi(line.substr(prefix.size()));

    testsupport::RawClient host(port);
    ASSERT_EQ(host.number(), 1);
    host.login("Host");
    testsupport::RawClient ann(port);
    ASSERT_EQ(ann.number(), 2);
    ann.login("Ann");
    ASSERT_TRUE(host.waitFor("CMD_newplayerinfo+2+Ann"));
    ASSERT_TRUE(ann.waitFor("CMD_existingplayers+1+Host"));
    ann.send("CMD_chat+2+hello + all|clRed");
    EXPECT_TRUE(host.waitFor("CMD_chat+Ann chats: hello + all|clRed"));
    host.send("CMD_startgame+1+3+n+1+");
    EXPECT_TRUE(ann.waitFor("CMD_nextround+1"));
    EXPECT_TRUE(QFile::exists(server.runtime.filePath("lexmire/English")));

    server.process.terminate();
    ASSERT_TRUE(server.finished());
    EXPECT_EQ(server.process.exitCode(), 0);
    EXPECT_FALSE(QFile::exists(server.runtime.filePath("lexmire/English")));
    EXPECT_TRUE(host.waitForClose());
}

TEST(LexmireServerProcess, ReportsAPortInUse)
{
    QTcpServer holder;
    ASSERT_TRUE(holder.listen(QHostAddress::Any, 0));
    ServerProcess server({ "--port", QString::number(holder.serverPort()) });
    ASSERT_TRUE(server.finished());
    EXPECT_NE(server.process.exitCode(), 0);
    EXPECT_EQ(server.process.readAllStandardError().trimmed().toStdString(),
              "lexmire-server: Listen - Error Binding Socket");
}

TEST(LexmireServerProcess, AnswersHelpAndVersion)
{
    ServerProcess version({ "--version" });
    EXPECT_EQ(version.firstLine(), "lexmire-server 2.0.5");
    ServerProcess help({ "--help" });
    EXPECT_EQ(help.firstLine().rfind("Usage: lexmire-server", 0), 0u);
    ServerProcess bad({ "--port", "x" });
    ASSERT_TRUE(bad.finished());
    EXPECT_EQ(bad.process.exitCode(), 2);
}
