// What the game client learns of a round's board besides its letters: the spell book's kind
// from the scores of accepted words, and the board of the round that ended, kept for its review.
#include "game_client.h"

#include "lexicon.h"
#include "word_finder.h"

#include <QSignalSpy>

#include <gtest/gtest.h>

#include <random>

namespace {

GameClient::Options noServer()
{
    GameClient::Options options;
    options.dispatchIntervalMs = 0;
    options.clockIntervalMs = 0;
    return options;
}

// A dealt board and the words of it that cross the book, with the scores the server gives.
struct Dealt {
    Board board;
    std::vector<FoundWord> overTheBook;
    std::vector<FoundWord> elsewhere;
};

Dealt deal(unsigned seed)
{
    Dealt dealt;
    std::mt19937 rng(seed);
    dealBoard(dealt.board, rng);
    WordFinder finder(embeddedLexicon());
    for (const FoundWord& word : finder.solve(dealt.board)) {
        const auto cells = word.path.view();
        const bool crosses
            = std::find(cells.begin(), cells.end(), cellIndexOf(kCentreColumn, kCentreRow)) != cells.end();
        (crosses ? dealt.overTheBook : dealt.elsewhere).push_back(word);
    }
    return dealt;
}

void startRound(GameClient& client, const Board& board)
{
    client.handle("CMD_sendlogininfo+1");
    client.handle("CMD_startgame+1+3+n+2+");
    for (int y = 0; y < kBoardRows; ++y)
        client.handle(boardRowMessage(board, y));
    client.handle("CMD_setbonustiles+");
    client.handle("CMD_nextround+1");
}

std::string found(int seat, const FoundWord& word)
{
    return "CMD_foundword+" + std::to_string(seat) + "+" + std::string(word.word()) + "+"
        + std::to_string(word.score) + "+" + std::to_string(word.score) + "+3+0";
}

} // namespace

TEST(RoundBoard, TheBooksKindIsLearntFromTheScoresOfWordsOverIt)
{
    for (unsigned seed : { 3u, 11u, 42u }) {
        const Dealt dealt = deal(seed);
        ASSERT_GE(dealt.overTheBook.size(), 3u) << seed;
        GameClient client(noServer());
        QSignalSpy learnt(&client, &GameClient::bookKindChanged);
        startRound(client, dealt.board);
        EXPECT_EQ(client.state().bookKind, BonusNone);
        // Words away from the book say nothing of it.
        for (std::size_t i = 0; i < std::min<std::size_t>(5, dealt.elsewhere.size()); ++i)
            client.handle(found(1, dealt.elsewhere[i]));
        EXPECT_EQ(client.state().bookKind, BonusNone) << seed;
        for (const FoundWord& word : dealt.overTheBook) {
            client.handle(found(2, word));
            if (client.state().bookKind != BonusNone)
                break;
        }
        EXPECT_EQ(client.state().bookKind, dealt.board.bonus[kCentreColumn][kCentreRow]) << seed;
        ASSERT_EQ(learnt.count(), 1) << seed;
        EXPECT_EQ(learnt[0][0].toInt(), dealt.board.bonus[kCentreColumn][kCentreRow]);

        // A new board draws a new book: what was learnt is forgotten.
        client.handle("CMD_setbonustiles+");
        EXPECT_EQ(client.state().bookKind, BonusNone);
        EXPECT_EQ(learnt.count(), 2);
    }
}

TEST(RoundBoard, AScoreNoKindExplainsTeachesNothing)
{
    const Dealt dealt = deal(42);
    GameClient client(noServer());
    startRound(client, dealt.board);
    FoundWord bogus = dealt.overTheBook.front();
    bogus.score = 999983; // a prime: no chain of any word scores it
    client.handle(found(1, bogus));
    client.handle("CMD_foundword+1+zzzzzz+12+12+3+0"); // not on the board at all
    EXPECT_EQ(client.state().bookKind, BonusNone);
    for (const FoundWord& word : dealt.overTheBook) {
        client.handle(found(2, word));
        if (client.state().bookKind != BonusNone)
            break;
    }
    EXPECT_EQ(client.state().bookKind, dealt.board.bonus[kCentreColumn][kCentreRow]);
}

TEST(RoundBoard, TheEndedBoardIsKeptThroughThePauseAndForgottenAtTheNextRound)
{
    const Dealt dealt = deal(3);
    GameClient client(noServer());
    startRound(client, dealt.board);
    EXPECT_FALSE(client.state().hasEndedBoard);
    client.handle("CMD_endround+0+0+0+0");
    const client::ClientState& state = client.state();
    ASSERT_TRUE(state.hasEndedBoard);
    for (int c = 0; c < kBoardColumns; ++c)
        for (int r = 0; r < kBoardRows; ++r) {
            EXPECT_EQ(state.boardtiles[std::size_t(c)][std::size_t(r)], 0);
            EXPECT_EQ(state.endedtiles[std::size_t(c)][std::size_t(r)], dealt.board.board[c][r]);
        }
    EXPECT_EQ(state.endedbonus[kCentreColumn][kCentreRow], client::SpellBook);
    EXPECT_EQ(state.endedbonus[0][0], client::RedPotion);
    // As the server scores it: the potions as they are, the unknown book as a plain cell.
    const Board scoring = state.endedScoringBoard();
    EXPECT_EQ(scoring.bonus[0][0], BonusRedPotion);
    EXPECT_EQ(scoring.bonus[3][2], BonusYellowPotion);
    EXPECT_EQ(scoring.bonus[kCentreColumn][kCentreRow], BonusNone);
    EXPECT_EQ(scoring.board[5][5], dealt.board.board[5][5]);

    client.handle("CMD_nextround+2");
    EXPECT_FALSE(client.state().hasEndedBoard);
}
