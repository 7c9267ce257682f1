// The board search: against the walk-by-walk reference on small boards and on
// dealt boards with the real list, the tile rules, the length cap and scoring.
#include "walk_reference.h"
#include "word_finder.h"
#include "word_records.h"

#include "dict_limits.h"
#include "embedded_word_list.h"

#include <gtest/gtest.h>

#include <map>
#include <random>
#include <set>
#include <string>
#include <vector>

namespace {

using walkref::codeOf;

std::set<std::string> asSet(const std::vector<std::string>& words) { return { words.begin(), words.end() }; }

// Words the board surely holds: the letters of random walks over the 4 x 3 corner.
std::set<std::string> walkedWords(const Board& board, std::mt19937& rng, int count)
{
    std::set<std::string> words;
    std::uniform_int_distribution<int> length(2, kMaxWordTiles);
    std::uniform_int_distribution<int> step(-1, 1);
    for (int i = 0; i < count; ++i) {
        int x = std::uniform_int_distribution<int>(0, 3)(rng);
        int y = std::uniform_int_distribution<int>(0, 2)(rng);
        std::string word = convertoletter(board.board[x][y]);
        const int n = length(rng);
        while (static_cast<int>(word.size()) < n) {
            const int nx = x + step(rng);
            const int ny = y + step(rng);
            if ((nx == x && ny == y) || nx < 0 || nx > 3 || ny < 0 || ny > 2)
                continue;
            x = nx;
            y = ny;
            word += convertoletter(board.board[x][y]);
        }
        words.insert(word);
    }
    return words;
}

// The finder's answer as the reference states it.
std::map<std::string, walkref::Best> finderAnswer(WordFinder& finder, const Board& board)
{
    std::map<std::string, walkref::Best> out;
    for (const FoundWord& found : finder.solve(board)) {
        const bool fresh
            = out.emplace(std::string(found.word()), walkref::Best { found.score, found.path.tiles() })
                  .second;
        EXPECT_TRUE(fresh) << "listed twice: " << found.word();
    }
    return out;
}

void expectSame(
    const std::map<std::string, walkref::Best>& ours, const std::map<std::string, walkref::Best>& reference)
{
    ASSERT_EQ(ours.size(), reference.size());
    for (const auto& [word, best] : reference) {
        const auto it = ours.find(word);
        ASSERT_NE(it, ours.end()) << "missed " << word;
        EXPECT_EQ(it->second.score, best.score) << word;
        ASSERT_EQ(it->second.tiles.size(), best.tiles.size()) << word;
        for (std::size_t i = 0; i < best.tiles.size(); ++i) {
            EXPECT_EQ(it->second.tiles[i].x, best.tiles[i].x) << word << " tile " << i;
            EXPECT_EQ(it->second.tiles[i].y, best.tiles[i].y) << word << " tile " << i;
        }
    }
}

TEST(WordFinderTest, SmallBoardsMatchEveryWalkTriedOneByOne)
{
    std::mt19937 rng(7);
    for (int round = 0; round < 16; ++round) {
        // Few letters, so walks come back to tiles and words repeat letters;
        // bonus cells anywhere, potions touching.
        const Board board = walkref::smallBoard(rng, "abcei", 'z');
        std::set<std::string> words = walkedWords(board, rng, 30);
        for (const std::string& w : walkref::randomWords(rng, "abcei", 150, 5))
            words.insert(w);
        const Lexicon lexicon(testsupport::makeWordRecords({ words.begin(), words.end() }));
        WordFinder finder(lexicon);
        const auto reference = walkref::WordWalker(words).wordsOn(board);
        ASSERT_GT(reference.size(), 20u);
        expectSame(finderAnswer(finder, board), reference);
    }
}

TEST(WordFinderTest, DealtBoardsMatchEveryWalkWithTheWholeList)
{
    std::set<std::string> words;
    const std::string_view records = embeddedWordList();
    for (std::size_t i = 0; i < records.size() / kRecordSize; ++i) {
        std::string word(records.substr(i * kRecordSize + 1, kWordFieldSize));
        word.resize(word.find(' ') == std::string::npos ? word.size() : word.find(' '));
        for (char& c : word)
            c = static_cast<char>(c - 'A' + 'a');
        words.insert(word);
    }
    const walkref::WordWalker walker(words);
    WordFinder finder(embeddedLexicon());
    std::mt19937 rng(11);
    for (int round = 0; round < 3; ++round) {
        Board board;
        dealBoard(board, rng);
        const auto reference = walker.wordsOn(board);
        ASSERT_GT(reference.size(), 500u);
        expectSame(finderAnswer(finder, board), reference);
    }
}

TEST(WordFinderTest, ATileComesBackButNeverTwiceInARow)
{
    Board board;
    board.board[5][5] = codeOf('a');
    board.board[6][5] = codeOf('b');
    const Lexicon lexicon(testsupport::makeWordRecords({ "aba", "abab", "aa", "bab", "abba" }));
    WordFinder finder(lexicon);
    std::map<std::string, CellPath> found;
    for (const FoundWord& f : finder.solve(board))
        found[std::string(f.word())] = f.path;

    // One a and one b: "aa" and "abba" would need a tile twice in a row.
    EXPECT_EQ(found.count("aa"), 0u);
    EXPECT_EQ(found.count("abba"), 0u);
    ASSERT_EQ(found.count("aba"), 1u);
    ASSERT_EQ(found.count("abab"), 1u);
    ASSERT_EQ(found.count("bab"), 1u);
    const CellPath& aba = found["aba"];
    EXPECT_EQ(aba.cells[0], cellIndexOf(5, 5));
    EXPECT_EQ(aba.cells[1], cellIndexOf(6, 5));
    EXPECT_EQ(aba.cells[2], cellIndexOf(5, 5));
    for (const auto& [word, path] : found) {
        for (std::size_t i = 1; i < path.length; ++i)
            EXPECT_NE(path.cells[i], path.cells[i - 1]) << word;
    }
}

TEST(WordFinderTest, TwelveTilesAtMost)
{
    Board board;
    board.board[0][4] = codeOf('a');
    board.board[1][4] = codeOf('b');
    // The record field holds 14 letters, but no word of more than twelve can be laid.
    const Lexicon lexicon(
        testsupport::makeWordRecords({ "abababababab", "ababababababa", "bababababababa" }));
    WordFinder finder(lexicon);
    const auto& found = finder.solve(board);
    ASSERT_EQ(found.size(), 1u);
    EXPECT_EQ(found[0].word(), "abababababab");
    EXPECT_EQ(found[0].path.length, 12);
    EXPECT_EQ(found[0].score, 6 * 1 + 6 * 3);
}

// c-a-t with each of its cells in turn on a bonus: the finder's score is the
// server's for the path it gives, and the path takes the bonus when it pays.
TEST(WordFinderTest, ScoresEveryKindOfBonusAsTheServerDoes)
{
    // Every other cell holds code 0, which reads as t.
    const Lexicon lexicon(testsupport::makeWordRecords({ "cat", "act", "ata" }));
    WordFinder finder(lexicon);
    struct Case {
        int32_t bonusOnA;
        int64_t cat;
        int64_t ata; // crosses the a twice
    };
    const Case cases[] = {
        { BonusNone, 5, 3 },
        { BonusYellowPotion, 10, 12 },
        { BonusRedPotion, 15, 27 },
        { BonusDoubleLetter, 6, 5 },
        { BonusTripleLetter, 7, 7 },
    };
    for (const Case& c : cases) {
        Board board;
        board.board[4][4] = codeOf('c');
        board.board[5][4] = codeOf('a');
        board.bonus[5][4] = c.bonusOnA;
        const auto& found = finder.solve(board);
        std::map<std::string, FoundWord> byWord;
        for (const FoundWord& f : found)
            byWord[std::string(f.word())] = f;
        ASSERT_EQ(byWord.count("cat"), 1u);
        ASSERT_EQ(byWord.count("ata"), 1u);
        EXPECT_EQ(byWord["cat"].score, c.cat) << "bonus " << c.bonusOnA;
        EXPECT_EQ(byWord["ata"].score, c.ata) << "bonus " << c.bonusOnA;
        for (const auto& [word, f] : byWord)
            EXPECT_EQ(f.score, walkref::scoreOf(board, f.path.tiles())) << word;
    }

    // A red corner and the centre's book of each kind, on one word that can
    // pass either: the finder takes whatever the grid says.
    for (int32_t book :
        { BonusNone, BonusYellowPotion, BonusRedPotion, BonusDoubleLetter, BonusTripleLetter }) {
        Board board;
        for (const FixedBonusCell& cell : kFixedBonusCells)
            board.bonus[cell.x][cell.y] = cell.kind;
        board.bonus[kCentreColumn][kCentreRow] = book;
        board.board[0][0] = codeOf('t'); // red corner
        board.board[1][1] = codeOf('a');
        board.board[0][1] = codeOf('c');
        board.board[kCentreColumn][kCentreRow] = codeOf('a');
        board.board[kCentreColumn - 1][kCentreRow] = codeOf('c');
        board.board[kCentreColumn + 1][kCentreRow] = codeOf('t');
        const auto& found = finder.solve(board);
        std::map<std::string, FoundWord> byWord;
        for (const FoundWord& f : found)
            byWord[std::string(f.word())] = f;
        ASSERT_EQ(byWord.count("cat"), 1u);
        // In the corner: (3 + 1 + 1) x 3. At the centre: the book's doing.
        const int64_t atCentre = book == BonusYellowPotion ? 10
            : book == BonusRedPotion                       ? 15
            : book == BonusDoubleLetter                    ? 6
            : book == BonusTripleLetter                    ? 7
                                                           : 5;
        EXPECT_EQ(byWord["cat"].score, std::max<int64_t>(15, atCentre)) << "book " << book;
        EXPECT_EQ(byWord["cat"].score, walkref::scoreOf(board, byWord["cat"].path.tiles()));
        // Of the equal chains through the red corner and a red book, the first in reading order.
        if (book == BonusRedPotion) {
            EXPECT_EQ(byWord["cat"].path.cells[0], cellIndexOf(0, 1));
        }
    }
}

TEST(WordFinderTest, EachWordCarriesItsIdAndFrequencyClass)
{
    const std::vector<std::uint8_t> classes { 5, 0, 9 };
    const Lexicon lexicon(testsupport::makeWordRecords({ "at", "ta", "tat" }), classes);
    Board board;
    board.board[2][2] = codeOf('t');
    board.board[3][2] = codeOf('a');
    WordFinder finder(lexicon);
    std::map<std::string, FoundWord> byWord;
    for (const FoundWord& f : finder.solve(board))
        byWord[std::string(f.word())] = f;
    ASSERT_EQ(byWord.size(), 3u);
    EXPECT_EQ(byWord["at"].wordId, 0u);
    EXPECT_EQ(byWord["ta"].wordId, 1u);
    EXPECT_EQ(byWord["tat"].wordId, 2u);
    EXPECT_EQ(byWord["at"].frequencyClass, 5);
    EXPECT_EQ(byWord["ta"].frequencyClass, 0);
    EXPECT_EQ(byWord["tat"].frequencyClass, 9);
}

TEST(WordFinderTest, AnEmptyCellReadsAsTheServerReadsIt)
{
    // A code outside 1 to 26 is a t worth 1 to the server, so it is to the finder.
    Board board;
    board.board[8][3] = codeOf('a');
    board.board[9][3] = 0;
    board.board[9][4] = 99;
    const Lexicon lexicon(testsupport::makeWordRecords({ "at", "att", "ta" }));
    WordFinder finder(lexicon);
    std::set<std::string> words;
    for (const FoundWord& f : finder.solve(board)) {
        words.insert(std::string(f.word()));
        EXPECT_EQ(f.score, walkref::scoreOf(board, f.path.tiles()));
    }
    EXPECT_EQ(words, asSet({ "at", "att", "ta" }));
}

TEST(WordFinderTest, OneFinderServesBoardAfterBoard)
{
    const Lexicon lexicon(testsupport::makeWordRecords({ "at", "ta" }));
    WordFinder finder(lexicon);
    Board first;
    first.board[0][0] = codeOf('a');
    first.board[1][0] = codeOf('t');
    EXPECT_EQ(finder.solve(first).size(), 2u);
    Board second; // all "a": nothing
    for (auto& column : second.board)
        for (int32_t& code : column)
            code = codeOf('a');
    EXPECT_TRUE(finder.solve(second).empty());
}

} // namespace
