// The join dialog's addresses: what reads as one, how it is shown, and the
// list of those last joined as the settings file keeps it.
#include "game_settings.h"
#include "join_address.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using joinaddress::GameAddress;
using joinaddress::parse;
using settings::SettingKey;

TEST(JoinAddress, HostNamesAndAddressesWithAnOptionalPortRead)
{
    EXPECT_EQ(parse("example.org"), (GameAddress { "example.org", 0 }));
    EXPECT_EQ(parse("  10.0.0.5  "), (GameAddress { "10.0.0.5", 0 }));
    EXPECT_EQ(parse("game-box:7780"), (GameAddress { "game-box", 7780 }));
    EXPECT_EQ(parse("host.local.:1"), (GameAddress { "host.local.", 1 }));
    EXPECT_EQ(parse("my_pc:65535"), (GameAddress { "my_pc", 65535 }));
    EXPECT_EQ(parse(QString(63, 'a') + "." + QString(63, 'b')),
        (GameAddress { QString(63, 'a') + "." + QString(63, 'b'), 0 }));
}

TEST(JoinAddress, AnythingElseIsRefused)
{
    for (const char* text : { "", "   ", "host:", "host:0", "host:65536", "host:+80", "host: 80", "host:8a",
             "host:123456", "ho st", "-lead", "trail-", "a..b", ".", "::1", "[::1]:7772", "host:80:90",
             "h\u00e9te", "host/path", "user@host", "a\tb" })
        EXPECT_EQ(parse(QString::fromUtf8(text)), std::nullopt) << text;
    EXPECT_EQ(parse(QString(64, 'a')), std::nullopt) << "a label of 64";
    QString longName;
    while (longName.size() <= joinaddress::kMaxHostLength)
        longName += "abcdefg.";
    EXPECT_EQ(parse(longName + "x"), std::nullopt) << "longer than a DNS name";
}

TEST(JoinAddress, TheGamesOwnPortIsNotWritten)
{
    EXPECT_EQ(joinaddress::addressText({ "10.0.0.5", 0 }, 7772), "10.0.0.5");
    EXPECT_EQ(joinaddress::addressText({ "10.0.0.5", 7772 }, 7772), "10.0.0.5");
    EXPECT_EQ(joinaddress::addressText({ "10.0.0.5", 7780 }, 7772), "10.0.0.5:7780");
}

namespace {

class RecentAddresses : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        path = dir.filePath("brellowlobby.ini");
    }

    void put(const QByteArray& bytes)
    {
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
    }

    QByteArray contents() const
    {
        QFile file(path);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }

    // Remembers one address as the window does: the file read afresh, changed, saved.
    void remember(const QString& address)
    {
        GameSettings stored(path);
        stored.load();
        joinaddress::rememberAddress(stored, address);
        ASSERT_EQ(stored.save(), "");
    }

    QStringList stored() const
    {
        GameSettings stored(path);
        stored.load();
        return joinaddress::recentAddresses(stored);
    }

    QTemporaryDir dir;
    QString path;
};

} // namespace

TEST_F(RecentAddresses, TheMostRecentComesFirstAndOnlyTenAreKept)
{
    for (int n = 1; n <= 12; ++n)
        remember(QString("10.0.0.%1").arg(n));
    QStringList expected;
    for (int n = 12; n >= 3; --n)
        expected << QString("10.0.0.%1").arg(n);
    EXPECT_EQ(stored(), expected);

    GameSettings file(path);
    file.load();
    EXPECT_EQ(file.text(SettingKey::RecentAddress1), "10.0.0.12");
    EXPECT_EQ(file.text(SettingKey::RecentAddress10), "10.0.0.3");
    EXPECT_FALSE(contents().contains("=10.0.0.2")) << "the oldest fell off";
}

TEST_F(RecentAddresses, ARepeatedAddressMovesToTheFront)
{
    remember("alpha");
    remember("beta:7780");
    remember("gamma");
    remember("BETA:7780"); // host names know no letter case
    EXPECT_EQ(stored(), QStringList({ "BETA:7780", "gamma", "alpha" }));
    remember("alpha");
    EXPECT_EQ(stored(), QStringList({ "alpha", "BETA:7780", "gamma" }));
    GameSettings file(path);
    file.load();
    EXPECT_EQ(file.text(SettingKey::RecentAddress4), "") << "no repeat fills a place";
}

TEST_F(RecentAddresses, OtherKeysAndSectionsAreLeftAsTheyWere)
{
    const QByteArray lobby = "[Lobby]\r\nName=Ann\r\nRecentAddress1=lobby-only\r\n";
    put(lobby + "[Lexmire]\r\nTextsize=12\r\nPhrase1=Hi all\r\n");
    remember("10.0.0.5");
    const QByteArray after = contents();
    EXPECT_TRUE(after.startsWith(lobby)) << after.toStdString();
    GameSettings file(path);
    file.load();
    EXPECT_EQ(file.number(SettingKey::Textsize), 12);
    EXPECT_EQ(file.text(SettingKey::Phrase1), "Hi all");
    EXPECT_EQ(file.text(SettingKey::RecentAddress1), "10.0.0.5");
    EXPECT_EQ(stored(), QStringList({ "10.0.0.5" }));
}

TEST_F(RecentAddresses, WhatTheFileHoldsIsReadWithoutJunkGapsOrRepeats)
{
    put("[Lexmire]\nRecentAddress1=good\nRecentAddress2=not an address\nRecentAddress4=GOOD\n"
        "RecentAddress5=other:99\nRecentAddress10=last\n");
    EXPECT_EQ(stored(), QStringList({ "good", "other:99", "last" }));
    remember("new");
    EXPECT_EQ(stored(), QStringList({ "new", "good", "other:99", "last" }));
}
