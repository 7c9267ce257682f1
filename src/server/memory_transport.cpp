// InMemoryTransport: connections held in a table, bytes handed straight across.
#include "memory_transport.h"

ConnectionId InMemoryTransport::connect(Sink sink, Closed closed)
{
    const ConnectionId id = nextId_++;
    peers_.emplace(id, Peer { std::move(sink), std::move(closed), true, {} });
    if (events_.accepted)
        events_.accepted(id);
    return id;
}

void InMemoryTransport::deliver(ConnectionId id, std::string_view bytes)
{
    if (isOpen(id) && events_.received)
        events_.received(id, bytes);
}

void InMemoryTransport::hangUp(ConnectionId id)
{
    if (peers_.erase(id) != 0 && events_.ended)
        events_.ended(id);
}

void InMemoryTransport::close(ConnectionId id)
{
    const auto it = peers_.find(id);
    if (it == peers_.end())
        return;
    const Closed closed = std::move(it->second.closed);
    peers_.erase(it);
    if (events_.ended)
        events_.ended(id);
    if (closed)
        closed();
}

void InMemoryTransport::setReading(ConnectionId id, bool reading)
{
    const auto it = peers_.find(id);
    if (it == peers_.end())
        return;
    it->second.reading = reading;
    if (!reading || it->second.waiting.empty())
        return;
    const std::string bytes = std::move(it->second.waiting);
    it->second.waiting.clear();
    // A copy: the sink may hang its own connection up.
    const Sink sink = it->second.sink;
    if (sink)
        sink(bytes);
}

void InMemoryTransport::send(ConnectionId id, std::string_view bytes)
{
    const auto it = peers_.find(id);
    if (it == peers_.end())
        return;
    if (!it->second.reading) {
        it->second.waiting += bytes;
        return;
    }
    const Sink sink = it->second.sink;
    if (sink)
        sink(bytes);
}

std::size_t InMemoryTransport::pendingOutput(ConnectionId id) const
{
    const auto it = peers_.find(id);
    return it == peers_.end() ? 0 : it->second.waiting.size();
}
