// ComputerPlayer: a computer opponent that takes part like anyone else. It
// logs in over the game's protocol on its own GameClient (so it plays on any
// server), solves each round's board once the board has arrived, and sends
// words over the round at its level's human pace. It never chats, plays only
// while it holds a seat, and is done when its connection ends.
#pragma once

#include "bot_level.h"
#include "game_client.h"
#include "play_planner.h"

#include <QObject>
#include <QTimer>

#include <cstdint>
#include <string>

class ComputerPlayer : public QObject {
    Q_OBJECT
public:
    struct Options {
        BotLevel level = kBotLevels[0];
        std::uint32_t seed = 0; // the program seeds from the clock; tests fix it
        std::string port = "7772";
        // Milliseconds of one second of the game clock, as the server runs it:
        // the player's clock and its ticks keep that pace.
        int secondMs = 1000;
        // False leaves the player's ticks, its client's clock and dispatch to
        // whoever calls them (tests).
        bool ownTimers = true;
    };

    explicit ComputerPlayer(Options options, QObject* parent = nullptr);
    ~ComputerPlayer() override;

    // Connects to the game at host and logs in as the name with the computer
    // marker. Raises ESockException for a host or port that cannot be looked up.
    void connectTo(const std::string& host, const QString& name);
    // Leaves the game: closes the connection.
    void leave();

    const BotLevel& level() const { return planner_.level(); }
    const QString& name() const { return client_.playername(); }
    GameClient& client() { return client_; }
    const GameClient& client() const { return client_; }
    const PlayPlanner& planner() const { return planner_; }
    // Milliseconds of game time since this player's round began.
    std::int64_t roundMs() const { return roundMs_; }
    bool ended() const { return ended_; }

    // The tick handler: a quarter second of game time passes, and a word that
    // is due goes out. Production wires it to its timer, tests call it.
    void tick();

signals:
    void wordSent(const QString& word, int secondsLeft);
    // The connection ended, or never came about: the player is done.
    void finished(GameClient::Ending ending);
    void connectFailed(const QString& host, const QString& reason);

private:
    void takeUpBoard();
    void roundOver();
    bool boardComplete() const;
    Board boardAsSeen() const;
    void connectionEnded(GameClient::Ending ending);

    Options options_;
    GameClient client_;
    PlayPlanner planner_;
    QTimer ticker_;
    std::int64_t roundMs_ = 0;
    bool ended_ = false;
};
