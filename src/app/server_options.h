// The command line of lexmire-server.
#pragma once

#include <string>
#include <vector>

struct ServerOptions {
    int port = 7772;
    int secondMs = 1000;
    bool help = false;
    bool version = false;
    bool announce = true; // make the game known on the local network
    std::string error; // set when the command line cannot be used
};

ServerOptions parseServerOptions(const std::vector<std::string>& args);

extern const char* const kServerUsage;
