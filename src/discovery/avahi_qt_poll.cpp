// AvahiPoll on QSocketNotifier and QTimer.
#include "avahi_qt_poll.h"

#include <QSocketNotifier>
#include <QTimer>

#include <sys/time.h>

#include <algorithm>
#include <limits>
#include <memory>

// Avahi declares these types opaque and leaves their definition to whoever
// provides the main loop.
struct AvahiWatch : QObject {
    int fd = -1;
    int wanted = 0;
    int happened = 0; // what the callback running now was woken for
    AvahiWatchCallback callback = nullptr;
    void* userdata = nullptr;
    std::unique_ptr<QSocketNotifier> reading;
    std::unique_ptr<QSocketNotifier> writing;
    bool freed = false;

    void setWanted(int events)
    {
        wanted = events;
        // Poll reports a hang-up or error to a reader, so the read side wakes for those too.
        reading->setEnabled(!freed && (events & (AVAHI_WATCH_IN | AVAHI_WATCH_HUP | AVAHI_WATCH_ERR)));
        writing->setEnabled(!freed && (events & AVAHI_WATCH_OUT));
    }

    void fire(int event)
    {
        if (freed)
            return;
        happened = event;
        callback(this, fd, static_cast<AvahiWatchEvent>(event), userdata);
        happened = 0;
    }
};

struct AvahiTimeout : QObject {
    QTimer timer;
    AvahiTimeoutCallback callback = nullptr;
    void* userdata = nullptr;
    bool freed = false;

    // Avahi gives an absolute time on the gettimeofday clock, or none to disarm.
    void arm(const struct timeval* when)
    {
        timer.stop();
        if (freed || when == nullptr)
            return;
        struct timeval now { };
        gettimeofday(&now, nullptr);
        const qint64 us
            = (static_cast<qint64>(when->tv_sec) - now.tv_sec) * 1000000 + (when->tv_usec - now.tv_usec);
        // Rounded up, so the callback never runs before its time.
        timer.start(
            static_cast<int>(std::clamp<qint64>((us + 999) / 1000, 0, std::numeric_limits<int>::max())));
    }
};

namespace discovery {

namespace {

    QObject* ownerOf(const AvahiPoll* api) { return static_cast<QObject*>(api->userdata); }

    AvahiWatch* watchNew(
        const AvahiPoll* api, int fd, AvahiWatchEvent events, AvahiWatchCallback callback, void* userdata)
    {
        auto* w = new AvahiWatch;
        w->setParent(ownerOf(api));
        w->fd = fd;
        w->callback = callback;
        w->userdata = userdata;
        w->reading = std::make_unique<QSocketNotifier>(fd, QSocketNotifier::Read);
        w->writing = std::make_unique<QSocketNotifier>(fd, QSocketNotifier::Write);
        QObject::connect(w->reading.get(), &QSocketNotifier::activated, w, [w] { w->fire(AVAHI_WATCH_IN); });
        QObject::connect(w->writing.get(), &QSocketNotifier::activated, w, [w] { w->fire(AVAHI_WATCH_OUT); });
        w->setWanted(events);
        return w;
    }

    void watchUpdate(AvahiWatch* w, AvahiWatchEvent events) { w->setWanted(events); }

    AvahiWatchEvent watchGetEvents(AvahiWatch* w) { return static_cast<AvahiWatchEvent>(w->happened); }

    void watchFree(AvahiWatch* w)
    {
        // May come from inside the watch's own callback: switch it off now and
        // let the event loop delete it once that callback has returned.
        w->freed = true;
        w->setWanted(0);
        w->deleteLater();
    }

    AvahiTimeout* timeoutNew(
        const AvahiPoll* api, const struct timeval* when, AvahiTimeoutCallback callback, void* userdata)
    {
        auto* t = new AvahiTimeout;
        t->setParent(ownerOf(api));
        t->callback = callback;
        t->userdata = userdata;
        t->timer.setSingleShot(true);
        QObject::connect(&t->timer, &QTimer::timeout, t, [t] {
            if (!t->freed)
                t->callback(t, t->userdata);
        });
        t->arm(when);
        return t;
    }

    void timeoutUpdate(AvahiTimeout* t, const struct timeval* when) { t->arm(when); }

    void timeoutFree(AvahiTimeout* t)
    {
        t->freed = true;
        t->timer.stop();
        t->deleteLater();
    }

} // namespace

AvahiQtPoll::AvahiQtPoll()
{
    poll_.userdata = &owner_;
    poll_.watch_new = watchNew;
    poll_.watch_update = watchUpdate;
    poll_.watch_get_events = watchGetEvents;
    poll_.watch_free = watchFree;
    poll_.timeout_new = timeoutNew;
    poll_.timeout_update = timeoutUpdate;
    poll_.timeout_free = timeoutFree;
}

AvahiQtPoll::~AvahiQtPoll() = default;

int AvahiQtPoll::liveObjects() const
{
    int live = 0;
    for (const QObject* child : owner_.children()) {
        if (auto* w = dynamic_cast<const AvahiWatch*>(child))
            live += !w->freed;
        else if (auto* t = dynamic_cast<const AvahiTimeout*>(child))
            live += !t->freed;
    }
    return live;
}

} // namespace discovery
