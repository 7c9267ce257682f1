// One connection to the system's Avahi daemon.
#include "avahi_session.h"

#include <avahi-common/error.h>

namespace discovery {

AvahiSession::~AvahiSession() { close(); }

bool AvahiSession::open(StateHandler onState)
{
    close();
    onState_ = std::move(onState);
    int error = 0;
    // Without AVAHI_CLIENT_NO_FAIL the client gives up at once when no daemon
    // runs, which is the moment to fall back to the beacon rather than wait.
    client_ = avahi_client_new(poll_.poll(), AvahiClientFlags(0), &AvahiSession::stateChanged, this, &error);
    if (client_ == nullptr) {
        error_ = QString::fromUtf8(avahi_strerror(error));
        return false;
    }
    return true;
}

void AvahiSession::close()
{
    onState_ = nullptr;
    if (client_ != nullptr) {
        // Freeing the client frees its browsers, resolvers and entry groups too.
        avahi_client_free(client_);
        client_ = nullptr;
    }
}

void AvahiSession::stateChanged(AvahiClient* client, AvahiClientState state, void* self)
{
    auto* session = static_cast<AvahiSession*>(self);
    if (session->onState_)
        session->onState_(client, state);
}

bool avahiDaemonReachable()
{
    AvahiSession probe;
    return probe.open(nullptr);
}

} // namespace discovery
