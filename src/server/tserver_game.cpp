// TServer game rules: starting a game, dealing rounds, the game clock,
// checking and scoring words, and naming the winner.
#include "tserver.h"

#include "word_scoring.h"

#include <algorithm>

namespace {

bool isClockCorrection(int secondsLeft)
{
    return std::find(kClockCorrectionPoints.begin(), kClockCorrectionPoints.end(), secondsLeft)
        != kClockCorrectionPoints.end();
}

} // namespace

void TServer::startgame(int n, std::string_view args, wire::FieldReader fields)
{
    // Only the host starts games, and only with sane settings.
    int32_t rounds = 0, minutes = 0;
    std::string_view team;
    if (n != 1 || !fields.nextInt(rounds) || !fields.next(team) || !fields.nextInt(minutes)
        || !fields.rest().empty())
        return;
    if (rounds < kServerMinRounds || rounds > kServerMaxRounds || minutes < kServerMinMinutes
        || minutes > kServerMaxMinutes
        || (team != "y" && team != "n"))
        return;

    clearit1();
    round = 0;
    setClockState(csRoundRunning);
    numrounds = rounds;
    roundtime = minutes * 60;
    teamgame = team == "y";
    sendToAll("CMD_startgame+" + std::string(args));
    findplayer();
}

void TServer::clearit1()
{
    for (int seat = 1; seat <= kSeats; ++seat) {
        players[seat].score = 0;
        players[seat].roundscore = 0;
        players[seat].wordscore = 0;
        players[seat].word.clear();
    }
}

void TServer::findplayer()
{
    ++round;
    for (int seat = 1; seat <= kSeats; ++seat) {
        wordlist[seat].clear();
        players[seat].roundscore = 0;
    }
    getboardarray();
    sendToAll("CMD_nextround+" + std::to_string(round));
}

void TServer::getboardarray()
{
    dealBoard(board_, random_);
    for (int y = 0; y < kBoardRows; ++y)
        sendToAll(boardRowMessage(board_, y));
    sendToAll("CMD_setbonustiles+");
    gamerunning->value = true;
    timeleft = roundtime;
    gametime.start();
}

void TServer::sendBoardTo(int n)
{
    for (int y = 0; y < kBoardRows; ++y) {
        sendTo(n, boardRowMessage(board_, y));
        sendTo(n, "CMD_setbonustiles+");
    }
}

void TServer::setClockState(ClockState state)
{
    gametimeTag = state;
}

void TServer::gametimeTimer()
{
    if (gametimeTag == csRoundRunning) {
        --timeleft;
        if (isClockCorrection(timeleft))
            sendToAll("CMD_updatetime+" + std::to_string(timeleft - 1));
        if (timeleft <= 0) {
            gametime.stop();
            gamerunning->value = false;
            std::string scores = "CMD_endround";
            for (int seat = 1; seat <= kSeats; ++seat)
                scores += "+" + std::to_string(players[seat].roundscore);
            sendToAll(scores);
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

bool TServer::checkforwin()
{
    int64_t best = 0;
    int winner = 0;
    for (int seat = 1; seat <= kSeats; ++seat)
        if (players[seat].score > best) {
            best = players[seat].score;
            winner = seat;
        }
    if (winner == 0)
        return false;
    if (!teamgame)
        for (int seat = 1; seat <= kSeats; ++seat)
            if (seat != winner && players[seat].score == best)
                return false;

    std::string text = players[winner].name;
    if (teamgame)
        text += " and " + players[players[winner].partner].name;
    sendToAll("CMD_winner+" + text);
    round = 0;
    return true;
}

void TServer::wordcomplete(int n, wire::FieldReader fields)
{
    if (!gamerunning->value || n < 1 || n > kSeats)
        return;
    // Anything a client could not have sent is dropped without a reply.
    auto items = fields.list(kMaxWordTiles);
    if (!items)
        return;
    std::vector<TileRef> refs;
    refs.reserve(items->size());
    for (std::string_view item : *items) {
        TileRef ref {};
        if (!parseTileRef(item, ref))
            return;
        refs.push_back(ref);
    }
    std::optional<BuiltWord> built = buildWord(board_, refs);
    if (!built)
        return;

    tplayer& seat = players[n];
    seat.word = built->word;
    seat.wordscore = built->letterScore;
    if (!spell->CheckWord(seat.word)) {
        sendTo(n, "CMD_badword+2+" + std::to_string(n) + "+" + seat.word + "+");
        return;
    }
    std::vector<std::string>& found = wordlist[n];
    if (std::find(found.begin(), found.end(), seat.word) != found.end()) {
        sendTo(n, "CMD_badword+1+" + std::to_string(n) + "+" + seat.word + "+");
        return;
    }
    seat.wordscore = finalWordScore(*built);
    found.push_back(seat.word);
    seat.score += seat.wordscore;
    seat.roundscore += seat.wordscore;
    tplayer& partner = players[seat.partner];
    if (teamgame)
        partner.score = seat.score;
    sendToAll("CMD_foundword+" + std::to_string(n) + "+" + seat.word + "+" + std::to_string(seat.wordscore) + "+"
              + std::to_string(seat.score) + "+" + std::to_string(seat.partner) + "+"
              + std::to_string(partner.score));
}
