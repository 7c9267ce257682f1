// The typed protocol against any line a peer can send: whatever a parse
// accepts composes into a line of the same command that parses to the same
// message, and composing never writes a byte that would cut the message.
#include "fuzz_check.h"
#include "fuzz_input.h"

#include "messages.h"

#include <string>

namespace {

using namespace wire;

// Composing adds no byte that would cut a message: what was not in the
// argument text is not in the line.
void checkComposed(std::string_view args, const std::string& line, Command command)
{
    if (args.find_first_of("\xFF\r\n") == std::string_view::npos)
        FUZZ_CHECK(line.find_first_of("\xFF\r\n") == std::string::npos);
    FUZZ_CHECK(readLine(line).command == command);
}

// Parse, compose, parse again: the second parse must give what composes to
// the same bytes.
template <typename T, typename Compose>
void roundTrip(std::string_view args, Command command, Compose compose)
{
    const std::optional<T> first = T::parse(args);
    if (!first)
        return;
    const std::string line = compose(*first);
    checkComposed(args, line, command);
    const std::optional<T> second = T::parse(readLine(line).args);
    FUZZ_CHECK(second.has_value());
    FUZZ_CHECK(compose(*second) == line);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size)
{
    FuzzInput input(data, size);
    const std::string_view args = input.all();
    // Every message's parse sees the same hostile argument text.
    roundTrip<LoginInfo>(args, Command::logininfo, [](const LoginInfo& m) { return m.compose(); });
    roundTrip<ChatRequest>(args, Command::chat, [](const ChatRequest& m) { return m.compose(); });
    roundTrip<ActionRequest>(args, Command::action, [](const ActionRequest& m) { return m.compose(); });
    roundTrip<StartGame>(args, Command::startgame, [](const StartGame& m) { return m.compose(); });
    roundTrip<WordComplete>(args, Command::wordcomplete, [](const WordComplete& m) {
        FUZZ_CHECK(!m.tiles.empty() && m.tiles.size() <= std::size_t(kMaxWordTiles));
        return m.compose();
    });
    roundTrip<KickRequest>(args, Command::kickhim, [](const KickRequest& m) { return m.compose(); });
    roundTrip<PlayASound>(args, Command::playasound, [](const PlayASound& m) { return m.compose(); });
    roundTrip<SendLoginInfo>(args, Command::sendlogininfo, [](const SendLoginInfo& m) {
        FUZZ_CHECK(m.number >= 1 && m.number <= kSlots);
        return m.compose();
    });
    roundTrip<PlayerInfo>(args, Command::newplayerinfo, [](const PlayerInfo& m) { return m.composeNew(); });
    roundTrip<PlayerInfo>(
        args, Command::existingplayers, [](const PlayerInfo& m) { return m.composeExisting(); });
    roundTrip<HaveWrongVersion>(
        args, Command::havewrongversion, [](const HaveWrongVersion& m) { return m.compose(); });
    roundTrip<GameStats>(args, Command::gamestats, [](const GameStats& m) { return m.compose(); });
    roundTrip<BoardTileLine>(args, Command::boardtileline, [](const BoardTileLine& m) {
        FUZZ_CHECK(m.row >= 0 && m.row < kBoardRows);
        for (int32_t code : m.codes)
            FUZZ_CHECK(code == 0 || isLetterCode(code));
        return m.compose();
    });
    roundTrip<PlayerDisconnected>(
        args, Command::playerdisconnected, [](const PlayerDisconnected& m) { return m.compose(); });
    roundTrip<ChatLine>(args, Command::chat, [](const ChatLine& m) { return m.composeChat(); });
    roundTrip<ChatLine>(args, Command::action, [](const ChatLine& m) { return m.composeAction(); });
    roundTrip<NextRound>(args, Command::nextround, [](const NextRound& m) { return m.compose(); });
    roundTrip<UpdateTime>(args, Command::updatetime, [](const UpdateTime& m) { return m.compose(); });
    roundTrip<EndRound>(args, Command::endround, [](const EndRound& m) { return m.compose(); });
    roundTrip<Winner>(args, Command::winner, [](const Winner& m) { return m.compose(); });
    roundTrip<FoundWord>(args, Command::foundword, [](const FoundWord& m) {
        FUZZ_CHECK(isSeat(m.seat) && isSeat(m.partner));
        return m.compose();
    });
    roundTrip<BadWord>(args, Command::badword, [](const BadWord& m) { return m.compose(); });
    return 0;
}
