// lexmire-bot: one computer player against any Lexmire server, without a
// window, at the server's game clock. It ends when the game's connection does.
#include "bot_options.h"
#include "computer_player.h"
#include "tsock.h"

#include <QCoreApplication>

#include <chrono>
#include <iostream>

namespace {

int exitCodeOf(GameClient::Ending ending)
{
    // The host ending the game or removing us is how a game ends normally.
    return ending == GameClient::Ending::Lost ? 1 : 0;
}

const char* endingText(GameClient::Ending ending)
{
    switch (ending) {
    case GameClient::Ending::HostEnded:
        return "the host has ended the game";
    case GameClient::Ending::Removed:
        return "removed from the game";
    case GameClient::Ending::Lost:
        return "the connection to the game was lost";
    case GameClient::Ending::Closed:
        break;
    }
    return "left the game";
}

} // namespace

int main(int argc, char** argv)
{
    const BotOptions options = parseBotOptions(std::vector<std::string>(argv + 1, argv + argc));
    if (!options.error.empty()) {
        std::cerr << "lexmire-bot: " << options.error << "\n" << kBotUsage;
        return 2;
    }
    if (options.help) {
        std::cout << kBotUsage;
        return 0;
    }

    QCoreApplication app(argc, argv);
    setTSockExceptionHandler(
        [](const std::string& message) { std::cerr << "lexmire-bot: " << message << "\n"; });

    ComputerPlayer::Options playerOptions;
    playerOptions.level = options.level;
    playerOptions.port = std::to_string(options.port);
    playerOptions.secondMs = options.secondMs;
    playerOptions.seed = options.seed.value_or(
        static_cast<std::uint32_t>(std::chrono::steady_clock::now().time_since_epoch().count()));
    ComputerPlayer player(playerOptions);
    GameClient& client = player.client();

    QObject::connect(&client, &GameClient::loggedIn, &app, [&](int number) {
        std::cout << "lexmire-bot: " << player.name().toStdString() << " (" << options.level.name
                  << ") is number " << number
                  << (isSeat(number) ? ", seated" : ", watching: every seat is taken") << std::endl;
    });
    QObject::connect(&player, &ComputerPlayer::wordSent, &app, [&](const QString& word, int secondsLeft) {
        if (options.verbose)
            std::cout << "lexmire-bot: sent " << word.toStdString() << " at " << secondsLeft
                      << " seconds left" << std::endl;
    });
    QObject::connect(&client, &GameClient::roundEnded, &app, [&](const GameClient::RoundScores& scores) {
        const int seat = client.mynumber();
        if (isSeat(seat))
            std::cout << "lexmire-bot: round " << client.state().round << ": "
                      << client.state().seat(seat).words.size() << " words, " << scores[std::size_t(seat - 1)]
                      << " points" << std::endl;
    });
    QObject::connect(
        &player, &ComputerPlayer::connectFailed, &app, [](const QString& host, const QString& reason) {
            std::cerr << "lexmire-bot: could not reach " << host.toStdString() << ": " << reason.toStdString()
                      << "\n";
        });
    QObject::connect(&player, &ComputerPlayer::finished, &app, [&](GameClient::Ending ending) {
        std::cout << "lexmire-bot: " << endingText(ending) << std::endl;
        app.exit(exitCodeOf(ending));
    });

    try {
        player.connectTo(options.host, options.name);
    } catch (const ESockException& error) {
        std::cerr << "lexmire-bot: " << error.what() << "\n";
        return 1;
    }
    return app.exec();
}
