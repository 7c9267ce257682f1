// The computer players a host seats in its own game. Each is a ComputerPlayer
// on its own connection to the host's server on loopback, so every window,
// the host's included, sees it arrive and play like anyone else. The host's
// window asks for them; this keeps them, names them, and lets each go when its
// connection ends (removed from the game, or the server gone).
#pragma once

#include "bot_level.h"
#include "client_state.h"

#include <QObject>
#include <QStringList>

#include <functional>
#include <memory>
#include <string>
#include <vector>

class ComputerPlayer;

class ComputerPlayers : public QObject {
    Q_OBJECT
public:
    struct Options {
        std::string port = "7772"; // the host's own server, on loopback
        // False leaves the players' ticks, clocks and dispatch to tests.
        bool ownTimers = true;
        // Seeds each player's choices; the program takes them from the clock.
        std::function<std::uint32_t()> seed;
    };

    explicit ComputerPlayers(Options options, QObject* parent = nullptr);
    ~ComputerPlayers() override;

    // Starts one of the level under a name none of namesInUse has. It logs in
    // like anyone else; nothing when the connection could not even be tried
    // (the text says why).
    ComputerPlayer* add(const BotLevel& level, const QStringList& namesInUse, QString* error = nullptr);
    // Ends every one's connection.
    void removeAll();

    const std::vector<std::unique_ptr<ComputerPlayer>>& players() const { return players_; }
    // Ours that holds this connection number, if any.
    const ComputerPlayer* byNumber(int number) const;
    // Players still on their way in: not yet numbered by the server.
    int joining() const;

    // A name from the list of first names that none of namesInUse has.
    static QString freeName(const QStringList& namesInUse);

    // Ours in the game or on the way in.
    int playing() const;
    // Free seats as a window sees them, less those ours on their way in will take.
    int freeSeats(const client::ClientState& state) const;
    // Every one of ours that is not gone sits where the window sees it.
    bool allSeated(const client::ClientState& state) const;

    // A start against the computer: how many more sit down so that the number
    // asked for play in all, as far as the free seats go.
    struct Seating {
        int asked = 0;
        int playing = 0;
        int adding = 0;
        // Why fewer play than were asked for; empty when all of them do.
        QString shortfall() const;
    };
    static Seating seatingFor(int asked, int playing, int freeSeats);

signals:
    // A player found every seat taken and left again.
    void noSeat(const QString& name);
    // A player joined or went.
    void changed();

private:
    void release(ComputerPlayer* player);
    // Logged in and seated where the window sees it.
    static bool seen(const ComputerPlayer& player, const client::ClientState& state);

    Options options_;
    std::vector<std::unique_ptr<ComputerPlayer>> players_;
};
