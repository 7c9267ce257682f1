// A tiny program the single-instance test starts several times at once. Each
// copy waits at a shared gate (a shared lock the test holds exclusively until
// every copy waits), then takes the guard in the folder given. It prints
// "holder" and stays, printing "forward" for each later copy that reaches it,
// or it prints "reached" or "unreached" after handing over, and ends.
#include "single_instance.h"

#include <QCoreApplication>

#include <cstdio>

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

namespace {
void say(const char* line)
{
    std::printf("%s\n", line);
    std::fflush(stdout);
}
} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    if (argc != 3)
        return 2;
    const int gate = ::open(argv[2], O_RDONLY | O_CLOEXEC);
    if (gate < 0)
        return 2;
    say("waiting");
    if (::flock(gate, LOCK_SH) != 0)
        return 2;

    SingleInstance guard("nerith", QString::fromLocal8Bit(argv[1]));
    if (guard.anotherCopyRuns()) {
        QObject::connect(&guard, &SingleInstance::handedOver, &app, [](bool reached) {
            say(reached ? "reached" : "unreached");
            QCoreApplication::quit();
        });
        return app.exec();
    }
    say("holder");
    guard.bringForward = [] { say("forward"); };
    return app.exec();
}
