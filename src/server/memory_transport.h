// InMemoryTransport: server connections without sockets, for tests, fuzzers
// and in-process runs. The peers' side connects, delivers bytes and hangs up
// through it; what the server sends a connection goes to that peer's sink.
#pragma once

#include "server_transport.h"

#include <functional>
#include <string>
#include <string_view>
#include <unordered_map>

class InMemoryTransport : public ServerTransport {
public:
    // Hears the bytes of each send to its connection, end byte included.
    using Sink = std::function<void(std::string_view bytes)>;
    // Hears that the server closed the connection.
    using Closed = std::function<void()>;

    // A peer arrives and is accepted at once: the server may answer it, or
    // even close it, before this returns. Gives the connection's id.
    ConnectionId connect(Sink sink, Closed closed = {});
    // Bytes from the peer, as one read from a socket would bring them.
    void deliver(ConnectionId id, std::string_view bytes);
    // The peer goes away (a close or a reset: the server cannot tell them apart).
    void hangUp(ConnectionId id);
    bool isOpen(ConnectionId id) const { return peers_.count(id) != 0; }
    // A peer that stops reading: what is sent to it waits, counted as pending
    // output, and reaches its sink in one piece when it reads again.
    void setReading(ConnectionId id, bool reading);

    void startListening() override { }
    int listeningPort() const override { return 0; }
    void send(ConnectionId id, std::string_view bytes) override;
    std::size_t pendingOutput(ConnectionId id) const override;
    void close(ConnectionId id) override;

private:
    struct Peer {
        Sink sink;
        Closed closed;
        bool reading = true;
        std::string waiting;
    };

    std::unordered_map<ConnectionId, Peer> peers_;
    ConnectionId nextId_ = 1;
};
