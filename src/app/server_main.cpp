// lexmire-server: the game server alone, without any window.
#include "app_paths.h"
#include "embedded_word_list.h"
#include "server_announcement.h"
#include "server_options.h"
#include "termination_signals.h"
#include "tserver.h"

#include <QCoreApplication>

#include <iostream>
#include <memory>

int main(int argc, char** argv)
{
    std::vector<std::string> args(argv + 1, argv + argc);
    ServerOptions options = parseServerOptions(args);
    if (!options.error.empty()) {
        std::cerr << "lexmire-server: " << options.error << "\n" << kServerUsage;
        return 2;
    }
    if (options.help) {
        std::cout << kServerUsage;
        return 0;
    }
    if (options.version) {
        std::cout << "lexmire-server " << wire::kVersionText << "\n";
        return 0;
    }

    QCoreApplication app(argc, argv);
    onTerminationSignals(&app, [] { QCoreApplication::quit(); });
    // An exception out of a socket handler is reported and the server goes on.
    setTSockExceptionHandler(
        [](const std::string& message) { std::cerr << "lexmire-server: " << message << "\n"; });
    try {
        TServer::Options serverOptions;
        serverOptions.portName = std::to_string(options.port);
        serverOptions.dictionaryPath = AppPaths::dictionaryFile();
        serverOptions.wordRecords = embeddedWordList();
        serverOptions.dictionaryNotice = [](const std::string& text) { std::cerr << text << "\n"; };
        serverOptions.secondMs = options.secondMs;
        TServer server(std::move(serverOptions));
        server.startListening();
        std::cout << "lexmire-server " << wire::kVersionText << " listening on port "
                  << server.listeningPort() << std::endl;
        // Players on the local network find the game without typing an address.
        std::unique_ptr<ServerAnnouncement> announcement;
        if (options.announce)
            announcement = std::make_unique<ServerAnnouncement>(server);
        return app.exec();
    } catch (const std::exception& error) {
        std::cerr << "lexmire-server: " << error.what() << "\n";
        return 1;
    }
}
