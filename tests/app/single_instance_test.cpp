// The single-instance guard: in one process, as copies started all at the same
// instant, and as two real copies of the program sharing a private runtime folder.
#include "pump.h"
#include "single_instance.h"

#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <memory>
#include <optional>
#include <vector>

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

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
