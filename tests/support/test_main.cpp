// Test entry point: every test binary runs inside one QCoreApplication so that
// sockets and timers can be driven through the event loop.
#include <QCoreApplication>

#include <gtest/gtest.h>

int main(int argc, char** argv)
{
    // Games announced under test, here and in the programs a test starts, stay
    // on this machine and never reach the network.
    qputenv("LEXMIRE_ANNOUNCE_SCOPE", "machine");
    QCoreApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
