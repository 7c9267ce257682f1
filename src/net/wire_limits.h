// Every limit on what a peer may make us hold, in one place.
#pragma once

#include <cstddef>

namespace wire {

// Bytes a connection may send without an end byte. The longest honest message
// is a few hundred bytes, so 64 KiB of unterminated text can only be an attack;
// the connection is closed.
constexpr std::size_t kMaxUnterminatedBytes = 64 * 1024;

// A complete message longer than this is dropped. Chat lines, names and the
// longest board row fit easily.
constexpr std::size_t kMaxMessageBytes = 4 * 1024;

// Messages from one connection waiting in the server's queue. The server takes
// one message every tick, so an honest client never comes near this; a
// connection past it is flooding and is closed.
constexpr std::size_t kMaxQueuedPerConnection = 100;

// Player names are cut to this many bytes at login so that one name cannot
// bloat every roster message sent to everybody.
constexpr std::size_t kMaxNameBytes = 64;

// Bytes waiting to go out to one connection. A peer that stops reading while
// the others chat would otherwise make the server hold everything for it.
constexpr std::size_t kMaxPendingOutputBytes = 1024 * 1024;

// Messages waiting in a window's queue. A round start is eleven messages; a
// server that sends thousands faster than the window takes them is broken or
// hostile, and the window lets the connection go.
constexpr std::size_t kMaxClientQueue = 10000;

} // namespace wire
