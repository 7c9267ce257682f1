// Helpers shared by the files that implement TSock. Internal to the net library.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include <netinet/in.h>
#include <sys/socket.h>

namespace tsockdetail {

// The most bytes taken from the transport in one read; larger arrivals are
// delivered over several read notifications.
constexpr int kReceiveArea = 32768;
// Pending connections a listener holds before the system drops more: the
// system's maximum, so a burst of connections (a flood, or many players at
// once) never makes an honest join wait for a dropped handshake's retry.
constexpr int kListenBacklog = SOMAXCONN;

// TCP keepalive on game connections: a peer that vanished without closing
// (a pulled cable, a suspended machine) is noticed after about a minute of
// silence (30 s idle, then 6 probes 5 s apart), which frees its seat.
constexpr int kKeepAliveIdleSeconds = 30;
constexpr int kKeepAliveIntervalSeconds = 5;
constexpr int kKeepAliveProbes = 6;

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

// Turns on keepalive with the timings above.
void keepAlive(int fd);

} // namespace tsockdetail
