// The server's own limits and paces: how long a connection may take to log in,
// how long one dispatch may run, and how much is gathered for one write.
#pragma once

#include "game_facts.h"
#include "wire_limits.h"

#include <chrono>
#include <cstddef>

namespace serverlimits {

// A connection that has not logged in after this many seconds is closed: a
// window logs in at once, so only a peer that means to hold one of the nine
// slots waits longer.
constexpr int kLoginTimeoutSeconds = 10;
// The login clock ticks once a second while a connection waits to log in,
// or a removed one waits to be closed.
constexpr int kLoginTickMs = 1000;

// A removed connection is told, leaves its slot at once, and is closed at the
// second tick of the login clock after (1 to 2 s later): closed at once, the
// end of its stream would reach its window together with the message, and a
// window may read the end first and never learn it was removed.
constexpr int kRemovedCloseTicks = 2;
// Removed connections waiting to be closed; past this the oldest is closed at
// once, so a host removing newcomers in a loop holds nothing.
constexpr std::size_t kMaxRemovedWaiting = 16;

// One dispatch hands over every waiting message unless it has run this long;
// the rest follow at the next turn of the event loop, so reading, the game
// clock and other connections never wait behind a backlog.
constexpr std::chrono::microseconds kDispatchBudget { 4000 };

// Every waiting message belongs to one of the nine slots, and a slot's queue
// dies with its connection (after its last messages are handled), so no more
// than this can ever wait: 900 messages of at most 4 KiB each, 3.6 MiB.
constexpr std::size_t kMaxQueuedTotal = std::size_t(kSlots) * wire::kMaxQueuedPerConnection;

// What one dispatch gathers for a connection is written once at its end; past
// this many bytes it is written at once, so a dispatch full of long chats
// never holds megabytes for every connection.
constexpr std::size_t kMaxGatheredBytes = 64 * 1024;

// A name that is empty or blank becomes "Player n"; a name another connection
// already uses gets " (2)", " (3)", ... The suffix never grows past this, since
// at most eight other connections hold a name.
constexpr int kMaxNameSuffix = kSlots + 1;

} // namespace serverlimits
