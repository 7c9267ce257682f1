// SocketTransport: the server's connections on TCP, through the listener Sock1
// and the endpoints it accepts. The transport the programs run on.
#pragma once

#include "server_transport.h"
#include "tsock.h"

#include <string>
#include <vector>

class SocketTransport : public ServerTransport {
public:
    explicit SocketTransport(const std::string& portName);
    ~SocketTransport() override;

    void startListening() override;
    int listeningPort() const override { return Sock1.localPort(); }
    void send(ConnectionId id, std::string_view bytes) override;
    std::size_t pendingOutput(ConnectionId id) const override;
    void close(ConnectionId id) override;

private:
    struct Endpoint {
        ConnectionId id = 0;
        TSock* sock = nullptr;
    };

    void Sock1Accept(TSock* Sender);
    void Sock1Read(TSock* Sender, int Count);
    void endpointEnded(TSock* Sender, const TSockEnd& End);
    const Endpoint* find(ConnectionId id) const;
    const Endpoint* find(const TSock* sock) const;
    void forget(ConnectionId id);

    TSock Sock1;
    // The open connections: at most the nine seated ones and a refused tenth
    // on its way out, so a plain list is searched.
    std::vector<Endpoint> endpoints_;
    ConnectionId nextId_ = 1;
};
