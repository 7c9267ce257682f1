// ServerTransport: how the server's connections reach their peers. The server
// sees connections only as ids and bytes, so sockets and in-memory peers serve alike.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string_view>
#include <utility>

// Names one connection for as long as the transport lives; an id is never
// handed out twice, so nothing meant for a departed peer reaches its successor.
using ConnectionId = uint64_t;

class ServerTransport {
public:
    struct Events {
        // A peer has connected.
        std::function<void(ConnectionId)> accepted;
        // Bytes from a peer, cut wherever the transport cut them.
        std::function<void(ConnectionId, std::string_view bytes)> received;
        // The connection is over, whoever ended it and however: reported once,
        // after which the id is unknown to the transport.
        std::function<void(ConnectionId)> ended;
    };

    virtual ~ServerTransport() = default;

    // The owner's handlers; empty ones are simply not called.
    void setEvents(Events events) { events_ = std::move(events); }

    // Starts taking connections; a socket transport throws ESockException
    // with its endpoint's text.
    virtual void startListening() = 0;
    // The port peers connect to, or 0 when there is none.
    virtual int listeningPort() const = 0;

    // Queues bytes for a connection; bytes for an unknown id go nowhere.
    virtual void send(ConnectionId id, std::string_view bytes) = 0;
    // Bytes given to send that the peer has not taken yet.
    virtual std::size_t pendingOutput(ConnectionId id) const = 0;
    // Ends a connection from this side; its end is reported before this returns.
    virtual void close(ConnectionId id) = 0;

protected:
    Events events_;
};
