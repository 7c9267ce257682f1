// Every setting the game keeps in section "Lexmire" of the settings file, once:
// its key as other copies of the program spell it, its type and its default.
// A new setting is one enumerator here and one line in the table.
#pragma once

#include <QString>

#include <array>
#include <optional>

namespace settings {

// The program's own section of the shared settings file.
inline const QString kSection = QStringLiteral("Lexmire");

enum class SettingKey {
    Top,
    Left,
    Width,
    Height,
    Textsize,
    Textcolor,
    Actioncolor,
    Clickletters,
    Rounds,
    Timeperround,
    Playsounds,
    Turnsound,
    Phrase1,
    Phrase2,
    Phrase3,
    Phrase4,
    Phrase5,
    Phrase6,
    Phrase7,
    Phrase8,
    Phrase9,
    Tiles,
    Firsttime,
    ChatterSounds,
    PlayerName,
    RecentAddress1,
    RecentAddress2,
    RecentAddress3,
    RecentAddress4,
    RecentAddress5,
    RecentAddress6,
    RecentAddress7,
    RecentAddress8,
    RecentAddress9,
    RecentAddress10,
    AnnounceGame,
    WordPath,
    TypeWords,
    BonusLabels,
    GrowWithWindow,
    RoundReview,
    PlayComputer,
    ComputerLevel,
    ComputerCount,
};

enum class SettingKind {
    Number, // a lenient integer; text that is no number reads as the default
    Text, // as stored
    Colour, // a colour name or number, see settings_values.h
    Switch, // one of two texts
};

// How a switch reads text that is neither of its two texts.
enum class SwitchReading {
    OnlyOnText, // on only for its exact on-text
    AllButOffText, // on for anything but its exact off-text
};

struct SettingSpec {
    SettingKey key;
    const char* name; // the key in the file, spelt exactly as every copy of the program spells it
    SettingKind kind;
    const char* defaultText; // what a missing key reads as, in its stored form
    // Switches only: the texts written for on and off, and how other text reads.
    const char* onText = nullptr;
    const char* offText = nullptr;
    SwitchReading reading = SwitchReading::OnlyOnText;
    // A setting whose value is this one's default (the action colour follows the text colour).
    std::optional<SettingKey> defaultFrom = std::nullopt;
};

constexpr SettingSpec numberSetting(SettingKey key, const char* name, const char* defaultText)
{
    return { key, name, SettingKind::Number, defaultText };
}
constexpr SettingSpec textSetting(SettingKey key, const char* name, const char* defaultText = "")
{
    return { key, name, SettingKind::Text, defaultText };
}
constexpr SettingSpec colourSetting(SettingKey key, const char* name, const char* defaultText)
{
    return { key, name, SettingKind::Colour, defaultText };
}
constexpr SettingSpec followingSetting(SettingKey key, const char* name, SettingKind kind, SettingKey leader)
{
    return { key, name, kind, "", nullptr, nullptr, SwitchReading::OnlyOnText, leader };
}
constexpr SettingSpec switchSetting(
    SettingKey key, const char* name, bool on, const char* onText, const char* offText, SwitchReading reading)
{
    return { key, name, SettingKind::Switch, on ? onText : offText, onText, offText, reading };
}

inline constexpr std::array kSettings {
    numberSetting(SettingKey::Top, "Top", "3"),
    numberSetting(SettingKey::Left, "Left", "3"),
    numberSetting(SettingKey::Width, "Width", "798"),
    numberSetting(SettingKey::Height, "Height", "535"),
    numberSetting(SettingKey::Textsize, "Textsize", "8"),
    colourSetting(SettingKey::Textcolor, "Textcolor", "clblack"),
    followingSetting(SettingKey::Actioncolor, "Actioncolor", SettingKind::Colour, SettingKey::Textcolor),
    // On: words are built by dragging over the tiles; off: by clicking tile after tile.
    switchSetting(SettingKey::Clickletters, "Clickletters", true, "1", "0", SwitchReading::OnlyOnText),
    // Shown in the start dialog as stored, so kept as text.
    textSetting(SettingKey::Rounds, "Rounds", "3"),
    textSetting(SettingKey::Timeperround, "Timeperround", "2"),
    switchSetting(SettingKey::Playsounds, "Playsounds", true, "true", "false", SwitchReading::AllButOffText),
    // On: the new turn sound; off: the classic one.
    switchSetting(SettingKey::Turnsound, "Turnsound", false, "1", "0", SwitchReading::OnlyOnText),
    // Empty: the built-in phrase of that button.
    textSetting(SettingKey::Phrase1, "Phrase1"),
    textSetting(SettingKey::Phrase2, "Phrase2"),
    textSetting(SettingKey::Phrase3, "Phrase3"),
    textSetting(SettingKey::Phrase4, "Phrase4"),
    textSetting(SettingKey::Phrase5, "Phrase5"),
    textSetting(SettingKey::Phrase6, "Phrase6"),
    textSetting(SettingKey::Phrase7, "Phrase7"),
    textSetting(SettingKey::Phrase8, "Phrase8"),
    textSetting(SettingKey::Phrase9, "Phrase9"),
    // The tile set's name; empty: the classic tiles.
    textSetting(SettingKey::Tiles, "Tiles"),
    // On once the first-run notice was shown.
    switchSetting(SettingKey::Firsttime, "Firsttime", false, "no", "yes", SwitchReading::OnlyOnText),
    switchSetting(
        SettingKey::ChatterSounds, "ChatterSounds", true, "true", "false", SwitchReading::AllButOffText),
    // The name offered when hosting or joining from the window; empty until one was used.
    textSetting(SettingKey::PlayerName, "PlayerName"),
    // The addresses last joined, most recent first; empty: no address in that place.
    textSetting(SettingKey::RecentAddress1, "RecentAddress1"),
    textSetting(SettingKey::RecentAddress2, "RecentAddress2"),
    textSetting(SettingKey::RecentAddress3, "RecentAddress3"),
    textSetting(SettingKey::RecentAddress4, "RecentAddress4"),
    textSetting(SettingKey::RecentAddress5, "RecentAddress5"),
    textSetting(SettingKey::RecentAddress6, "RecentAddress6"),
    textSetting(SettingKey::RecentAddress7, "RecentAddress7"),
    textSetting(SettingKey::RecentAddress8, "RecentAddress8"),
    textSetting(SettingKey::RecentAddress9, "RecentAddress9"),
    textSetting(SettingKey::RecentAddress10, "RecentAddress10"),
    // On: a game hosted from this window is made known on the local network.
    switchSetting(
        SettingKey::AnnounceGame, "AnnounceGame", true, "true", "false", SwitchReading::AllButOffText),
    // On: the chosen tiles are lit in order and the server's answer flashes on them.
    switchSetting(SettingKey::WordPath, "WordPath", true, "true", "false", SwitchReading::AllButOffText),
    // On: letters typed while the board has the keyboard build the word.
    switchSetting(SettingKey::TypeWords, "TypeWords", true, "true", "false", SwitchReading::AllButOffText),
    // On: each bonus cell says what it gives ("2×W") beside its picture.
    switchSetting(
        SettingKey::BonusLabels, "BonusLabels", true, "true", "false", SwitchReading::AllButOffText),
    // On: a larger window draws the board and the panels larger.
    switchSetting(
        SettingKey::GrowWithWindow, "GrowWithWindow", true, "true", "false", SwitchReading::AllButOffText),
    // On: the end-of-round panel offers the review of the round's words.
    switchSetting(
        SettingKey::RoundReview, "RoundReview", true, "true", "false", SwitchReading::AllButOffText),
    // On: a solo game seats computer players before it starts.
    switchSetting(
        SettingKey::PlayComputer, "PlayComputer", false, "true", "false", SwitchReading::OnlyOnText),
    // Their level, 1 (Beginner) to 5 (Master), and how many sit down, 1 to 3.
    numberSetting(SettingKey::ComputerLevel, "ComputerLevel", "2"),
    numberSetting(SettingKey::ComputerCount, "ComputerCount", "1"),
};

constexpr int kSettingCount = int(kSettings.size());

constexpr bool tableFollowsTheEnum()
{
    for (int i = 0; i < kSettingCount; ++i)
        if (int(kSettings[std::size_t(i)].key) != i)
            return false;
    return true;
}
static_assert(tableFollowsTheEnum(), "kSettings lists the keys in the order of SettingKey");

constexpr const SettingSpec& specOf(SettingKey key) { return kSettings[std::size_t(key)]; }

// The n-th of a numbered run of keys (Phrase1..Phrase9): nullopt when n is
// outside 1..count.
constexpr std::optional<SettingKey> numberedKey(SettingKey first, int n, int count)
{
    if (n < 1 || n > count)
        return std::nullopt;
    return SettingKey(int(first) + n - 1);
}

constexpr int kPhraseCount = 9;
constexpr std::optional<SettingKey> phraseKey(int n)
{
    return numberedKey(SettingKey::Phrase1, n, kPhraseCount);
}

// Addresses remembered for the join dialog: enough for the hosts a player
// meets often, few enough to read at a glance in its list.
constexpr int kRecentAddressCount = 10;
constexpr std::optional<SettingKey> recentAddressKey(int n)
{
    return numberedKey(SettingKey::RecentAddress1, n, kRecentAddressCount);
}

} // namespace settings
