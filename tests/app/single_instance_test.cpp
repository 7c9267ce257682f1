// The single-instance guard: in one process, as copies started all at the same
// instant, and as two real copies of the program sharing a private runtime folder.
#include "pump.h"
#include "single_instance.h"

#include <QDir>
#include <QFile>
#include <QLocalServer>
#include <QLocalSocket>
#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <memory>
#include <optional>
#include <vector>

#include <cstring>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

namespace {
// A later copy from start to end: what it signalled, once its holder answered.
std::vector<bool> askForward(const QString& folder)
{
    SingleInstance later("nerith", folder);
    EXPECT_TRUE(later.anotherCopyRuns());
    std::vector<bool> said;
    QObject::connect(&later, &SingleInstance::handedOver, [&](bool reached) { said.push_back(reached); });
    EXPECT_TRUE(testsupport::pumpUntil([&] { return !said.empty(); }));
    testsupport::pumpPending();
    return said;
}

std::unique_ptr<QLocalSocket> connectPeer(const QString& path)
{
    auto peer = std::make_unique<QLocalSocket>();
    peer->connectToServer(path);
    EXPECT_TRUE(testsupport::pumpUntil([&] { return peer->state() == QLocalSocket::ConnectedState; }));
    return peer;
}
} // namespace

TEST(SingleInstance, ALaterGuardFindsTheFirstAndAsksItForward)
{
    QTemporaryDir runtime;
    SingleInstance first("nerith", runtime.path());
    int forward = 0;
    first.bringForward = [&] { ++forward; };
    EXPECT_FALSE(first.anotherCopyRuns());
    SingleInstance second("nerith", runtime.path());
    EXPECT_TRUE(second.anotherCopyRuns());
    std::optional<bool> reached;
    QObject::connect(&second, &SingleInstance::handedOver, [&](bool r) { reached = r; });
    EXPECT_TRUE(testsupport::pumpUntil([&] { return forward == 1 && reached; }));
    EXPECT_TRUE(reached.value_or(false));
}

TEST(SingleInstance, AStaleSocketFromACrashIsReplaced)
{
    QTemporaryDir runtime;
    QFile stale(runtime.filePath("nerith"));
    ASSERT_TRUE(stale.open(QIODevice::WriteOnly));
    stale.close();
    SingleInstance guard("nerith", runtime.path());
    EXPECT_FALSE(guard.anotherCopyRuns());
    SingleInstance later("nerith", runtime.path());
    EXPECT_TRUE(later.anotherCopyRuns());
}

TEST(SingleInstance, TheGuardIsFreeAgainOnceItsHolderIsGone)
{
    QTemporaryDir runtime;
    {
        SingleInstance first("nerith", runtime.path());
        EXPECT_FALSE(first.anotherCopyRuns());
    }
    SingleInstance next("nerith", runtime.path());
    EXPECT_FALSE(next.anotherCopyRuns());
}

TEST(SingleInstance, ALockThatCannotBeHadNeverKeepsTheProgramFromStarting)
{
    QTemporaryDir runtime;
    // The lock file is opened without following links, so this one cannot be opened.
    ASSERT_TRUE(QFile::link(runtime.filePath("elsewhere"), runtime.filePath("nerith.lock")));
    SingleInstance guard("nerith", runtime.path());
    EXPECT_FALSE(guard.anotherCopyRuns());
    EXPECT_FALSE(QFile::exists(runtime.filePath("elsewhere")));
}

TEST(SingleInstance, ALaterCopyGivesUpWhenTheHolderNeverListens)
{
    QTemporaryDir runtime;
    // A holder that took the lock but listens nowhere, as one still starting up.
    const int lock
        = ::open(QFile::encodeName(runtime.filePath("nerith.lock")).constData(), O_RDWR | O_CREAT, 0600);
    ASSERT_GE(lock, 0);
    ASSERT_EQ(::flock(lock, LOCK_EX | LOCK_NB), 0);
    SingleInstance later("nerith", runtime.path());
    ASSERT_TRUE(later.anotherCopyRuns());
    std::optional<bool> reached;
    QObject::connect(&later, &SingleInstance::handedOver, [&](bool r) { reached = r; });
    // Each tick is one attempt; nobody answers, and after the last one it gives up.
    // No events are processed here, so the retry timer never fires on its own.
    for (int attempt = 1; attempt < SingleInstance::kHandOverAttempts; ++attempt)
        later.handOverTick();
    EXPECT_FALSE(reached.has_value()) << "gave up early";
    later.handOverTick();
    EXPECT_EQ(reached, false);
    ::close(lock);
}

TEST(SingleInstance, OfCopiesStartedAtTheSameInstantExactlyOneHoldsTheGuard)
{
    constexpr int kRounds = 4;
    constexpr int kCopies = 6;
    for (int round = 0; round < kRounds; ++round) {
        SCOPED_TRACE(round);
        QTemporaryDir runtime;
        ASSERT_TRUE(runtime.isValid());
        // The gate: held exclusively here until every copy waits for a shared lock on it.
        const QString gatePath = runtime.filePath("gate");
        const int gate = ::open(QFile::encodeName(gatePath).constData(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
        ASSERT_GE(gate, 0);
        ASSERT_EQ(::flock(gate, LOCK_EX), 0);

        std::vector<std::unique_ptr<QProcess>> copies;
        std::vector<QByteArray> said(kCopies);
        for (int i = 0; i < kCopies; ++i) {
            copies.push_back(std::make_unique<QProcess>());
            copies.back()->start(GUARD_CONTENDER_BINARY, { runtime.path(), gatePath });
        }
        auto collect = [&] {
            for (int i = 0; i < kCopies; ++i)
                said[std::size_t(i)] += copies[std::size_t(i)]->readAllStandardOutput();
        };
        ASSERT_TRUE(testsupport::pumpUntil([&] {
            collect();
            for (const QByteArray& text : said)
                if (!text.contains("waiting"))
                    return false;
            return true;
        }));
        ::flock(gate, LOCK_UN); // all go at once

        int holder = -1;
        ASSERT_TRUE(testsupport::pumpUntil([&] {
            collect();
            int settled = 0;
            for (int i = 0; i < kCopies; ++i)
                if (said[std::size_t(i)].contains("holder")
                    || copies[std::size_t(i)]->state() == QProcess::NotRunning)
                    ++settled;
            return settled == kCopies;
        }));
        int holders = 0;
        for (int i = 0; i < kCopies; ++i) {
            if (said[std::size_t(i)].contains("holder")) {
                ++holders;
                holder = i;
            } else {
                EXPECT_EQ(copies[std::size_t(i)]->exitCode(), 0);
                EXPECT_TRUE(said[std::size_t(i)].split('\n').contains("reached"))
                    << said[std::size_t(i)].toStdString();
            }
        }
        ASSERT_EQ(holders, 1);
        // Every later copy reached the holder and asked it forward.
        EXPECT_TRUE(testsupport::pumpUntil([&] {
            collect();
            return said[std::size_t(holder)].count("forward") == kCopies - 1;
        })) << said[std::size_t(holder)].toStdString();
        EXPECT_EQ(copies[std::size_t(holder)]->state(), QProcess::Running);
        copies[std::size_t(holder)]->terminate();
        ASSERT_TRUE(testsupport::pumpUntil(
            [&] { return copies[std::size_t(holder)]->state() == QProcess::NotRunning; }));
        ::close(gate);
    }
}

TEST(SingleInstance, ASecondCopyOfTheProgramEndsAtOnce)
{
    QTemporaryDir runtime, home;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("XDG_RUNTIME_DIR", runtime.path());
    env.insert("LEXMIRE_HOME", home.path());
    env.insert("QT_QPA_PLATFORM", "offscreen");
    // Two arguments take no role, so the copies open no ports.
    QProcess first, second;
    first.setProcessEnvironment(env);
    second.setProcessEnvironment(env);
    first.start(LEXMIRE_BINARY, { "Tester", "10.0.0.5" });
    ASSERT_TRUE(testsupport::pumpUntil([&] { return QFile::exists(runtime.filePath("lexmire/nerith")); }));
    second.start(LEXMIRE_BINARY, { "Other", "10.0.0.5" });
    ASSERT_TRUE(testsupport::pumpUntil([&] { return second.state() == QProcess::NotRunning; }));
    EXPECT_EQ(second.exitCode(), 0);
    EXPECT_EQ(first.state(), QProcess::Running);
    first.terminate();
    EXPECT_TRUE(testsupport::pumpUntil([&] { return first.state() == QProcess::NotRunning; }));
}

TEST(SingleInstance, WhateverACrashedHolderLeftIsReplacedByASocketForItsUserAlone)
{
    for (const bool leftASocket : { true, false }) {
        SCOPED_TRACE(leftASocket ? "a socket" : "a file");
        QTemporaryDir runtime;
        const QByteArray path = QFile::encodeName(runtime.filePath("nerith"));
        if (leftASocket) {
            // Bound and never removed, as by a holder that crashed.
            const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
            ASSERT_GE(fd, 0);
            sockaddr_un address {};
            address.sun_family = AF_UNIX;
            std::memcpy(address.sun_path, path.constData(), std::size_t(path.size()));
            ASSERT_EQ(::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
            ::close(fd);
        } else {
            QFile stale(runtime.filePath("nerith"));
            ASSERT_TRUE(stale.open(QIODevice::WriteOnly));
        }
        {
            // Nothing masked, so only the guard itself can keep other users out.
            const mode_t mask = ::umask(0);
            SingleInstance holder("nerith", runtime.path());
            ::umask(mask);
            int forward = 0;
            holder.bringForward = [&] { ++forward; };
            struct stat status;
            ASSERT_EQ(::lstat(path.constData(), &status), 0);
            EXPECT_TRUE(S_ISSOCK(status.st_mode));
            EXPECT_EQ(status.st_mode & 0077, 0u) << std::oct << status.st_mode;
            EXPECT_EQ(askForward(runtime.path()), std::vector<bool> { true });
            EXPECT_EQ(forward, 1);
        }
        // A holder that ends normally leaves nothing behind.
        EXPECT_FALSE(QFile::exists(runtime.filePath("nerith")));
    }
}

TEST(SingleInstance, PeersThatSayNothingBringNothingForwardAndLockNobodyOut)
{
    QTemporaryDir runtime;
    SingleInstance holder("nerith", runtime.path());
    int forward = 0;
    holder.bringForward = [&] { ++forward; };
    // More silent peers than the holder keeps: the one that waited longest is cut off.
    std::vector<std::unique_ptr<QLocalSocket>> silent;
    for (std::size_t i = 0; i <= SingleInstance::kMaxWaitingPeers; ++i)
        silent.push_back(connectPeer(runtime.filePath("nerith")));
    ASSERT_TRUE(
        testsupport::pumpUntil([&] { return silent.front()->state() == QLocalSocket::UnconnectedState; }));
    testsupport::pumpPending();
    for (std::size_t i = 1; i < silent.size(); ++i)
        EXPECT_EQ(silent[i]->state(), QLocalSocket::ConnectedState) << i;
    // A later copy still gets through while they wait.
    EXPECT_EQ(askForward(runtime.path()), std::vector<bool> { true });
    EXPECT_EQ(forward, 1);
    // They vanish without asking: nobody comes forward, and the holder goes on.
    silent.clear();
    testsupport::pumpPending();
    EXPECT_EQ(forward, 1);
    EXPECT_EQ(askForward(runtime.path()), std::vector<bool> { true });
    EXPECT_EQ(forward, 2);
}

TEST(SingleInstance, APeerThatKeepsTalkingIsCutOffAfterOneRequest)
{
    QTemporaryDir runtime;
    SingleInstance holder("nerith", runtime.path());
    int forward = 0;
    holder.bringForward = [&] { ++forward; };
    auto chatty = connectPeer(runtime.filePath("nerith"));
    chatty->write(QByteArray("raise\n").repeated(1 << 18));
    EXPECT_TRUE(testsupport::pumpUntil([&] { return chatty->state() == QLocalSocket::UnconnectedState; }));
    testsupport::pumpPending();
    EXPECT_EQ(forward, 1);
    EXPECT_EQ(askForward(runtime.path()), std::vector<bool> { true });
    EXPECT_EQ(forward, 2);
}

TEST(SingleInstance, ThisCopyAndAnEarlierOneOnQtLocalSocketsReachEachOther)
{
    {
        SCOPED_TRACE("an earlier holder");
        QTemporaryDir runtime;
        const int lock
            = ::open(QFile::encodeName(runtime.filePath("nerith.lock")).constData(), O_RDWR | O_CREAT, 0600);
        ASSERT_GE(lock, 0);
        ASSERT_EQ(::flock(lock, LOCK_EX | LOCK_NB), 0);
        QLocalServer earlier;
        earlier.setSocketOptions(QLocalServer::UserAccessOption);
        ASSERT_TRUE(earlier.listen(runtime.filePath("nerith")));
        QByteArray asked;
        QObject::connect(&earlier, &QLocalServer::newConnection, [&] {
            while (QLocalSocket* peer = earlier.nextPendingConnection())
                QObject::connect(peer, &QLocalSocket::readyRead, peer, [&asked, peer] {
                    asked += peer->readAll();
                    peer->disconnectFromServer();
                });
        });
        EXPECT_EQ(askForward(runtime.path()), std::vector<bool> { true });
        EXPECT_EQ(asked, "raise\n");
        ::close(lock);
    }
    {
        SCOPED_TRACE("an earlier later copy");
        QTemporaryDir runtime;
        SingleInstance holder("nerith", runtime.path());
        int forward = 0;
        holder.bringForward = [&] { ++forward; };
        auto earlier = connectPeer(runtime.filePath("nerith"));
        // It wrote the request and left at once.
        earlier->write("raise\n");
        earlier->disconnectFromServer();
        EXPECT_TRUE(testsupport::pumpUntil([&] { return forward == 1; }));
    }
}

TEST(SingleInstance, APathTooLongForASocketLeavesBothCopiesRunning)
{
    QTemporaryDir runtime;
    const QString folder = runtime.filePath(QString(int(sizeof(sockaddr_un::sun_path)), 'x'));
    ASSERT_TRUE(QDir().mkpath(folder));
    SingleInstance holder("nerith", folder);
    EXPECT_FALSE(holder.anotherCopyRuns());
    EXPECT_FALSE(QFile::exists(folder + "/nerith"));
    SingleInstance later("nerith", folder);
    ASSERT_TRUE(later.anotherCopyRuns());
    std::vector<bool> said;
    QObject::connect(&later, &SingleInstance::handedOver, [&](bool reached) { said.push_back(reached); });
    // As for a holder that cannot be reached: every attempt, then it gives up.
    for (int attempt = 1; attempt < SingleInstance::kHandOverAttempts; ++attempt)
        later.handOverTick();
    EXPECT_TRUE(said.empty()) << "gave up early";
    later.handOverTick();
    EXPECT_EQ(said, std::vector<bool> { false });
}
