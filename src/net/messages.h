// The typed protocol: one enum of commands and, for each message, a struct
// with a compose (the bytes without the end byte) and a parse of the argument
// text (everything after the command's "+") that gives the struct or nothing.
// Text fields hold the bytes as they travel; text_codec.h turns them into
// characters. Parsing checks the message's shape and the protocol's ranges
// (connection numbers, rows, letter codes, board cells); what a value means
// for the game is its receiver's business.
#pragma once

#include "protocol.h"
#include "word_scoring.h"

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace wire {

enum class Command : uint8_t {
    Unknown,
    // Sent by windows; the server also knows "CMD_useletter" and ignores it.
    logininfo,
    chat,
    action,
    startgame,
    wordcomplete,
    kickhim,
    playasound,
    useletter,
    // Sent by the server ("CMD_chat", "CMD_action", "CMD_startgame" and
    // "CMD_playasound" travel both ways with different fields).
    sendlogininfo,
    full,
    newplayerinfo,
    existingplayers,
    havewrongversion,
    wrongversion,
    gamestats,
    boardtileline,
    setbonustiles,
    playerdisconnected,
    nextround,
    updatetime,
    endround,
    winner,
    foundword,
    badword,
};
constexpr std::size_t kCommandCount = static_cast<std::size_t>(Command::badword) + 1;

// "CMD_" and the command's name; empty for Unknown.
std::string_view commandName(Command command);
// Exact, case-sensitive match; Unknown for anything else.
Command commandOf(std::string_view name);

// A received line split at its first "+": the command and the argument text.
// A line without "+" has no command.
struct Incoming {
    Command command = Command::Unknown;
    std::string_view args;
};
Incoming readLine(std::string_view line);

// ---------------------------------------------------------------------------
// From a window to the server. Every one names its sender first.

struct LoginInfo { // CMD_logininfo+n+version+name (the name may hold "+")
    int32_t number = 0;
    std::string version;
    std::string name;
    static std::optional<LoginInfo> parse(std::string_view args);
    std::string compose() const;
};

struct ChatRequest { // CMD_chat+n+text|colour
    int32_t number = 0;
    std::string text;
    static std::optional<ChatRequest> parse(std::string_view args);
    std::string compose() const;
};

struct ActionRequest { // CMD_action+n+text|colour
    int32_t number = 0;
    std::string text;
    static std::optional<ActionRequest> parse(std::string_view args);
    std::string compose() const;
};

// CMD_startgame+n+rounds+team+minutes+ from the host, relayed to everybody as
// it came. Only "y" asks for teams; anything after the minutes is ignored.
struct StartGame {
    int32_t number = 0;
    int32_t rounds = 0;
    std::string team;
    int32_t minutes = 0;
    bool teamGame() const { return team == "y"; }
    static std::optional<StartGame> parse(std::string_view args);
    // The request as the server takes it: nothing may follow the minutes.
    static std::optional<StartGame> parseRequest(std::string_view args);
    std::string compose() const;
};

struct WordComplete { // CMD_wordcomplete+n+x.y+x.y... (1 to 12 cells on the board)
    int32_t number = 0;
    std::vector<TileRef> tiles;
    static std::optional<WordComplete> parse(std::string_view args);
    std::string compose() const;
};

struct KickRequest { // CMD_kickhim+n+target+
    int32_t number = 0;
    int32_t target = 0;
    static std::optional<KickRequest> parse(std::string_view args);
    std::string compose() const;
};

// CMD_playasound+n+sound+ both ways: a seat asks, the server relays it to all.
struct PlayASound {
    int32_t number = 0;
    std::string sound;
    static std::optional<PlayASound> parse(std::string_view args);
    std::string compose() const;
};

// ---------------------------------------------------------------------------
// From the server to the windows.

struct SendLoginInfo { // CMD_sendlogininfo+n
    int32_t number = 0;
    static std::optional<SendLoginInfo> parse(std::string_view args);
    std::string compose() const;
};

struct Full { // CMD_full+
    std::string compose() const;
};

// CMD_newplayerinfo+n+name to all at a login, CMD_existingplayers+n+name to
// the newcomer for each other participant.
struct PlayerInfo {
    int32_t number = 0;
    std::string name;
    static std::optional<PlayerInfo> parse(std::string_view args);
    std::string composeNew() const;
    std::string composeExisting() const;
};

struct HaveWrongVersion { // CMD_havewrongversion+name
    std::string name;
    static std::optional<HaveWrongVersion> parse(std::string_view args);
    std::string compose() const;
};

struct WrongVersion { // CMD_wrongversion+
    std::string compose() const;
};

// CMD_gamestats+rounds+y|n+minutes+ to a latecomer while a round runs. Our
// server adds the round in play, the seconds left and the four game scores
// (+round+seconds+s1+s2+s3+s4+): windows that know only three fields read
// them and ignore the rest, as they always ignored text after the minutes.
struct GameStats {
    struct RoundNow {
        int32_t round = 0;
        int32_t secondsLeft = 0;
        std::array<int64_t, kSeats> scores {};
    };
    int32_t rounds = 0;
    bool teamGame = false;
    int32_t minutes = 0;
    std::optional<RoundNow> now;
    static std::optional<GameStats> parse(std::string_view args);
    std::string compose() const;
};

struct BoardTileLine { // CMD_boardtileline+row+13 letter codes
    int32_t row = 0;
    std::array<int32_t, kBoardColumns> codes {};
    static std::optional<BoardTileLine> parse(std::string_view args);
    std::string compose() const;
};

struct SetBonusTiles { // CMD_setbonustiles+
    std::string compose() const;
};

struct PlayerDisconnected { // CMD_playerdisconnected+n+name
    int32_t number = 0;
    std::string name;
    static std::optional<PlayerDisconnected> parse(std::string_view args);
    std::string compose() const;
};

// CMD_chat+line and CMD_action+line as the server relays them: one field,
// "Name chats: text|colour" or "Name text|colour".
struct ChatLine {
    std::string line;
    static std::optional<ChatLine> parse(std::string_view args);
    std::string composeChat() const;
    std::string composeAction() const;
};

struct NextRound { // CMD_nextround+round
    int32_t round = 0;
    static std::optional<NextRound> parse(std::string_view args);
    std::string compose() const;
};

struct UpdateTime { // CMD_updatetime+seconds
    int32_t seconds = 0;
    static std::optional<UpdateTime> parse(std::string_view args);
    std::string compose() const;
};

struct EndRound { // CMD_endround+s1+s2+s3+s4: round scores of seats 1 to 4
    std::array<int64_t, kSeats> scores {};
    static std::optional<EndRound> parse(std::string_view args);
    std::string compose() const;
};

struct Winner { // CMD_winner+text: one name, or two joined by " and "
    std::string text;
    static std::optional<Winner> parse(std::string_view args);
    std::string compose() const;
};

// CMD_foundword+seat+word+wordscore+seatscore+partner+partnerscore
struct FoundWord {
    int32_t seat = 0;
    std::string word;
    int64_t wordScore = 0;
    int64_t seatScore = 0;
    int32_t partner = 0;
    int64_t partnerScore = 0;
    static std::optional<FoundWord> parse(std::string_view args);
    std::string compose() const;
};

// CMD_badword+reason+seat+word+ to the sender only.
struct BadWord {
    enum Reason : int32_t { AlreadyFound = 1, NotAWord = 2 };
    int32_t reason = 0;
    int32_t seat = 0;
    std::string word;
    static std::optional<BadWord> parse(std::string_view args);
    std::string compose() const;
};

} // namespace wire
