// Avahi's main-loop interface on the Qt event loop: watches wake on their
// descriptor, timeouts fire once at their time, and either may be freed from
// inside its own callback.
#include "avahi_qt_poll.h"
#include "pump.h"

#include <QSocketNotifier>

#include <gtest/gtest.h>

#include <sys/socket.h>
#include <sys/time.h>
#include <unistd.h>

using discovery::AvahiQtPoll;
using testsupport::pumpPending;
using testsupport::pumpUntil;

namespace {

struct SocketPair {
    SocketPair() { EXPECT_EQ(::socketpair(AF_UNIX, SOCK_STREAM, 0, fds), 0); }
    ~SocketPair()
    {
        ::close(fds[0]);
        ::close(fds[1]);
    }
    void send() { ASSERT_EQ(::write(fds[1], "x", 1), 1); }
    void drain()
    {
        char byte;
        ASSERT_EQ(::read(fds[0], &byte, 1), 1);
    }
    int fds[2] = { -1, -1 };
};

struct WatchLog {
    const AvahiPoll* api = nullptr;
    SocketPair* pair = nullptr;
    int calls = 0;
    int lastEvent = 0;
    int eventsSeenInside = 0;
    bool freeInside = false;
};

void onWatch(AvahiWatch* w, int, AvahiWatchEvent event, void* userdata)
{
    auto* log = static_cast<WatchLog*>(userdata);
    ++log->calls;
    log->lastEvent = event;
    log->eventsSeenInside = log->api->watch_get_events(w);
    log->pair->drain();
    if (log->freeInside)
        log->api->watch_free(w);
}

struct TimeoutLog {
    const AvahiPoll* api = nullptr;
    int calls = 0;
    bool freeInside = false;
};

void onTimeout(AvahiTimeout* t, void* userdata)
{
    auto* log = static_cast<TimeoutLog*>(userdata);
    ++log->calls;
    if (log->freeInside)
        log->api->timeout_free(t);
}

timeval fromNow(int ms)
{
    timeval now {};
    gettimeofday(&now, nullptr);
    const long long us = static_cast<long long>(now.tv_sec) * 1000000 + now.tv_usec + ms * 1000LL;
    return { static_cast<time_t>(us / 1000000), static_cast<suseconds_t>(us % 1000000) };
}

} // namespace

TEST(AvahiQtPoll, AWatchWakesOnItsDescriptorAndStopsWhenAskedTo)
{
    AvahiQtPoll poll;
    const AvahiPoll* api = poll.poll();
    SocketPair pair;
    WatchLog log { api, &pair };
    AvahiWatch* w = api->watch_new(api, pair.fds[0], AVAHI_WATCH_IN, onWatch, &log);
    ASSERT_NE(w, nullptr);
    pumpPending();
    EXPECT_EQ(log.calls, 0) << "nothing to read yet";

    pair.send();
    ASSERT_TRUE(pumpUntil([&] { return log.calls == 1; }));
    EXPECT_EQ(log.lastEvent, AVAHI_WATCH_IN);
    EXPECT_EQ(log.eventsSeenInside, AVAHI_WATCH_IN);
    EXPECT_EQ(api->watch_get_events(w), 0) << "outside a callback nothing has happened";

    api->watch_update(w, static_cast<AvahiWatchEvent>(0));
    pair.send();
    pumpPending();
    EXPECT_EQ(log.calls, 1) << "a watch waiting for nothing stays quiet";
    api->watch_update(w, AVAHI_WATCH_IN);
    ASSERT_TRUE(pumpUntil([&] { return log.calls == 2; }));

    api->watch_free(w);
    pair.send();
    pumpPending();
    EXPECT_EQ(log.calls, 2);
    EXPECT_EQ(poll.liveObjects(), 0);
}

TEST(AvahiQtPoll, AWatchMayFreeItselfInsideItsCallback)
{
    AvahiQtPoll poll;
    const AvahiPoll* api = poll.poll();
    SocketPair pair;
    WatchLog log { api, &pair };
    log.freeInside = true;
    api->watch_new(api, pair.fds[0], AVAHI_WATCH_IN, onWatch, &log);
    pair.send();
    ASSERT_TRUE(pumpUntil([&] { return log.calls == 1; }));
    pair.send();
    pumpPending();
    EXPECT_EQ(log.calls, 1);
    EXPECT_EQ(poll.liveObjects(), 0);
}

TEST(AvahiQtPoll, ATimeoutFiresOnceAtItsTimeAndCanBeRearmedOrDisarmed)
{
    AvahiQtPoll poll;
    const AvahiPoll* api = poll.poll();
    TimeoutLog log { api };
    const timeval past = fromNow(-5000);
    AvahiTimeout* t = api->timeout_new(api, &past, onTimeout, &log);
    ASSERT_TRUE(pumpUntil([&] { return log.calls == 1; })) << "a time already past fires at the next pass";
    pumpPending();
    EXPECT_EQ(log.calls, 1) << "a timeout fires once, then waits to be rearmed";

    const timeval now = fromNow(0);
    api->timeout_update(t, &now);
    ASSERT_TRUE(pumpUntil([&] { return log.calls == 2; }));

    const timeval later = fromNow(3600 * 1000);
    api->timeout_update(t, &later);
    pumpPending();
    EXPECT_EQ(log.calls, 2) << "an hour from now is not now";
    api->timeout_update(t, nullptr);
    api->timeout_free(t);
    EXPECT_EQ(poll.liveObjects(), 0);

    TimeoutLog disarmed { api };
    AvahiTimeout* never = api->timeout_new(api, nullptr, onTimeout, &disarmed);
    pumpPending();
    EXPECT_EQ(disarmed.calls, 0) << "no time given: disarmed";
    api->timeout_free(never);

    TimeoutLog selfFreeing { api };
    selfFreeing.freeInside = true;
    api->timeout_new(api, &now, onTimeout, &selfFreeing);
    ASSERT_TRUE(pumpUntil([&] { return selfFreeing.calls == 1; })) << "freed inside its own callback";
    EXPECT_EQ(poll.liveObjects(), 0);
}

TEST(AvahiQtPoll, ThePollFreesWhatAvahiLeftBehind)
{
    auto poll = std::make_unique<AvahiQtPoll>();
    const AvahiPoll* api = poll->poll();
    SocketPair pair;
    WatchLog log { api, &pair };
    api->watch_new(api, pair.fds[0], AVAHI_WATCH_IN, onWatch, &log);
    TimeoutLog timeouts { api };
    const timeval later = fromNow(3600 * 1000);
    api->timeout_new(api, &later, onTimeout, &timeouts);
    EXPECT_EQ(poll->liveObjects(), 2);
    poll.reset(); // under the sanitizer a leak here would show
    pair.send();
    pumpPending();
    EXPECT_EQ(log.calls, 0);
}
