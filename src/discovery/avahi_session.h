// One connection to the system's Avahi daemon, run on the Qt event loop.
#pragma once

#include "avahi_qt_poll.h"

#include <avahi-client/client.h>

#include <QString>

#include <functional>

namespace discovery {

class AvahiSession {
public:
    // Told every state change of the client, with the client itself: the first
    // change arrives while open() runs, before open() has handed the client back.
    using StateHandler = std::function<void(AvahiClient*, AvahiClientState)>;

    AvahiSession() = default;
    ~AvahiSession();
    AvahiSession(const AvahiSession&) = delete;
    AvahiSession& operator=(const AvahiSession&) = delete;

    // False, with errorString() set, when no daemon answers on the system bus.
    bool open(StateHandler onState);
    void close();
    AvahiClient* client() const { return client_; }
    QString errorString() const { return error_; }

private:
    static void stateChanged(AvahiClient* client, AvahiClientState state, void* self);

    AvahiQtPoll poll_;
    AvahiClient* client_ = nullptr;
    StateHandler onState_;
    QString error_;
};

// Whether an Avahi daemon answers now: the choice between DNS-SD and the beacon.
bool avahiDaemonReachable();

} // namespace discovery
