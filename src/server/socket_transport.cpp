// SocketTransport: accepting on Sock1, reading and writing the accepted
// endpoints, and turning each endpoint's end into one report.
#include "socket_transport.h"

#include <algorithm>

SocketTransport::SocketTransport(const std::string& portName)
{
    Sock1.setPortName(portName);
    Sock1.OnAccept = [this](TSock* sender) { Sock1Accept(sender); };
    Sock1.OnRead = [this](TSock* sender, int count) { Sock1Read(sender, count); };
}

SocketTransport::~SocketTransport()
{
    // The endpoints close as Sock1's children go; by then nobody may be told.
    for (const Endpoint& endpoint : endpoints_) {
        endpoint.sock->OnRead = nullptr;
        endpoint.sock->OnEnded = nullptr;
    }
    Sock1.OnAccept = nullptr;
    Sock1.OnRead = nullptr;
}

void SocketTransport::startListening() { Sock1.setListen(true); }

void SocketTransport::Sock1Accept(TSock* Sender)
{
    TSock* newSock = nullptr;
    if (!Sender->Accept(newSock) || !newSock)
        return;
    const ConnectionId id = nextId_++;
    // Its end arrives once, typed; the information texts are of no interest.
    newSock->OnInfo = nullptr;
    newSock->OnDisconnect = nullptr;
    newSock->OnRead = [this](TSock* sender, int count) { Sock1Read(sender, count); };
    newSock->OnEnded = [this](TSock* sender, const TSockEnd& end) { endpointEnded(sender, end); };
    endpoints_.push_back(Endpoint { id, newSock });
    if (events_.accepted)
        events_.accepted(id);
}

void SocketTransport::Sock1Read(TSock* Sender, int)
{
    const Endpoint* endpoint = find(Sender);
    const std::string bytes = Sender->Receive();
    if (endpoint && events_.received)
        events_.received(endpoint->id, bytes);
}

void SocketTransport::endpointEnded(TSock* Sender, const TSockEnd& End)
{
    const Endpoint* endpoint = find(Sender);
    if (!endpoint)
        return;
    const ConnectionId id = endpoint->id;
    // A reset or an aborted connection is as final as a close, but the
    // endpoint stays open until closed: close it, so no slot stays taken by a
    // dead peer. The endpoint does not report its end again.
    if (End.reason == TSockEnd::Failed || End.reason == TSockEnd::ConnectFailed)
        Sender->Close();
    forget(id);
    if (events_.ended)
        events_.ended(id);
}

void SocketTransport::forget(ConnectionId id)
{
    const auto it
        = std::find_if(endpoints_.begin(), endpoints_.end(), [id](const Endpoint& e) { return e.id == id; });
    if (it == endpoints_.end())
        return;
    TSock* sock = it->sock;
    endpoints_.erase(it);
    // The endpoint may be inside its own notification: it goes afterwards.
    sock->OnRead = nullptr;
    sock->OnEnded = nullptr;
    sock->deleteLater();
}

void SocketTransport::send(ConnectionId id, std::string_view bytes)
{
    const Endpoint* endpoint = find(id);
    if (!endpoint)
        return;
    try {
        endpoint->sock->Send(std::string(bytes));
    } catch (const ESockException&) {
        // The connection is going; its end is reported when it closes.
    }
}

std::size_t SocketTransport::pendingOutput(ConnectionId id) const
{
    const Endpoint* endpoint = find(id);
    return endpoint ? endpoint->sock->pendingOutput() : 0;
}

void SocketTransport::close(ConnectionId id)
{
    const Endpoint* endpoint = find(id);
    if (!endpoint)
        return;
    endpoint->sock->Close(); // reports the end, which forgets the endpoint
    if (find(id)) {
        // An endpoint whose end was already reported without a close
        // reports nothing more; its end is reported here instead.
        forget(id);
        if (events_.ended)
            events_.ended(id);
    }
}

const SocketTransport::Endpoint* SocketTransport::find(ConnectionId id) const
{
    for (const Endpoint& endpoint : endpoints_)
        if (endpoint.id == id)
            return &endpoint;
    return nullptr;
}

const SocketTransport::Endpoint* SocketTransport::find(const TSock* sock) const
{
    for (const Endpoint& endpoint : endpoints_)
        if (endpoint.sock == sock)
            return &endpoint;
    return nullptr;
}
