// The single-instance guard: in one process, and as two real copies of the
// program sharing a private runtime folder.
#include "pump.h"
#include "single_instance.h"

#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

TEST(SingleInstance, ALaterGuardFindsTheFirstAndAsksItForward)
{
    QTemporaryDir runtime;
    SingleInstance first("nerith", runtime.path());
    int forward = 0;
    first.bringForward = [&] { ++forward; };
    EXPECT_FALSE(first.anotherCopyRuns());
    SingleInstance second("nerith", runtime.path());
    EXPECT_TRUE(second.anotherCopyRuns());
    EXPECT_TRUE(testsupport::pumpUntil([&] { return forward == 1; }));
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
    first.waitForFinished(5000);
}
