// GameClient's handlers of the server's messages: the login, the roster,
// the game's start, each round's board and clock, found and refused words,
// the round's end, the winner and the relayed chat and sounds. Every value
// from the server is range-checked before it is used.
#include "game_client.h"

#include "colour_text.h"
#include "text_codec.h"

#include <algorithm>

using namespace client;

namespace {

// A server announces at most five spies at a time; a list far longer than
// that can only come from a broken or hostile server.
constexpr std::size_t kMaxSpies = 64;

// No round yields this many words; more can only come from a hostile server.
constexpr std::size_t kMaxWordsPerSeat = 5000;

// Words tried for the spell book's kind in one round: a handful over the book settles it, and
// a flood of words from a hostile server must not keep the window working on each.
constexpr int kMaxBookTries = 200;

// A relayed line without a readable colour shows in black: white, the old
// choice, could not be read on the white chat pane.
constexpr uint32_t kNoColour = 0x000000;

int clampMinutes(int32_t minutes) { return std::clamp(minutes, kServerMinMinutes, kServerMaxMinutes); }
int clampRounds(int32_t rounds) { return std::clamp(rounds, kServerMinRounds, kServerMaxRounds); }
// A clock correction never sets more than the longest round can last.
int clampSeconds(int32_t seconds) { return std::clamp(seconds, 0, kServerMaxMinutes * 60); }

} // namespace

void GameClient::sendloginfo(std::string_view args)
{
    auto message = wire::SendLoginInfo::parse(args);
    if (!message)
        return;
    state_.mynumber = message->number;
    state_.loggedin = true;
    // The name is followed by the end byte kept in loginname, so two end bytes
    // close the reply, as every server expects.
    send(wire::LoginInfo { state_.mynumber, std::string(wire::kVersionText), loginname_ }.compose());
    emit loggedIn(state_.mynumber);
}

void GameClient::newplayerinfo(std::string_view args)
{
    auto message = wire::PlayerInfo::parse(args);
    if (!message)
        return;
    const QString name = wire::decodeText(message->name);
    if (isSpy(message->number)) {
        if (state_.spies.size() < kMaxSpies)
            state_.spies.push_back(Spy { message->number, name });
    } else {
        Seat& seat = state_.seats[std::size_t(message->number)];
        seat.taken = true;
        seat.name = name;
    }
    emit participantArrived(message->number, name);
}

void GameClient::playerdisconnected(std::string_view args)
{
    auto message = wire::PlayerDisconnected::parse(args);
    if (!message)
        return;
    const int n = message->number;
    const QString name = wire::decodeText(message->name);
    if (n == state_.mynumber) {
        // The server tells a connection it removes that it is gone.
        state_.loggedin = false;
        removedByServer_ = true;
    }
    QString seatName;
    if (isSeat(n)) {
        Seat& seat = state_.seats[std::size_t(n)];
        if (seat.taken)
            seatName = seat.name;
        seat.taken = false;
        seat.name.clear();
    }
    const auto spy = std::find_if(state_.spies.begin(), state_.spies.end(),
        [&](const Spy& s) { return s.number == n && s.name == name; });
    const bool spyLeft = spy != state_.spies.end();
    if (spyLeft)
        state_.spies.erase(spy);
    emit participantLeft(n, name, seatName, spyLeft);
}

void GameClient::havewrongversion(std::string_view args)
{
    if (auto message = wire::HaveWrongVersion::parse(args))
        emit versionWarning(wire::decodeText(message->name));
}

void GameClient::wrongversionreceived(std::string_view) { emit wrongVersion(); }

void GameClient::setTerms(int rounds, bool teamGame, int minutes)
{
    state_.terms = GameTerms { clampRounds(rounds), teamGame, clampMinutes(minutes) };
}

void GameClient::startthegame(std::string_view args)
{
    auto message = wire::StartGame::parse(args);
    if (!message)
        return;
    setTerms(message->rounds, message->teamGame(), message->minutes);
    for (int n = 1; n <= kSeats; ++n) {
        state_.seats[std::size_t(n)].score = 0;
        state_.seats[std::size_t(n)].bonus.reset();
    }
    emit gameStarted(message->number);
}

void GameClient::boardtileline(std::string_view args)
{
    auto row = wire::BoardTileLine::parse(args);
    if (!row)
        return;
    for (int c = 0; c < kBoardColumns; ++c) {
        int& cell = state_.boardtiles[std::size_t(c)][std::size_t(row->row)];
        if (cell == row->codes[std::size_t(c)])
            continue;
        cell = row->codes[std::size_t(c)];
        emit boardCellChanged(c, row->row, cell);
    }
}

void GameClient::setbonustiles(std::string_view)
{
    forgetBookKind(); // a new board: its book is drawn anew
    for (const FixedBonusCell& cell : kFixedBonusCells)
        state_.boardbonus[std::size_t(cell.x)][std::size_t(cell.y)]
            = cell.kind == BonusRedPotion ? RedPotion : YellowPotion;
    state_.boardbonus[kCentreColumn][kCentreRow] = SpellBook;
    emit bonusTilesSet();
}

void GameClient::nextround(std::string_view args)
{
    auto message = wire::NextRound::parse(args);
    if (!message)
        return;
    state_.round = message->round;
    state_.phase = ClockPhase::Round;
    gamerunning_ = true;
    if (state_.holdsSeat())
        state_.canplay = true;
    for (int n = 1; n <= kSeats; ++n) {
        state_.seats[std::size_t(n)].words.clear();
        state_.seats[std::size_t(n)].roundPoints.reset();
    }
    state_.hasEndedBoard = false;
    startClock(state_.terms.minutes * 60);
    emit roundStarted(state_.round, state_.round > state_.terms.rounds);
}

void GameClient::startClock(int seconds)
{
    state_.secondsleft = seconds;
    if (state_.secondsleft > 0 && !timer2.isActive() && options_.clockIntervalMs > 0)
        timer2.start();
    emit clockChanged(state_.secondsleft);
}

void GameClient::timer2Timer()
{
    if (state_.secondsleft > 0)
        processgametime();
    if (state_.secondsleft <= 0)
        timer2.stop(); // nothing to count until the next round or correction
}

void GameClient::processgametime()
{
    state_.secondsleft -= 1;
    if (state_.secondsleft <= 0)
        gamerunning_ = false;
    emit clockChanged(state_.secondsleft);
}

void GameClient::updatetime(std::string_view args)
{
    if (auto message = wire::UpdateTime::parse(args))
        startClock(clampSeconds(message->seconds));
}

void GameClient::foundword(std::string_view args)
{
    auto message = wire::FoundWord::parse(args);
    if (!message)
        return;
    Seat& seat = state_.seats[std::size_t(message->seat)];
    seat.bonus = message->wordScore;
    seat.score = message->seatScore;
    state_.seats[std::size_t(message->partner)].score = message->partnerScore;
    const QString word = wire::decodeText(message->word).toUpper();
    if (seat.words.size() < kMaxWordsPerSeat) {
        fileWord(seat.words, word, message->wordScore);
        learnBookKind(word, message->wordScore);
    }
    emit wordFound(*message, message->seat == state_.mynumber);
}

void GameClient::badword(std::string_view args)
{
    if (auto message = wire::BadWord::parse(args))
        emit wordRefused(message->reason, wire::decodeText(message->word));
}

void GameClient::endturn(std::string_view args)
{
    state_.canplay = false;
    gamerunning_ = false;
    state_.phase = ClockPhase::Pause;
    state_.endedtiles = state_.boardtiles;
    state_.endedbonus = state_.boardbonus;
    state_.hasEndedBoard = true;
    clearBoard();
    auto message = wire::EndRound::parse(args);
    RoundScores scores {};
    if (message) {
        scores = message->scores;
        for (int n = 1; n <= kSeats; ++n) {
            Seat& seat = state_.seats[std::size_t(n)];
            const int64_t points = scores[std::size_t(n - 1)];
            seat.roundPoints = points;
            if (points != 0)
                seat.bonus = points;
        }
    }
    startClock(kPauseBetweenRounds);
    emit roundEnded(scores);
}

void GameClient::clearBoard()
{
    for (auto& column : state_.boardtiles)
        column.fill(0);
    for (auto& column : state_.boardbonus)
        column.fill(NoPicture);
}

void GameClient::learnBookKind(const QString& word, int64_t score)
{
    if (state_.bookKind != BonusNone || state_.phase != ClockPhase::Round || bookTries_ >= kMaxBookTries)
        return;
    ++bookTries_;
    const QByteArray letters = word.toLower().toLatin1();
    const BookKinds fits
        = possibleBookKinds(state_.scoringBoard(), std::string_view(letters.data(), letters.size()), score);
    // A word no kind explains (a server with another list or rule) teaches nothing, rather than
    // ruling out every kind.
    const BookKinds narrowed = bookKinds_ & fits;
    if (narrowed.empty())
        return;
    bookKinds_ = narrowed;
    if (bookKinds_.count() != 1)
        return;
    for (BonusKind kind : { BonusYellowPotion, BonusRedPotion, BonusDoubleLetter, BonusTripleLetter })
        if (bookKinds_.contains(kind))
            state_.bookKind = kind;
    emit bookKindChanged(state_.bookKind);
}

void GameClient::forgetBookKind()
{
    bookKinds_ = BookKinds::all();
    bookTries_ = 0;
    if (state_.bookKind == BonusNone)
        return;
    state_.bookKind = BonusNone;
    emit bookKindChanged(BonusNone);
}

void GameClient::postwinner(std::string_view args)
{
    // One step more shows "0:00" and stops the clock.
    startClock(1);
    emit gameWon(wire::decodeText(args));
}

void GameClient::gamestats(std::string_view args)
{
    auto message = wire::GameStats::parse(args);
    if (!message)
        return;
    setTerms(message->rounds, message->teamGame, message->minutes);
    if (state_.holdsSeat())
        state_.canplay = true;
    gamerunning_ = true;
    state_.phase = ClockPhase::Round;
    if (message->now) {
        // Our server says where the round stands, so a latecomer sees the same
        // round, clock and scores as everybody else.
        state_.round = message->now->round;
        for (int n = 1; n <= kSeats; ++n)
            state_.seats[std::size_t(n)].score = message->now->scores[std::size_t(n - 1)];
        startClock(clampSeconds(message->now->secondsLeft));
    }
    emit latecomerJoined();
}

void GameClient::chatrecieved(std::string_view args)
{
    // The colour follows the last "|": the text before it may hold "|" too
    // (no byte of a UTF-8 character is ever "|").
    const std::size_t bar = args.rfind('|');
    if (bar == std::string_view::npos) {
        emit chatLine(wire::decodeText(args), kNoColour);
        return;
    }
    const std::optional<uint32_t> colour = wire::colourFromText(args.substr(bar + 1));
    emit chatLine(wire::decodeText(args.substr(0, bar)), colour.value_or(kNoColour));
}

void GameClient::playasound(std::string_view args)
{
    if (auto message = wire::PlayASound::parse(args))
        emit soundRelayed(message->number, wire::decodeText(message->sound));
}

// ---------------------------------------------------------------------------

std::vector<QString> client::ClientState::opponents() const
{
    std::vector<QString> names;
    for (int n = 1; n <= kSeats; ++n)
        if (n != mynumber && seats[std::size_t(n)].taken)
            names.push_back(seats[std::size_t(n)].name);
    return names;
}

namespace {

Board scoringBoardOf(const std::array<std::array<int, kBoardRows>, kBoardColumns>& tiles,
    const std::array<std::array<int, kBoardRows>, kBoardColumns>& pictures, int bookKind)
{
    Board board;
    for (int c = 0; c < kBoardColumns; ++c)
        for (int r = 0; r < kBoardRows; ++r) {
            board.board[c][r] = tiles[std::size_t(c)][std::size_t(r)];
            const int picture = pictures[std::size_t(c)][std::size_t(r)];
            board.bonus[c][r] = picture == YellowPotion ? BonusYellowPotion
                : picture == RedPotion                  ? BonusRedPotion
                : picture == SpellBook                  ? bookKind
                                                        : BonusNone;
        }
    return board;
}

} // namespace

Board client::ClientState::scoringBoard() const { return scoringBoardOf(boardtiles, boardbonus, bookKind); }

Board client::ClientState::endedScoringBoard() const
{
    return scoringBoardOf(endedtiles, endedbonus, bookKind);
}

void client::fileWord(std::vector<FiledWord>& list, const QString& word, int64_t score)
{
    const auto before
        = std::find_if(list.begin(), list.end(), [&](const FiledWord& entry) { return entry.score < score; });
    list.insert(before, FiledWord { word, score });
}
