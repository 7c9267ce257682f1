// Levels by number or by name, and names that mark a computer player.
#include "bot_level.h"
#include "computer_name.h"
#include "text_codec.h"
#include "wire_limits.h"

#include <gtest/gtest.h>

#include <algorithm>

TEST(BotLevel, FoundByNumberOrByNameInAnyCase)
{
    for (const BotLevel& level : kBotLevels) {
        EXPECT_EQ(botLevelFrom(QString::number(level.number))->number, level.number);
        EXPECT_EQ(botLevelFrom(QString::fromLatin1(level.name).toUpper())->number, level.number);
        EXPECT_EQ(botLevelFrom(" " + QString::fromLatin1(level.name).toLower() + " ")->number, level.number);
    }
    EXPECT_EQ(botLevelFrom("beginner")->number, 1);
    EXPECT_EQ(botLevelFrom("MaStEr")->number, 5);
    for (const char* text : { "0", "6", "-1", "", "grandmaster", "3.5", "Expertly" })
        EXPECT_FALSE(botLevelFrom(text)) << text;
    EXPECT_FALSE(botLevel(0));
    EXPECT_FALSE(botLevel(kBotLevelCount + 1));
}

TEST(BotLevel, EachLevelIsFasterAndKnowsAtLeastAsManyWordsAsTheOneBelow)
{
    for (std::size_t i = 1; i < kBotLevels.size(); ++i) {
        EXPECT_EQ(kBotLevels[i].number, int(i) + 1);
        EXPECT_GT(kBotLevels[i].wordsPerMinute, kBotLevels[i - 1].wordsPerMinute);
        EXPECT_LE(kBotLevels[i].rarestKnownClass, kBotLevels[i - 1].rarestKnownClass);
        EXPECT_GE(kBotLevels[i].preferredLength, kBotLevels[i - 1].preferredLength);
        EXPECT_LE(kBotLevels[i].halfKnownClass, kBotLevels[i - 1].halfKnownClass);
    }
}

TEST(BotLevel, ALevelKnowsHalfItsHalfKnownClassAndCommonerWordsBetter)
{
    // The class of the source's commonest word, about two million occurrences.
    constexpr int kCommonestClass = 22;
    for (const BotLevel& level : kBotLevels) {
        EXPECT_EQ(knowingChance(level, level.rarestKnownClass - 1), 0) << level.name;
        for (int frequencyClass = std::max(level.rarestKnownClass, 1); frequencyClass <= kCommonestClass;
             ++frequencyClass) {
            const double chance = knowingChance(level, frequencyClass);
            const double rarer = knowingChance(level, frequencyClass - 1);
            EXPECT_GT(chance, 0) << level.name;
            EXPECT_LT(chance, 1) << level.name;
            // Each class commoner makes the odds of knowing a word four times better.
            if (rarer > 0) {
                EXPECT_NEAR(chance / (1 - chance) / (rarer / (1 - rarer)), 4, 1e-6) << level.name;
            }
        }
    }
    BotLevel level = kBotLevels[4];
    level.halfKnownClass = 6;
    EXPECT_DOUBLE_EQ(knowingChance(level, 6), 0.5);
    EXPECT_DOUBLE_EQ(knowingChance(level, 7), 0.8);
    EXPECT_DOUBLE_EQ(knowingChance(level, 5), 0.2);
}

TEST(ComputerName, CarriesTheMarkerOnceAndFitsTheServersLimit)
{
    EXPECT_EQ(computername::withMarker("Ada"), "Ada (computer)");
    EXPECT_EQ(computername::withMarker("  Ada (computer) "), "Ada (computer)");
    EXPECT_EQ(computername::withMarker("   "), "Computer (computer)");
    // A long name loses letters, never the marker; a name beyond Latin-1
    // travels as UTF-8 and is cut between characters.
    for (const QString& name : { QString(200, 'x'), QString::fromUtf8("Zoë🎲").repeated(30) }) {
        const QString marked = computername::withMarker(name);
        EXPECT_TRUE(marked.endsWith(" (computer)"));
        EXPECT_LE(wire::encodeText(marked).size(), wire::kMaxNameBytes);
        EXPECT_TRUE(name.startsWith(marked.chopped(11)));
        EXPECT_EQ(wire::decodeText(wire::encodeText(marked)), marked);
    }
}

TEST(ComputerName, RecognisedAlsoWhenTheServerNumberedIt)
{
    using computername::isComputerName;
    EXPECT_TRUE(isComputerName("Ada (computer)"));
    EXPECT_TRUE(isComputerName("Ada (computer) (2)"));
    EXPECT_TRUE(isComputerName(computername::withMarker(QString(100, 'q'))));
    EXPECT_FALSE(isComputerName("Ada"));
    EXPECT_FALSE(isComputerName("computer"));
    EXPECT_FALSE(isComputerName("Ada (computer) fan"));
    EXPECT_FALSE(isComputerName("Ada (Computer)x"));
    EXPECT_FALSE(isComputerName("Ada (computer) (two)"));
    EXPECT_TRUE(isComputerName(" Ada (computer) (12) "));
    EXPECT_FALSE(isComputerName("Ada (computer) ()"));
    EXPECT_FALSE(isComputerName("Ada (computer)(2)"));
    EXPECT_FALSE(isComputerName("(computer) (3)"));
}

TEST(ComputerName, ShownWithoutItsMarkerWhereAPictureSaysIt)
{
    using computername::withoutMarker;
    EXPECT_EQ(withoutMarker("Ada (computer)"), "Ada");
    EXPECT_EQ(withoutMarker("Ada (computer) (2)"), "Ada (2)") << "the server's number stays";
    EXPECT_EQ(withoutMarker(" Grace (computer) "), "Grace");
    EXPECT_EQ(withoutMarker("Ada"), "Ada");
    EXPECT_EQ(withoutMarker("Ada (computer) fan"), "Ada (computer) fan") << "a person's name as it is";
    EXPECT_EQ(withoutMarker("(computer) (3)"), "(computer) (3)");
}
