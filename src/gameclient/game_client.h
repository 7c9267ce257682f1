// GameClient: the game as one participant sees it, with no widget. It owns
// the connection to the game server, cuts what arrives into messages, hands
// them to their handlers from its dispatch timer, keeps the roster, scores,
// words, board and clock, and sends what the participant does. A window
// renders its signals; a computer player plays on it headless.
#pragma once

#include "book_deduction.h"
#include "client_state.h"
#include "messages.h"
#include "protocol.h"
#include "tsock.h"

#include <QObject>
#include <QTimer>

#include <memory>
#include <span>
#include <string>

class GameClient : public QObject {
    Q_OBJECT
public:
    struct Options {
        std::string port = "7772";
        // The dispatcher's pace while a phrase cools down; 0 leaves every
        // tick to whoever calls Timer1Timer (tests).
        int dispatchIntervalMs = 20;
        int clockIntervalMs = 1000;
        // How long a connection attempt may take before it counts as failed.
        int connectTimeoutMs = 10000;
    };

    // Why the connection to the game ended.
    enum class Ending {
        HostEnded, // the host closed the connection: its program ended
        Removed, // the server said this connection is gone: the host removed it
        Lost, // the connection broke (reset, or a server we could not follow)
        Closed, // this side closed it
    };
    Q_ENUM(Ending)
    using RoundScores = std::array<int64_t, kSeats>;

    explicit GameClient(Options options, QObject* parent = nullptr);
    ~GameClient() override;

    // Connects to the game at host and logs in as name once numbered.
    void connectTo(const std::string& host, const QString& name);
    // Gives up the connection (or the attempt) without a word to the server.
    void disconnectFromGame();
    bool isOpen() const;
    bool isConnecting() const { return connecting_; }
    const std::string& hostaddress() const { return hostaddress_; }
    const QString& playername() const { return playername_; }
    // The host's window: it may start games and remove players.
    void setHost(bool host) { state_.ishost = host; }

    const client::ClientState& state() const { return state_; }
    int mynumber() const { return state_.mynumber; }
    bool loggedin() const { return state_.loggedin; }
    bool canplay() const { return state_.canplay; }
    bool phraseready() const { return phraseready_; }
    int phraseticks() const { return phraseticks_; }
    bool gameRunning() const { return gamerunning_; }

    // What the participant does. Each gives false when nothing went out:
    // not allowed now, or the connection refused it (sendFailed says why).
    bool sendWord(std::span<const TileRef> tiles); // pressdone
    // An entered line: a chat line, "/me" and an action, any other "/" nothing.
    bool sendit(const QString& entry, uint32_t chatColour, uint32_t actionColour);
    // A phrase button: " says: " and the phrase, or an action for "/me ...";
    // then the buttons rest for 100 dispatcher ticks.
    bool sendPhrase(const QString& phrase, uint32_t actionColour);
    bool sendSound(int number); // wave1 to wave20, seats only
    bool sendStart(int rounds, bool teamGame, int minutes);
    bool kicking(int number); // the host only

    // Tick handlers; production wires them to their timers, tests call them.
    void Timer1Timer(); // dispatch and the phrase cooldown
    void timer2Timer(); // the clock, once a second
    void connectTimerTimer(); // the connection attempt's deadline
    // Handles the oldest queued message, if any.
    void processsocktimer();
    std::size_t queuedMessages() const { return receivedlist.size(); }

    // Bytes as a read from the server delivers them, through the same framer,
    // limits and overflow rule; for tests and the fuzzer, which have no server.
    // False once the connection would have been let go.
    bool receiveServerBytes(std::string_view bytes);
    // One message line handled at once, as the dispatcher would.
    void handle(std::string_view line);

    // The endpoint itself, for tests that end it from outside.
    TSock& socket() { return sock; }

signals:
    void loggedIn(int number);
    // CMD_newplayerinfo and CMD_existingplayers: somebody is here.
    void participantArrived(int number, const QString& name);
    // A participant left; seatName is the seat's name before it was freed
    // (empty for a spy or a free seat), spyLeft says a spy line was removed.
    void participantLeft(int number, const QString& name, const QString& seatName, bool spyLeft);
    void versionWarning(const QString& name); // the host's window: name has another version
    void wrongVersion(); // this window has another version than the host
    void gameStarted(int starter);
    void boardCellChanged(int c, int r, int code);
    void bonusTilesSet();
    void roundStarted(int round, bool tieBreak);
    void latecomerJoined(); // the game was already running
    void clockChanged(int secondsLeft);
    void wordFound(const wire::FoundWord& word, bool mine);
    void wordRefused(int reason, const QString& word);
    void roundEnded(const GameClient::RoundScores& scores);
    // The accepted words' scores now leave one kind for this round's spell book (a BonusKind),
    // or, at a new board, BonusNone again.
    void bookKindChanged(int kind);
    void gameWon(const QString& winner);
    void chatLine(const QString& text, uint32_t colour);
    void soundRelayed(int number, const QString& sound);
    void sendFailed(const QString& error);
    void connectFailed(const QString& host, const QString& reason);
    void connectionEnded(GameClient::Ending ending);

private:
    // The handlers of the server's messages, one per command.
    void sendloginfo(std::string_view args);
    void newplayerinfo(std::string_view args);
    void playerdisconnected(std::string_view args);
    void havewrongversion(std::string_view args);
    void wrongversionreceived(std::string_view args);
    void startthegame(std::string_view args);
    void boardtileline(std::string_view args);
    void setbonustiles(std::string_view args);
    void nextround(std::string_view args);
    void updatetime(std::string_view args);
    void foundword(std::string_view args);
    void badword(std::string_view args);
    void endturn(std::string_view args);
    void postwinner(std::string_view args);
    void gamestats(std::string_view args);
    void chatrecieved(std::string_view args);
    void playasound(std::string_view args);

    void sockRead(TSock* sender);
    void sockEnded(const TSockEnd& end);
    bool takeServerBytes(std::string_view bytes);
    void restartDispatch();
    bool send(const std::string& message);
    void setTerms(int rounds, bool teamGame, int minutes);
    void startClock(int seconds);
    void processgametime();
    void clearBoard();
    void learnBookKind(const QString& word, int64_t score);
    void forgetBookKind();

    Options options_;
    // Whether this participant sees a round being played; the server keeps its own.
    bool gamerunning_ = false;
    client::ClientState state_;
    std::string hostaddress_;
    QString playername_;
    std::string loginname_; // the name and an end byte: the login reply ends with two
    bool connecting_ = false;
    bool removedByServer_ = false; // the server announced this connection's own departure
    bool bytesRefused_ = false; // receiveServerBytes' stand-in for a closed connection

    // The spell-book kinds the round's accepted words still allow.
    BookKinds bookKinds_ = BookKinds::all();
    int bookTries_ = 0; // words tried for it this round

    bool phraseready_ = true;
    int phraseticks_ = 0;

    TSock sock;
    wire::MessageFramer framer;
    wire::InboundQueue receivedlist;
    QTimer Timer1;
    QTimer timer2;
    QTimer connectTimer;
};
