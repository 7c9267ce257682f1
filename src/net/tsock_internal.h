// Helpers shared by the files that implement TSock. Internal to the net library.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include <netinet/in.h>

namespace tsockdetail {

// The most bytes taken from the transport in one read; larger arrivals are
// delivered over several read notifications.
constexpr int kReceiveArea = 32768;
// Pending connections a listener holds before the system refuses more.
constexpr int kListenBacklog = 5;

std::string dottedAddress(in_addr address);

// Buffer lengths as handlers see them; the buffers themselves are unbounded.
int clampedCount(std::size_t length);

// Waits until fd has one of events or the time runs out: seconds < 0 waits
// without limit. True when the descriptor is ready.
bool waitFor(int fd, short events, int32_t seconds);

// Connects a blocking socket, riding out interruptions. False on failure.
bool connectBlocking(int fd, const sockaddr_in& destination);

// Every message goes out whole in one send and is small: waiting to coalesce
// them (Nagle) only delays a round's board behind an unacknowledged message.
void sendWithoutDelay(int fd);

} // namespace tsockdetail
