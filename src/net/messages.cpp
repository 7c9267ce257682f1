// The typed protocol: command names, and compose and parse for every message.
#include "messages.h"

#include <algorithm>

namespace wire {

namespace {

    constexpr std::array<std::string_view, kCommandCount> kNames {
        "",
        "CMD_logininfo",
        "CMD_chat",
        "CMD_action",
        "CMD_startgame",
        "CMD_wordcomplete",
        "CMD_kickhim",
        "CMD_playasound",
        "CMD_useletter",
        "CMD_sendlogininfo",
        "CMD_full",
        "CMD_newplayerinfo",
        "CMD_existingplayers",
        "CMD_havewrongversion",
        "CMD_wrongversion",
        "CMD_gamestats",
        "CMD_boardtileline",
        "CMD_setbonustiles",
        "CMD_playerdisconnected",
        "CMD_nextround",
        "CMD_updatetime",
        "CMD_endround",
        "CMD_winner",
        "CMD_foundword",
        "CMD_badword",
    };

    // A board row names 13 cells; a longer list is read only this far, so a
    // hostile row cannot make a receiver collect thousands of fields.
    constexpr std::size_t kMaxRowItems = 64;

    bool isConnectionNumber(int32_t n) { return n >= 1 && n <= kSlots; }

    std::string decimal(int64_t value) { return std::to_string(value); }

    // The first field as a connection number.
    bool readSender(FieldReader& fields, int32_t& n) { return fields.nextInt(n) && isConnectionNumber(n); }

} // namespace

std::string_view commandName(Command command)
{
    const auto index = static_cast<std::size_t>(command);
    return index < kNames.size() ? kNames[index] : std::string_view();
}

Command commandOf(std::string_view name)
{
    if (name.size() <= 4 || name.substr(0, 4) != "CMD_")
        return Command::Unknown;
    const auto it = std::find(kNames.begin() + 1, kNames.end(), name);
    return it == kNames.end() ? Command::Unknown : static_cast<Command>(it - kNames.begin());
}

Incoming readLine(std::string_view line)
{
    const SplitLine split = splitCommand(line);
    return Incoming { commandOf(split.command), split.args };
}

// ---------------------------------------------------------------------------
// From a window to the server.

std::optional<LoginInfo> LoginInfo::parse(std::string_view args)
{
    FieldReader fields(args);
    LoginInfo message;
    std::string_view version;
    if (!readSender(fields, message.number) || !fields.next(version))
        return std::nullopt;
    message.version = version;
    message.name = fields.rest();
    return message;
}

std::string LoginInfo::compose() const
{
    return "CMD_logininfo+" + decimal(number) + "+" + version + "+" + name;
}

std::optional<ChatRequest> ChatRequest::parse(std::string_view args)
{
    FieldReader fields(args);
    ChatRequest message;
    if (!readSender(fields, message.number))
        return std::nullopt;
    message.text = fields.rest();
    return message;
}

std::string ChatRequest::compose() const { return "CMD_chat+" + decimal(number) + "+" + text; }

std::optional<ActionRequest> ActionRequest::parse(std::string_view args)
{
    FieldReader fields(args);
    ActionRequest message;
    if (!readSender(fields, message.number))
        return std::nullopt;
    message.text = fields.rest();
    return message;
}

std::string ActionRequest::compose() const { return "CMD_action+" + decimal(number) + "+" + text; }

namespace {

    std::optional<StartGame> readStartGame(std::string_view args, bool whole)
    {
        FieldReader fields(args);
        StartGame message;
        std::string_view team;
        if (!readSender(fields, message.number) || !fields.nextInt(message.rounds) || !fields.next(team)
            || !fields.nextInt(message.minutes) || (whole && !fields.rest().empty()))
            return std::nullopt;
        message.team = team;
        return message;
    }

} // namespace

std::optional<StartGame> StartGame::parse(std::string_view args) { return readStartGame(args, false); }

std::optional<StartGame> StartGame::parseRequest(std::string_view args) { return readStartGame(args, true); }

std::string StartGame::compose() const
{
    return "CMD_startgame+" + decimal(number) + "+" + decimal(rounds) + "+" + team + "+" + decimal(minutes)
        + "+";
}

std::optional<WordComplete> WordComplete::parse(std::string_view args)
{
    FieldReader fields(args);
    WordComplete message;
    if (!readSender(fields, message.number))
        return std::nullopt;
    auto items = fields.list(kMaxWordTiles);
    if (!items)
        return std::nullopt;
    message.tiles.reserve(items->size());
    for (std::string_view item : *items) {
        TileRef tile;
        if (!parseTileRef(item, tile))
            return std::nullopt;
        message.tiles.push_back(tile);
    }
    return message;
}

std::string WordComplete::compose() const
{
    std::string text = "CMD_wordcomplete+" + decimal(number);
    for (const TileRef& tile : tiles)
        text += "+" + decimal(tile.x) + "." + decimal(tile.y);
    return text;
}

std::optional<KickRequest> KickRequest::parse(std::string_view args)
{
    FieldReader fields(args);
    KickRequest message;
    if (!readSender(fields, message.number) || !fields.nextInt(message.target))
        return std::nullopt;
    return message;
}

std::string KickRequest::compose() const
{
    return "CMD_kickhim+" + decimal(number) + "+" + decimal(target) + "+";
}

std::optional<PlayASound> PlayASound::parse(std::string_view args)
{
    FieldReader fields(args);
    PlayASound message;
    std::string_view sound;
    if (!readSender(fields, message.number) || !fields.next(sound))
        return std::nullopt;
    message.sound = sound;
    return message;
}

std::string PlayASound::compose() const { return "CMD_playasound+" + decimal(number) + "+" + sound + "+"; }

// ---------------------------------------------------------------------------
// From the server to the windows.

std::optional<SendLoginInfo> SendLoginInfo::parse(std::string_view args)
{
    std::optional<int32_t> n = strictToInt(args);
    if (!n || !isConnectionNumber(*n))
        return std::nullopt;
    return SendLoginInfo { *n };
}

std::string SendLoginInfo::compose() const { return "CMD_sendlogininfo+" + decimal(number); }

std::string Full::compose() const { return "CMD_full+"; }

std::optional<PlayerInfo> PlayerInfo::parse(std::string_view args)
{
    FieldReader fields(args);
    PlayerInfo message;
    if (!readSender(fields, message.number))
        return std::nullopt;
    message.name = fields.rest();
    return message;
}

std::string PlayerInfo::composeNew() const { return "CMD_newplayerinfo+" + decimal(number) + "+" + name; }

std::string PlayerInfo::composeExisting() const
{
    return "CMD_existingplayers+" + decimal(number) + "+" + name;
}

std::optional<HaveWrongVersion> HaveWrongVersion::parse(std::string_view args)
{
    return HaveWrongVersion { std::string(args) };
}

std::string HaveWrongVersion::compose() const { return "CMD_havewrongversion+" + name; }

std::string WrongVersion::compose() const { return "CMD_wrongversion+"; }

std::optional<GameStats> GameStats::parse(std::string_view args)
{
    FieldReader fields(args);
    GameStats message;
    std::string_view team;
    if (!fields.nextInt(message.rounds) || !fields.next(team) || !fields.nextInt(message.minutes))
        return std::nullopt;
    message.teamGame = team == "y";
    // The round in play follows from our own server; anything else after the
    // minutes is ignored.
    GameStats::RoundNow now;
    FieldReader more(fields.rest());
    bool complete = more.nextInt(now.round) && now.round >= 0 && more.nextInt(now.secondsLeft);
    for (int64_t& score : now.scores)
        complete = complete && more.nextInt64(score);
    if (complete && more.rest().empty())
        message.now = now;
    return message;
}

std::string GameStats::compose() const
{
    std::string text
        = "CMD_gamestats+" + decimal(rounds) + (teamGame ? "+y+" : "+n+") + decimal(minutes) + "+";
    if (now) {
        text += decimal(now->round) + "+" + decimal(now->secondsLeft) + "+";
        for (int64_t score : now->scores)
            text += decimal(score) + "+";
    }
    return text;
}

std::optional<BoardTileLine> BoardTileLine::parse(std::string_view args)
{
    FieldReader fields(args);
    BoardTileLine message;
    if (!fields.nextInt(message.row) || message.row < 0 || message.row >= kBoardRows)
        return std::nullopt;
    auto items = fields.list(kMaxRowItems);
    // Codes past the thirteenth are ignored, as every receiver always has.
    if (!items || items->size() < std::size_t(kBoardColumns))
        return std::nullopt;
    for (int x = 0; x < kBoardColumns; ++x) {
        std::optional<int32_t> code = strictToInt((*items)[std::size_t(x)]);
        // Only empty (0) and the letters have tiles.
        if (!code || (*code != 0 && !isLetterCode(*code)))
            return std::nullopt;
        message.codes[std::size_t(x)] = *code;
    }
    return message;
}

std::string BoardTileLine::compose() const
{
    std::string text = "CMD_boardtileline+" + decimal(row);
    for (int32_t code : codes)
        text += "+" + decimal(code);
    return text;
}

std::string SetBonusTiles::compose() const { return "CMD_setbonustiles+"; }

std::optional<PlayerDisconnected> PlayerDisconnected::parse(std::string_view args)
{
    FieldReader fields(args);
    PlayerDisconnected message;
    if (!readSender(fields, message.number))
        return std::nullopt;
    message.name = fields.rest();
    return message;
}

std::string PlayerDisconnected::compose() const
{
    return "CMD_playerdisconnected+" + decimal(number) + "+" + name;
}

std::optional<ChatLine> ChatLine::parse(std::string_view args) { return ChatLine { std::string(args) }; }

std::string ChatLine::composeChat() const { return "CMD_chat+" + line; }

std::string ChatLine::composeAction() const { return "CMD_action+" + line; }

std::optional<NextRound> NextRound::parse(std::string_view args)
{
    std::optional<int32_t> round = strictToInt(args);
    if (!round || *round < 0)
        return std::nullopt;
    return NextRound { *round };
}

std::string NextRound::compose() const { return "CMD_nextround+" + decimal(round); }

std::optional<UpdateTime> UpdateTime::parse(std::string_view args)
{
    std::optional<int32_t> seconds = strictToInt(args);
    if (!seconds)
        return std::nullopt;
    return UpdateTime { *seconds };
}

std::string UpdateTime::compose() const { return "CMD_updatetime+" + decimal(seconds); }

std::optional<EndRound> EndRound::parse(std::string_view args)
{
    FieldReader fields(args);
    auto items = fields.list(kSeats);
    if (!items || items->size() != std::size_t(kSeats))
        return std::nullopt;
    EndRound message;
    for (std::size_t i = 0; i < items->size(); ++i) {
        std::optional<int64_t> score = strictToInt64((*items)[i]);
        if (!score)
            return std::nullopt;
        message.scores[i] = *score;
    }
    return message;
}

std::string EndRound::compose() const
{
    std::string text = "CMD_endround";
    for (int64_t score : scores)
        text += "+" + decimal(score);
    return text;
}

std::optional<Winner> Winner::parse(std::string_view args) { return Winner { std::string(args) }; }

std::string Winner::compose() const { return "CMD_winner+" + text; }

std::optional<FoundWord> FoundWord::parse(std::string_view args)
{
    FieldReader fields(args);
    FoundWord message;
    std::string_view word;
    if (!fields.nextInt(message.seat) || !isSeat(message.seat) || !fields.next(word)
        || !fields.nextInt64(message.wordScore) || !fields.nextInt64(message.seatScore)
        || !fields.nextInt(message.partner) || !isSeat(message.partner))
        return std::nullopt;
    std::optional<int64_t> partnerScore = strictToInt64(fields.rest());
    if (!partnerScore)
        return std::nullopt;
    message.word = word;
    message.partnerScore = *partnerScore;
    return message;
}

std::string FoundWord::compose() const
{
    return "CMD_foundword+" + decimal(seat) + "+" + word + "+" + decimal(wordScore) + "+" + decimal(seatScore)
        + "+" + decimal(partner) + "+" + decimal(partnerScore);
}

std::optional<BadWord> BadWord::parse(std::string_view args)
{
    FieldReader fields(args);
    BadWord message;
    std::string_view word;
    if (!fields.nextInt(message.reason) || !fields.nextInt(message.seat) || !isSeat(message.seat)
        || !fields.next(word))
        return std::nullopt;
    message.word = word;
    return message;
}

std::string BadWord::compose() const
{
    return "CMD_badword+" + decimal(reason) + "+" + decimal(seat) + "+" + word + "+";
}

} // namespace wire
