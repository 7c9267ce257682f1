// The command line of lexmire-bot: every value checked before anything runs.
#include "bot_options.h"

#include "protocol.h"

const char* const kBotUsage
    = "Usage: lexmire-bot [--host H] [--port N] [--level L] [--name NAME] [--second-ms N] [--seed N] "
      "[--verbose]\n"
      "Plays Lexmire as a computer player against a game server.\n"
      "  --host H        the server's address (default 127.0.0.1)\n"
      "  --port N        the server's TCP port (default 7772)\n"
      "  --level L       1 to 5, or Beginner, Casual, Skilled, Expert, Master (default Skilled)\n"
      "  --name NAME     the name to play under; \" (computer)\" is added (default: the level's name)\n"
      "  --second-ms N   milliseconds in one second of the server's game clock (default 1000)\n"
      "  --seed N        seed of the player's choices, to repeat a game (default: from the clock)\n"
      "  --verbose       print every word as it is sent\n"
      "  --help          show this text\n";

namespace {

bool readNumber(const std::string& text, int64_t low, int64_t high, int64_t& out)
{
    const std::optional<int64_t> value = wire::strictToInt64(text);
    if (!value || *value < low || *value > high)
        return false;
    out = *value;
    return true;
}

} // namespace

BotOptions parseBotOptions(const std::vector<std::string>& args)
{
    BotOptions options;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (arg == "--help" || arg == "-h") {
            options.help = true;
            continue;
        }
        if (arg == "--verbose") {
            options.verbose = true;
            continue;
        }
        if (arg != "--host" && arg != "--port" && arg != "--level" && arg != "--name" && arg != "--second-ms"
            && arg != "--seed") {
            options.error = "unknown argument: " + arg;
            return options;
        }
        if (i + 1 >= args.size()) {
            options.error = arg + " needs a value";
            return options;
        }
        const std::string& value = args[++i];
        int64_t number = 0;
        bool ok = true;
        if (arg == "--host") {
            ok = !value.empty();
            options.host = value;
        } else if (arg == "--port") {
            // A server listening on port 0 has picked another: 0 cannot be joined.
            ok = readNumber(value, 1, 65535, number);
            options.port = int(number);
        } else if (arg == "--level") {
            const std::optional<BotLevel> level = botLevelFrom(QString::fromLocal8Bit(value.c_str()));
            ok = level.has_value();
            options.level = level.value_or(options.level);
        } else if (arg == "--name") {
            options.name = QString::fromLocal8Bit(value.c_str()).trimmed();
            ok = !options.name.isEmpty();
        } else if (arg == "--second-ms") {
            ok = readNumber(value, 1, 3600000, number);
            options.secondMs = int(number);
        } else { // --seed
            ok = readNumber(value, 0, UINT32_MAX, number);
            options.seed = std::uint32_t(number);
        }
        if (!ok) {
            options.error = "bad value for " + arg + ": " + value;
            return options;
        }
    }
    if (options.name.isEmpty())
        options.name = QString::fromLatin1(options.level.name);
    return options;
}
