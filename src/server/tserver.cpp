// TServer: building the parts and wiring them, and the read-only view of a slot.
#include "tserver.h"

#include "socket_transport.h"

TServer::TServer(Options options, QObject* parent)
    : TServer(std::move(options), nullptr, parent)
{
}

TServer::TServer(Options options, ServerTransport& transport, QObject* parent)
    : TServer(std::move(options), &transport, parent)
{
}

TServer::TServer(Options options, ServerTransport* transport, QObject* parent)
    : QObject(parent)
    , ownTransport_(transport ? nullptr : std::make_unique<SocketTransport>(options.portName))
    , transport_(transport ? *transport : *ownTransport_)
    , connections_(transport_, options.dispatchIntervalMs, options.loginTickMs)
    , game_(connections_,
          std::make_unique<TDictn>(options.dictionaryPath, options.dictionaryNotice, options.wordRecords),
          options.secondMs)
{
    connections_.setGame(&game_);
}

TServer::~TServer() { connections_.setGame(nullptr); }

tplayer TServer::player(int n) const
{
    const ServerSlot& slot = connections_.slot(n);
    const SeatScore& seat = game_.seat(n);
    return tplayer { slot.name, slot.connected, seat.score, seat.roundscore, seat.wordscore, seat.word,
        seat.partner };
}
