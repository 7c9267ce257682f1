// Links the game client alone; run by no one, only inspected with ldd.
#include "game_client.h"

#include <QCoreApplication>

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    GameClient client(GameClient::Options {});
    return client.loggedin() ? 1 : 0;
}
