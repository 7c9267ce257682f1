// Entry point of GUI test binaries: a QApplication (offscreen in CI) so that
// widgets can be built and driven with QTest.
#include <QApplication>

#include <gtest/gtest.h>

int main(int argc, char** argv)
{
    // Games announced under test, here and in the programs a test starts, stay
    // on this machine and never reach the network.
    qputenv("LEXMIRE_ANNOUNCE_SCOPE", "machine");
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    const int status = RUN_ALL_TESTS();
    // Objects handed to deleteLater() by the last test go now, not as leaks.
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    return status;
}
