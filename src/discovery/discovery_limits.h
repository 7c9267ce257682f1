// Ports, timing and every limit of finding games on the local network, in one place.
#pragma once

#include <QtGlobal>

#include <cstddef>

namespace discovery {

// The DNS-SD service type under which games are published and browsed.
constexpr const char* kServiceType = "_lexmire._tcp";

// UDP port of the broadcast beacon: the one after the game port, so both are
// easy to remember and to open together in a firewall; never the game port
// itself, which only speaks TCP.
constexpr quint16 kBeaconPort = 7773;

// An announcer repeats its beacon this often, and at once on a change.
constexpr int kBeaconIntervalMs = 2000;

// A browser ticks this often; a game not heard for kBeaconTtlTicks ticks is
// gone. Three intervals, so one or two lost datagrams never make it flicker.
constexpr int kTtlTickMs = 1000;
constexpr int kBeaconTtlTicks = 6;

// Games a browser lists at most. A local network holds a handful; a flood of
// forged announcements stops here instead of growing the list.
constexpr std::size_t kMaxGames = 64;

// Datagrams larger than this are read and dropped. The largest honest one is
// about 170 bytes.
constexpr std::size_t kMaxDatagramBytes = 256;

// Datagrams read in one pass of the event loop; the rest wait in the kernel's
// buffer for the next pass, so a flood never starves the game.
constexpr int kMaxDatagramsPerPass = 64;

// Byte limits of the texts an announcement carries. Player names are the
// game's own name limit; a DNS label (and so a DNS-SD instance name) stops at 63.
constexpr std::size_t kMaxHostNameBytes = 64;
constexpr std::size_t kMaxMachineNameBytes = 64;
constexpr std::size_t kMaxVersionBytes = 16;
constexpr std::size_t kMaxServiceNameBytes = 63;

// Places a beacon is sent to at once: the loopback pair and one broadcast
// address per up interface. A machine with more interfaces than this is
// unusual; the cap keeps one tick's work small.
constexpr int kMaxBeaconTargets = 16;

// The most players seated and watching that an announcement may claim.
constexpr int kMaxSeats = 4;
constexpr int kMaxSpies = 5;

} // namespace discovery
