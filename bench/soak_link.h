// How a soak peer reaches the server under test: a TCP connection to the
// lexmire-server process, or a connection on the in-memory transport of a
// server running inside the soak itself.
#pragma once

#include "memory_transport.h"
#include "tserver.h"

#include <QByteArray>
#include <QObject>
#include <QString>

#include <functional>
#include <memory>
#include <string>

class PeerLink : public QObject {
public:
    // What the server sent, and the server closing the connection. Both come
    // from the event loop, never from inside a call of the peer's own.
    std::function<void(const QByteArray& bytes)> onBytes;
    std::function<void()> onClosed;

    virtual bool connected() const = 0;
    virtual void write(const std::string& bytes) = 0;
    // Goes away in good order; nothing is reported afterwards.
    virtual void leave() = 0;
    // Goes at once, as at the end of the run.
    virtual void abort() = 0;
};

std::unique_ptr<PeerLink> tcpLink(int port);
std::unique_ptr<PeerLink> memoryLink(InMemoryTransport& transport);

// The server inside the soak: a TServer on connections held in memory, with
// its own dictionary file and its timers running as in the program.
struct InProcessServer {
    InProcessServer(const QString& folder, int secondMs);
    InMemoryTransport transport;
    TServer server;
};
