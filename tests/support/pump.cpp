// Event-loop pump for tests.
#include "pump.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QEventLoop>

namespace testsupport {
namespace {
    std::function<void()> pumpHook;
}

void setPumpHook(std::function<void()> hook) { pumpHook = std::move(hook); }

bool pumpUntil(const std::function<bool()>& done, int safetyMs)
{
    QDeadlineTimer deadline(safetyMs);
    while (true) {
        if (pumpHook)
            pumpHook();
        if (done())
            return true;
        if (deadline.hasExpired())
            return false;
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 20);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
}

void pumpPending()
{
    for (int i = 0; i < 5; ++i) {
        QCoreApplication::processEvents(QEventLoop::AllEvents);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        if (pumpHook)
            pumpHook();
    }
}

} // namespace testsupport
