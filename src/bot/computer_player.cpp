// ComputerPlayer: the planner's words sent over a GameClient at the game's pace.
#include "computer_player.h"

#include "bot_limits.h"
#include "computer_name.h"

#include <algorithm>

namespace {

GameClient::Options clientOptions(const ComputerPlayer::Options& options)
{
    GameClient::Options client;
    client.port = options.port;
    client.clockIntervalMs = options.ownTimers ? std::max(1, options.secondMs) : 0;
    client.dispatchIntervalMs = options.ownTimers ? client.dispatchIntervalMs : 0;
    client.connectTimeoutMs = options.ownTimers ? client.connectTimeoutMs : 0;
    return client;
}

} // namespace

ComputerPlayer::ComputerPlayer(Options options, QObject* parent)
    : QObject(parent)
    , options_(std::move(options))
    , client_(clientOptions(options_))
    , planner_(embeddedLexicon(), options_.level, options_.seed)
{
    // At the game's pace: a tick is a quarter of one of the server's seconds.
    ticker_.setInterval(std::max(1, botlimits::kTickMs * options_.secondMs / 1000));
    connect(&ticker_, &QTimer::timeout, this, &ComputerPlayer::tick);

    connect(&client_, &GameClient::roundStarted, this, [this] {
        planner_.endRound(); // a new deal replaces whatever was planned
        takeUpBoard();
    });
    // A latecomer's board arrives after it is told the round is on, row by row.
    connect(&client_, &GameClient::latecomerJoined, this, &ComputerPlayer::takeUpBoard);
    connect(&client_, &GameClient::bonusTilesSet, this, &ComputerPlayer::takeUpBoard);
    // A board changing under a plan (a game started anew mid-round) voids the
    // plan: its chains would spell other words now.
    connect(&client_, &GameClient::boardCellChanged, this, [this] {
        if (planner_.inRound())
            roundOver();
    });
    connect(&client_, &GameClient::roundEnded, this, &ComputerPlayer::roundOver);
    // Told of its own removal, it goes at once rather than wait for the server
    // to close the connection (from the event loop: the client is mid-dispatch).
    connect(&client_, &GameClient::participantLeft, this, [this](int number) {
        if (number == client_.mynumber())
            QMetaObject::invokeMethod(this, &ComputerPlayer::leave, Qt::QueuedConnection);
    });
    connect(&client_, &GameClient::connectionEnded, this, &ComputerPlayer::connectionEnded);
    connect(&client_, &GameClient::connectFailed, this, [this](const QString& host, const QString& reason) {
        emit connectFailed(host, reason);
        connectionEnded(GameClient::Ending::Lost);
    });
}

ComputerPlayer::~ComputerPlayer()
{
    ticker_.stop();
    client_.disconnect(this);
}

void ComputerPlayer::connectTo(const std::string& host, const QString& name)
{
    ended_ = false;
    client_.connectTo(host, computername::withMarker(name));
}

void ComputerPlayer::leave() { client_.disconnectFromGame(); }

bool ComputerPlayer::boardComplete() const
{
    for (const auto& column : client_.state().boardtiles)
        for (const int code : column)
            if (!isLetterCode(code))
                return false;
    return true;
}

Board ComputerPlayer::boardAsSeen() const
{
    const client::ClientState& state = client_.state();
    Board board;
    for (int x = 0; x < kBoardColumns; ++x)
        for (int y = 0; y < kBoardRows; ++y) {
            board.board[x][y] = state.boardtiles[std::size_t(x)][std::size_t(y)];
            switch (state.boardbonus[std::size_t(x)][std::size_t(y)]) {
            case client::YellowPotion:
                board.bonus[x][y] = BonusYellowPotion;
                break;
            case client::RedPotion:
                board.bonus[x][y] = BonusRedPotion;
                break;
            default: // the spell book's kind is never told: a plain cell
                board.bonus[x][y] = BonusNone;
                break;
            }
        }
    return board;
}

void ComputerPlayer::takeUpBoard()
{
    // Only a seat plays; a spy just watches. Before every row has come there
    // is nothing to solve yet.
    if (ended_ || planner_.inRound() || !client_.canplay() || !client_.state().holdsSeat()
        || !boardComplete())
        return;
    planner_.startRound(boardAsSeen());
    roundMs_ = 0;
    if (options_.ownTimers)
        ticker_.start();
}

void ComputerPlayer::roundOver()
{
    planner_.endRound();
    ticker_.stop();
}

void ComputerPlayer::tick()
{
    if (!planner_.inRound()) {
        ticker_.stop(); // nothing to do until the next board
        return;
    }
    roundMs_ += botlimits::kTickMs;
    if (!client_.canplay())
        return;
    const int secondsLeft = client_.state().secondsleft;
    const std::optional<FoundWord> word = planner_.next(roundMs_, secondsLeft);
    if (!word)
        return;
    const std::vector<TileRef> tiles = word->path.tiles();
    if (client_.sendWord(tiles))
        emit wordSent(QString::fromLatin1(word->word().data(), qsizetype(word->word().size())), secondsLeft);
}

void ComputerPlayer::connectionEnded(GameClient::Ending ending)
{
    if (ended_)
        return;
    ended_ = true;
    roundOver();
    emit finished(ending);
}
