// The typed protocol: every message's bytes as peers send them, parsing those
// bytes back, and what a parse refuses.
#include "messages.h"

#include <gtest/gtest.h>

#include <functional>

using namespace wire;

namespace {

// Parses the argument text of a composed line and composes the result again.
template <typename T>
std::string reparsed(const std::string& line, const std::function<std::string(const T&)>& compose)
{
    const Incoming in = readLine(line);
    std::optional<T> parsed = T::parse(in.args);
    return parsed ? compose(*parsed) : "<refused>";
}

} // namespace

TEST(Commands, NamesMatchExactlyAndAnythingElseIsUnknown)
{
    for (std::size_t i = 1; i < kCommandCount; ++i) {
        const auto command = static_cast<Command>(i);
        EXPECT_EQ(commandOf(commandName(command)), command) << commandName(command);
    }
    EXPECT_EQ(commandOf("CMD_Chat"), Command::Unknown);
    EXPECT_EQ(commandOf("CMD_"), Command::Unknown);
    EXPECT_EQ(commandOf("chat"), Command::Unknown);
    EXPECT_EQ(readLine("CMD_full+").command, Command::full);
    EXPECT_EQ(readLine("CMD_full").command, Command::Unknown); // a line without "+" has no command
    EXPECT_EQ(readLine("CMD_chat+Ann chats: a+b|clRed").args, "Ann chats: a+b|clRed");
}

TEST(ClientMessages, ComposeTheBytesEveryServerReads)
{
    EXPECT_EQ((LoginInfo { 2, "2.0.5", "Ann" }.compose()), "CMD_logininfo+2+2.0.5+Ann");
    EXPECT_EQ((ChatRequest { 2, "hi|clRed" }.compose()), "CMD_chat+2+hi|clRed");
    EXPECT_EQ(
        (ActionRequest { 3, " says: Good One!|clNavy" }.compose()), "CMD_action+3+ says: Good One!|clNavy");
    EXPECT_EQ((StartGame { 1, 3, "n", 2 }.compose()), "CMD_startgame+1+3+n+2+");
    EXPECT_EQ(
        (WordComplete { 1, { { 3, 7 }, { 4, 7 }, { 4, 8 } } }.compose()), "CMD_wordcomplete+1+3.7+4.7+4.8");
    EXPECT_EQ((KickRequest { 1, 7 }.compose()), "CMD_kickhim+1+7+");
    EXPECT_EQ((PlayASound { 2, "wave20" }.compose()), "CMD_playasound+2+wave20+");
}

TEST(ClientMessages, ParseWhatWindowsSendAndRefuseBrokenShapes)
{
    auto login = LoginInfo::parse("4+2.0.5+A+B");
    ASSERT_TRUE(login);
    EXPECT_EQ(login->number, 4);
    EXPECT_EQ(login->version, "2.0.5");
    EXPECT_EQ(login->name, "A+B"); // the name is the rest and may hold "+"

    auto start = StartGame::parse("1+3+Y+2+junk after the minutes");
    ASSERT_TRUE(start);
    EXPECT_EQ(start->rounds, 3);
    EXPECT_EQ(start->minutes, 2);
    EXPECT_FALSE(start->teamGame()); // only "y" asks for teams
    EXPECT_TRUE(StartGame::parse("1+3+y+2+")->teamGame());
    EXPECT_FALSE(StartGame::parse("1+3+n+2")); // the minutes need their closing "+"
    // The server takes a request only as the start dialog sends it.
    auto request = StartGame::parseRequest("1+9+y+5+");
    ASSERT_TRUE(request);
    EXPECT_EQ(request->rounds, 9);
    EXPECT_EQ(request->team, "y");
    EXPECT_EQ(request->minutes, 5);
    EXPECT_EQ(request->compose(), "CMD_startgame+1+9+y+5+");
    for (const char* bad : { "1+3+n+2+extra", "1+3+n+2++", "1+3+n+2", "0+3+n+2+" })
        EXPECT_FALSE(StartGame::parseRequest(bad)) << bad;

    auto word = WordComplete::parse("2+12.8+11.7");
    ASSERT_TRUE(word);
    ASSERT_EQ(word->tiles.size(), 2u);
    EXPECT_EQ(word->tiles[0].x, 12);
    EXPECT_EQ(word->tiles[1].y, 7);
    EXPECT_FALSE(WordComplete::parse("2+13.0")); // off the board
    EXPECT_FALSE(WordComplete::parse("2+1.1+x")); // not a cell
    std::string twelve = "1", thirteen;
    for (int i = 0; i < 12; ++i)
        twelve += "+0.0";
    thirteen = twelve + "+0.0";
    EXPECT_EQ(WordComplete::parse(twelve)->tiles.size(), 12u);
    EXPECT_FALSE(WordComplete::parse(thirteen));

    for (const char* bad : { "", "0+x", "10+x", "-1+x", "a+x", "1" })
        EXPECT_FALSE(ChatRequest::parse(bad)) << bad; // a sender must be a connection number
    EXPECT_EQ(ChatRequest::parse("3+")->text, "");
    EXPECT_FALSE(KickRequest::parse("1+7"));
    EXPECT_EQ(PlayASound::parse("2+wave3+anything")->sound, "wave3");
}

TEST(ServerMessages, ComposeTheBytesEveryWindowReads)
{
    EXPECT_EQ(SendLoginInfo { 5 }.compose(), "CMD_sendlogininfo+5");
    EXPECT_EQ(Full {}.compose(), "CMD_full+");
    EXPECT_EQ((PlayerInfo { 2, "Ann" }.composeNew()), "CMD_newplayerinfo+2+Ann");
    EXPECT_EQ((PlayerInfo { 1, "Bob" }.composeExisting()), "CMD_existingplayers+1+Bob");
    EXPECT_EQ(HaveWrongVersion { "Ann" }.compose(), "CMD_havewrongversion+Ann");
    EXPECT_EQ(WrongVersion {}.compose(), "CMD_wrongversion+");
    EXPECT_EQ((GameStats { 3, true, 2, std::nullopt }.compose()), "CMD_gamestats+3+y+2+");
    EXPECT_EQ((BoardTileLine { 4, { 5, 1, 20, 1, 2, 3, 4, 5, 6, 7, 8, 9, 26 } }.compose()),
        "CMD_boardtileline+4+5+1+20+1+2+3+4+5+6+7+8+9+26");
    EXPECT_EQ(SetBonusTiles {}.compose(), "CMD_setbonustiles+");
    EXPECT_EQ((PlayerDisconnected { 2, "Ann" }.compose()), "CMD_playerdisconnected+2+Ann");
    EXPECT_EQ(ChatLine { "Ann chats: hi|clRed" }.composeChat(), "CMD_chat+Ann chats: hi|clRed");
    EXPECT_EQ(ChatLine { "Ann waves|clNavy" }.composeAction(), "CMD_action+Ann waves|clNavy");
    EXPECT_EQ(NextRound { 2 }.compose(), "CMD_nextround+2");
    EXPECT_EQ(UpdateTime { 99 }.compose(), "CMD_updatetime+99");
    EXPECT_EQ((EndRound { { 12, 0, 7, 0 } }.compose()), "CMD_endround+12+0+7+0");
    EXPECT_EQ(Winner { "Ann and Cid" }.compose(), "CMD_winner+Ann and Cid");
    EXPECT_EQ((FoundWord { 1, "cat", 7, 27, 3, 27 }.compose()), "CMD_foundword+1+cat+7+27+3+27");
    EXPECT_EQ((BadWord { 2, 1, "xyz" }.compose()), "CMD_badword+2+1+xyz+");
}

TEST(ServerMessages, ParseWhatServersSendAndRefuseWhatNoServerCould)
{
    auto found = FoundWord::parse("2+cat+5+17+4+9");
    ASSERT_TRUE(found);
    EXPECT_EQ(found->seat, 2);
    EXPECT_EQ(found->word, "cat");
    EXPECT_EQ(found->wordScore, 5);
    EXPECT_EQ(found->seatScore, 17);
    EXPECT_EQ(found->partner, 4);
    EXPECT_EQ(found->partnerScore, 9);
    EXPECT_FALSE(FoundWord::parse("5+cat+5+17+4+9")); // a spy never finds a word
    EXPECT_FALSE(FoundWord::parse("2+cat+5+17+4+"));

    auto bad = BadWord::parse("2+1+xyz+");
    ASSERT_TRUE(bad);
    EXPECT_EQ(bad->reason, BadWord::NotAWord);
    EXPECT_EQ(bad->word, "xyz");

    EXPECT_EQ(
        BoardTileLine::parse("8+1+2+3+4+5+6+7+8+9+10+11+12+0+99+junk")->codes[12], 0); // extra codes ignored
    EXPECT_FALSE(BoardTileLine::parse("9+1+1+1+1+1+1+1+1+1+1+1+1+1")); // no row 9
    EXPECT_FALSE(BoardTileLine::parse("0+1+1+1+1+1+1+1+1+1+1+1+1")); // twelve codes
    EXPECT_FALSE(BoardTileLine::parse("0+27+1+1+1+1+1+1+1+1+1+1+1+1")); // no tile 27

    EXPECT_EQ((EndRound::parse("12+0+7+0")->scores), (std::array<int64_t, 4> { 12, 0, 7, 0 }));
    EXPECT_FALSE(EndRound::parse("12+0+7"));
    EXPECT_FALSE(EndRound::parse("12+0+7+0+1"));

    EXPECT_TRUE(GameStats::parse("3+y+2+")->teamGame);
    EXPECT_FALSE(GameStats::parse("3+y+2+")->now);
    auto late = GameStats::parse("3+n+2+2+75+10+0+-3+87480+");
    ASSERT_TRUE(late && late->now);
    EXPECT_EQ(late->now->round, 2);
    EXPECT_EQ(late->now->secondsLeft, 75);
    EXPECT_EQ(late->now->scores, (std::array<int64_t, 4> { 10, 0, -3, 87480 }));
    EXPECT_EQ(late->compose(), "CMD_gamestats+3+n+2+2+75+10+0+-3+87480+");
    EXPECT_FALSE(GameStats::parse("3+n+2+2+75+10+0+")->now); // cut short: only the three fields count
    EXPECT_FALSE(GameStats::parse("3+n+2+")->teamGame);
    EXPECT_FALSE(GameStats::parse(std::string(1000, '9') + "+n+2+")); // a round count of 1,000 digits
    EXPECT_FALSE(NextRound::parse("-1"));
    EXPECT_FALSE(UpdateTime::parse("2147483648"));
    EXPECT_FALSE(SendLoginInfo::parse("0"));
    EXPECT_EQ(PlayerInfo::parse("6+Ann+Bob")->name, "Ann+Bob");
}

TEST(Messages, EveryMessageComesBackThroughItsOwnParse)
{
    using S = std::string;
    EXPECT_EQ(
        reparsed<LoginInfo>("CMD_logininfo+2+2.0.4+J+o", &LoginInfo::compose), "CMD_logininfo+2+2.0.4+J+o");
    EXPECT_EQ(reparsed<StartGame>("CMD_startgame+1+9+y+5+", &StartGame::compose), "CMD_startgame+1+9+y+5+");
    EXPECT_EQ(reparsed<WordComplete>("CMD_wordcomplete+3+0.0+1.1+0.0", &WordComplete::compose),
        "CMD_wordcomplete+3+0.0+1.1+0.0");
    EXPECT_EQ(reparsed<FoundWord>("CMD_foundword+4+quiz+22+100+2+100", &FoundWord::compose),
        "CMD_foundword+4+quiz+22+100+2+100");
    EXPECT_EQ(reparsed<BadWord>("CMD_badword+1+3+cat+", &BadWord::compose), S("CMD_badword+1+3+cat+"));
    EXPECT_EQ(reparsed<GameStats>("CMD_gamestats+3+n+1+", &GameStats::compose), S("CMD_gamestats+3+n+1+"));
    EXPECT_EQ(
        reparsed<EndRound>("CMD_endround+-1+0+0+87480", &EndRound::compose), S("CMD_endround+-1+0+0+87480"));
}
