// Avahi's main-loop interface (AvahiPoll) on the Qt event loop: its watches are
// QSocketNotifiers and its timeouts QTimers, so the Avahi client never blocks or
// needs a thread of its own.
#pragma once

#include <avahi-common/watch.h>

#include <QObject>

namespace discovery {

class AvahiQtPoll {
public:
    AvahiQtPoll();
    // Frees whatever watches and timeouts Avahi left: free every client that
    // uses this poll first.
    ~AvahiQtPoll();
    AvahiQtPoll(const AvahiQtPoll&) = delete;
    AvahiQtPoll& operator=(const AvahiQtPoll&) = delete;

    const AvahiPoll* poll() const { return &poll_; }

    // Watches and timeouts not yet freed; lets tests see that nothing leaks.
    int liveObjects() const;

private:
    AvahiPoll poll_ {};
    QObject owner_; // parent of every watch and timeout
};

} // namespace discovery
