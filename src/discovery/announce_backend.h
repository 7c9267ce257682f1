// How an announcement reaches the network: DNS-SD through Avahi, or the beacon.
#pragma once

#include "game_info.h"

#include <functional>

namespace discovery {

class AnnounceBackend {
public:
    virtual ~AnnounceBackend() = default;
    // Puts the announcement out, or brings the one out there up to date.
    virtual void publish(const Announcement& announcement) = 0;
    // Takes the announcement back; publish() may follow later.
    virtual void withdraw() = 0;
    // Called when the backend can no longer announce (the daemon went away),
    // from the event loop, never from inside a call into the backend.
    std::function<void()> onFailed;
};

} // namespace discovery
