// ServerGame: starting a game, dealing rounds, the game clock, checking and
// scoring words, and naming the winner.
#include "server_game.h"

#include "server_winner.h"
#include "word_scoring.h"

#include <algorithm>
#include <chrono>

namespace {

constexpr int kSecondsPerMinute = 60;

bool isClockCorrection(int secondsLeft)
{
    return std::find(kClockCorrectionPoints.begin(), kClockCorrectionPoints.end(), secondsLeft)
        != kClockCorrectionPoints.end();
}

} // namespace

ServerGame::ServerGame(ServerConnections& connections, std::unique_ptr<TDictn> dictionary, int secondMs)
    : connections_(connections)
    , spell(std::move(dictionary))
    , random_(static_cast<uint32_t>(std::chrono::steady_clock::now().time_since_epoch().count()))
{
    for (int n = 1; n <= kSeats; ++n)
        seats_[std::size_t(n)].partner = partnerOf(n);
    gametime.setInterval(std::max(1, secondMs));
    QObject::connect(&gametime, &QTimer::timeout, &gametime, [this] { gametimeTimer(); });
}

const SeatScore& ServerGame::seat(int n) const
{
    static const SeatScore none;
    return isSeat(n) ? seats_[std::size_t(n)] : none;
}

void ServerGame::startgame(int, const wire::StartGame& request)
{
    // Only sane settings: the wider bounds keep the clock arithmetic from overflowing.
    if (request.rounds < kServerMinRounds || request.rounds > kServerMaxRounds
        || request.minutes < kServerMinMinutes || request.minutes > kServerMaxMinutes)
        return;

    clearit1();
    round = 0;
    setClockState(csRoundRunning);
    numrounds = request.rounds;
    roundtime = request.minutes * kSecondsPerMinute;
    teamgame = request.teamGame();
    // Relayed with the flag every window reads the same way: only "y" asks
    // for teams.
    const wire::StartGame relay { request.number, request.rounds, teamgame ? "y" : "n", request.minutes };
    connections_.sendToAll(relay.compose());
    findplayer();
}

void ServerGame::clearit1()
{
    for (int n = 1; n <= kSeats; ++n) {
        SeatScore& s = seats_[std::size_t(n)];
        s.score = 0;
        s.roundscore = 0;
        s.wordscore = 0;
        s.word.clear();
    }
}

void ServerGame::findplayer()
{
    ++round;
    for (int n = 1; n <= kSeats; ++n) {
        wordlist[std::size_t(n)].clear();
        seats_[std::size_t(n)].roundscore = 0;
    }
    getboardarray();
    connections_.sendToAll(wire::NextRound { round }.compose());
}

void ServerGame::getboardarray()
{
    dealBoard(board_, random_);
    for (int y = 0; y < kBoardRows; ++y)
        connections_.sendToAll(boardRow(y));
    connections_.sendToAll(wire::SetBonusTiles {}.compose());
    gamerunning = true;
    timeleft = roundtime;
    gametime.start();
}

std::string ServerGame::boardRow(int y) const
{
    wire::BoardTileLine line;
    line.row = y;
    for (int x = 0; x < kBoardColumns; ++x)
        line.codes[std::size_t(x)] = board_.board[x][y];
    return line.compose();
}

void ServerGame::welcome(int n)
{
    // A latecomer joins the round in play; during a pause it waits for the next deal.
    if (!gamerunning)
        return;
    wire::GameStats stats;
    stats.rounds = numrounds;
    stats.teamGame = teamgame;
    stats.minutes = roundtime / kSecondsPerMinute;
    // Where the round stands, so the latecomer sees the round, clock and
    // scores everybody else sees.
    wire::GameStats::RoundNow now;
    now.round = round;
    now.secondsLeft = timeleft;
    for (int seat = 1; seat <= kSeats; ++seat)
        now.scores[std::size_t(seat - 1)] = seats_[std::size_t(seat)].score;
    stats.now = now;
    connections_.sendTo(n, stats.compose());
    if (isSeat(n))
        sendBoardTo(n);
}

void ServerGame::sendBoardTo(int n)
{
    for (int y = 0; y < kBoardRows; ++y) {
        connections_.sendTo(n, boardRow(y));
        connections_.sendTo(n, wire::SetBonusTiles {}.compose());
    }
}

void ServerGame::gametimeTimer()
{
    ServerConnections::SendBatch batch(connections_);
    if (gametimeTag == csRoundRunning) {
        --timeleft;
        if (isClockCorrection(timeleft))
            connections_.sendToAll(wire::UpdateTime { timeleft - 1 }.compose());
        if (timeleft <= 0) {
            gametime.stop();
            gamerunning = false;
            wire::EndRound scores;
            for (int n = 1; n <= kSeats; ++n)
                scores.scores[std::size_t(n - 1)] = seats_[std::size_t(n)].roundscore;
            connections_.sendToAll(scores.compose());
            if (round < numrounds) {
                timeleft = kPauseBetweenRounds;
                setClockState(csPause);
                gametime.start();
            } else {
                setClockState(csGameDecided);
                if (!checkforwin()) {
                    timeleft = kPauseAfterUndecidedGame;
                    setClockState(csPause);
                    gametime.start();
                }
            }
        }
    }
    if (gametimeTag == csPause) {
        --timeleft;
        if (timeleft < 1) {
            gametime.stop();
            setClockState(csRoundRunning);
            findplayer();
        }
    }
}

bool ServerGame::checkforwin()
{
    std::array<int64_t, kSeats + 1> scores {};
    std::array<bool, kSeats + 1> held {};
    for (int n = 1; n <= kSeats; ++n) {
        scores[std::size_t(n)] = seats_[std::size_t(n)].score;
        held[std::size_t(n)] = connections_.isPresent(n);
    }
    const GameOutcome outcome = decideGame(scores, held, teamgame);
    if (outcome.kind == GameOutcome::Undecided)
        return false;
    // A game nobody plays any more ends without a winner; the next start
    // request begins afresh.
    if (outcome.kind == GameOutcome::Won) {
        std::string text = connections_.slot(outcome.seat).name;
        if (outcome.partner != 0)
            text += " and " + connections_.slot(outcome.partner).name;
        connections_.sendToAll(wire::Winner { text }.compose());
    }
    round = 0;
    return true;
}

void ServerGame::wordcomplete(int n, const wire::WordComplete& word)
{
    if (!gamerunning || !isSeat(n))
        return;
    // A broken chain is dropped without a reply.
    const std::optional<BuiltWord> built = buildWord(board_, word.tiles);
    if (!built)
        return;

    SeatScore& sender = seats_[std::size_t(n)];
    sender.word = built->word;
    sender.wordscore = built->letterScore;
    // Refusals go to the sender alone.
    if (!spell->CheckWord(sender.word)) {
        connections_.sendTo(n, wire::BadWord { wire::BadWord::NotAWord, n, sender.word }.compose());
        return;
    }
    if (!wordlist[std::size_t(n)].insert(sender.word).second) {
        connections_.sendTo(n, wire::BadWord { wire::BadWord::AlreadyFound, n, sender.word }.compose());
        return;
    }
    sender.wordscore = finalWordScore(*built);
    sender.score += sender.wordscore;
    sender.roundscore += sender.wordscore;
    SeatScore& partner = seats_[std::size_t(sender.partner)];
    if (teamgame)
        partner.score = sender.score;
    connections_.sendToAll(
        wire::FoundWord { n, sender.word, sender.wordscore, sender.score, sender.partner, partner.score }
            .compose());
}
