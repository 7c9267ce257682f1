// lexmire-server as a program: its command line, its listening line, and a
// conversation with an independent peer.
#include "board.h"
#include "embedded_word_list.h"
#include "pump.h"
#include "raw_client.h"
#include "tdictn.h"

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
        testsupport::pumpUntil(
            [&] { return process.canReadLine() || process.state() == QProcess::NotRunning; });
        return process.readLine().trimmed().toStdString();
    }

    bool finished()
    {
        return testsupport::pumpUntil([&] { return process.state() == QProcess::NotRunning; });
    }

    QTemporaryDir runtime;
    QProcess process;
};

// Reads the nine rows of a dealt board out of the messages a peer received.
Board boardFrom(const std::vector<std::string>& messages)
{
    Board board;
    for (const std::string& m : messages) {
        const std::string prefix = "CMD_boardtileline+";
        if (m.rfind(prefix, 0) != 0)
            continue;
        std::vector<int> numbers;
        std::size_t at = prefix.size();
        while (at <= m.size()) {
            std::size_t plus = m.find('+', at);
            numbers.push_back(std::stoi(m.substr(at, plus - at)));
            if (plus == std::string::npos)
                break;
            at = plus + 1;
        }
        for (int x = 0; x < kBoardColumns; ++x)
            board.board[x][numbers[0]] = numbers[1 + x];
    }
    return board;
}

// Some three-letter word on the board, as its tile references.
std::string findThreeLetterWord(const Board& board, TDictn& dictionary)
{
    for (int x = 0; x < kBoardColumns; ++x)
        for (int y = 0; y < kBoardRows; ++y)
            for (int dx1 = -1; dx1 <= 1; ++dx1)
                for (int dy1 = -1; dy1 <= 1; ++dy1)
                    for (int dx2 = -1; dx2 <= 1; ++dx2)
                        for (int dy2 = -1; dy2 <= 1; ++dy2) {
                            const int x1 = x + dx1, y1 = y + dy1, x2 = x1 + dx2, y2 = y1 + dy2;
                            if ((dx1 == 0 && dy1 == 0) || (dx2 == 0 && dy2 == 0) || x1 < 0 || y1 < 0 || x2 < 0
                                || y2 < 0 || x1 >= kBoardColumns || x2 >= kBoardColumns || y1 >= kBoardRows
                                || y2 >= kBoardRows)
                                continue;
                            const std::string word = convertoletter(board.board[x][y])
                                + convertoletter(board.board[x1][y1]) + convertoletter(board.board[x2][y2]);
                            if (dictionary.CheckWord(word))
                                return std::to_string(x) + "." + std::to_string(y) + "+" + std::to_string(x1)
                                    + "." + std::to_string(y1) + "+" + std::to_string(x2) + "."
                                    + std::to_string(y2);
                        }
    return {};
}

} // namespace

TEST(LexmireServerProcess, PlaysAWordFoundOnTheDealtBoardAndRunsTheClock)
{
    ServerProcess server({ "--port", "0", "--second-ms", "10" });
    const std::string line = server.firstLine();
    const int port = std::stoi(line.substr(line.rfind(' ') + 1));
    testsupport::RawClient host(port);
    host.login("Host");
    host.send("CMD_startgame+1+1+n+1+");
    ASSERT_TRUE(host.waitFor("CMD_nextround+1"));

    QTemporaryDir folder;
    TDictn dictionary(folder.filePath("English").toStdString(), {}, embeddedWordList());
    const std::string refs = findThreeLetterWord(boardFrom(host.received()), dictionary);
    ASSERT_FALSE(refs.empty());
    host.send("CMD_wordcomplete+1+" + refs);
    const std::string found = host.waitForPrefix("CMD_foundword+1+");
    ASSERT_FALSE(found.empty());
    // A one-minute round of ten-millisecond seconds: corrections, the end, the winner.
    EXPECT_TRUE(host.waitFor("CMD_updatetime+19"));
    EXPECT_TRUE(host.waitFor("CMD_winner+Host"));
    EXPECT_EQ(host.waitForPrefix("CMD_endround+").rfind("CMD_endround+", 0), 0u);
}

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
