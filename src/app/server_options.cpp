// The command line of lexmire-server.
#include "server_options.h"

#include "protocol.h"

const char* const kServerUsage
    = "Usage: lexmire-server [--port N] [--second-ms N] [--no-announce]\n"
      "Runs the Lexmire game server without a window.\n"
      "  --port N        TCP port to listen on (default 7772; 0 picks a free port)\n"
      "  --second-ms N   milliseconds in one second of the game clock (default 1000)\n"
      "  --no-announce   do not make the game known on the local network\n"
      "  --help          show this text\n"
      "  --version       show the protocol version\n";

namespace {

bool readNumber(const std::string& text, int low, int high, int& out)
{
    std::optional<int32_t> value = wire::strictToInt(text);
    if (!value || *value < low || *value > high)
        return false;
    out = *value;
    return true;
}

} // namespace

ServerOptions parseServerOptions(const std::vector<std::string>& args)
{
    ServerOptions options;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (arg == "--help" || arg == "-h") {
            options.help = true;
        } else if (arg == "--version") {
            options.version = true;
        } else if (arg == "--no-announce") {
            options.announce = false;
        } else if (arg == "--port" || arg == "--second-ms") {
            if (i + 1 >= args.size()) {
                options.error = arg + " needs a value";
                return options;
            }
            const std::string& value = args[++i];
            bool ok = arg == "--port" ? readNumber(value, 0, 65535, options.port)
                                      : readNumber(value, 1, 3600000, options.secondMs);
            if (!ok) {
                options.error = "bad value for " + arg + ": " + value;
                return options;
            }
        } else {
            options.error = "unknown argument: " + arg;
            return options;
        }
    }
    return options;
}
