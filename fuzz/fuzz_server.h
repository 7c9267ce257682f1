// The game server as the server fuzz targets run it: on connections held in
// memory, on the given record file, with dispatch and the game clock left to
// the target to drive.
#pragma once

#include "memory_transport.h"
#include "tserver.h"

#include <string>
#include <string_view>

inline TServer::Options fuzzServerOptions(const std::string& folder, std::string_view records)
{
    TServer::Options options;
    options.dictionaryPath = folder + "/English";
    options.wordRecords = records;
    options.dispatchIntervalMs = 0; // the target calls socktimerTimer
    options.secondMs = 24 * 3600 * 1000; // the clock ticks only when the target calls gametimeTimer
    return options;
}

// A server and its transport, built and torn down in the right order.
struct FuzzServer {
    FuzzServer(const std::string& folder, std::string_view records)
        : server(fuzzServerOptions(folder, records), transport)
    {
    }
    InMemoryTransport transport;
    TServer server;
};
