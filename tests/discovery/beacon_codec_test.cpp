// The beacon's datagram: round trips, and every malformed form dropped.
#include "beacon_codec.h"
#include "discovery_limits.h"

#include <gtest/gtest.h>

using namespace discovery;

namespace {

Announcement sample()
{
    Announcement a;
    a.instanceId = 0x0123456789ABCDEFull;
    a.hostName = QStringLiteral("Zoë");
    a.machineName = QStringLiteral("kitchen-pc");
    a.gamePort = 7772;
    a.version = QStringLiteral("2.0.5");
    a.status = { 3, 2, true };
    return a;
}

QByteArray withByte(QByteArray data, qsizetype at, quint8 value)
{
    data[at] = static_cast<char>(value);
    return data;
}

} // namespace

TEST(BeaconCodec, RoundTripsEveryField)
{
    for (bool withdrawn : { false, true }) {
        const QByteArray bytes = encodeBeacon({ sample(), withdrawn });
        const auto back = decodeBeacon(bytes);
        ASSERT_TRUE(back.has_value());
        EXPECT_EQ(back->announcement, sample());
        EXPECT_EQ(back->withdrawn, withdrawn);
    }
    Announcement quiet = sample();
    quiet.status = { 0, 0, false };
    quiet.machineName.clear();
    const auto back = decodeBeacon(encodeBeacon({ quiet, false }));
    ASSERT_TRUE(back.has_value());
    EXPECT_EQ(back->announcement, quiet);
}

TEST(BeaconCodec, LayoutIsByteExact)
{
    Announcement a;
    a.instanceId = 0x1122334455667788ull;
    a.hostName = QStringLiteral("Ann");
    a.machineName = QStringLiteral("box");
    a.gamePort = 0x1E5C; // 7772
    a.version = QStringLiteral("2.0.5");
    a.status = { 2, 1, true };
    const QByteArray expected = QByteArray("LXGM\x01\x01\x1E\x5C\x02\x01", 10)
        + QByteArray("\x11\x22\x33\x44\x55\x66\x77\x88", 8)
        + QByteArray("\x05"
                     "2.0.5"
                     "\x03"
                     "Ann"
                     "\x03"
                     "box");
    EXPECT_EQ(encodeBeacon({ a, false }), expected);
    EXPECT_EQ(static_cast<quint8>(encodeBeacon({ a, true })[5]), kFlagRoundRunning | kFlagWithdrawn);
}

TEST(BeaconCodec, DropsWrongMagicVersionAndRanges)
{
    const QByteArray good = encodeBeacon({ sample(), false });
    ASSERT_TRUE(decodeBeacon(good));
    EXPECT_FALSE(decodeBeacon(withByte(good, 0, 'X'))) << "magic";
    EXPECT_FALSE(decodeBeacon(withByte(good, 3, 'm'))) << "magic is case-sensitive";
    EXPECT_FALSE(decodeBeacon(withByte(good, 4, 2))) << "a format version we do not know";
    EXPECT_FALSE(decodeBeacon(withByte(good, 4, 0)));
    EXPECT_FALSE(decodeBeacon(withByte(withByte(good, 6, 0), 7, 0))) << "game port 0";
    EXPECT_FALSE(decodeBeacon(withByte(good, 8, kMaxSeats + 1))) << "seats";
    EXPECT_FALSE(decodeBeacon(withByte(good, 9, kMaxSpies + 1))) << "spies";
    // Flag bits we do not know are left for later versions and ignored.
    EXPECT_TRUE(decodeBeacon(withByte(good, 5, 0xF1)));
}

TEST(BeaconCodec, DropsTruncatedPaddedAndOversizedDatagrams)
{
    const QByteArray good = encodeBeacon({ sample(), false });
    for (qsizetype length = 0; length < good.size(); ++length)
        EXPECT_FALSE(decodeBeacon(good.left(length))) << "cut to " << length;
    EXPECT_FALSE(decodeBeacon(good + '\0')) << "a byte after the last field";
    EXPECT_FALSE(decodeBeacon(good + QByteArray(static_cast<qsizetype>(kMaxDatagramBytes), 'x')));
    // A length byte pointing past the end.
    EXPECT_FALSE(decodeBeacon(withByte(good, 18, 200)));
}

TEST(BeaconCodec, DropsBadTexts)
{
    const auto withName = [](const QByteArray& name) {
        return QByteArray("LXGM\x01\x00\x1E\x5C\x01\x00", 10) + QByteArray(8, '\x07')
            + QByteArray("\x05"
                         "2.0.5")
            + static_cast<char>(name.size()) + name + QByteArray("\x00", 1);
    };
    ASSERT_TRUE(decodeBeacon(withName("Ann")));
    ASSERT_EQ(decodeBeacon(withName("Zo\xC3\xAB"))->announcement.hostName, QStringLiteral("Zoë"));
    EXPECT_FALSE(decodeBeacon(withName(""))) << "no name";
    EXPECT_FALSE(decodeBeacon(withName("Zo\xEB"))) << "Latin-1 is not UTF-8";
    EXPECT_FALSE(decodeBeacon(withName("Zo\xC3"))) << "a character cut short";
    EXPECT_FALSE(decodeBeacon(withName("\xC0\xAF"))) << "an overlong form";
    EXPECT_FALSE(decodeBeacon(withName("\xED\xA0\x80"))) << "a surrogate";
    EXPECT_FALSE(decodeBeacon(withName("Ann\nBob"))) << "a line break";
    EXPECT_FALSE(decodeBeacon(withName("Ann\xC2\x85"))) << "a C1 control";
    EXPECT_FALSE(decodeBeacon(withName(QByteArray(kMaxHostNameBytes + 1, 'a')))) << "too long";
    EXPECT_TRUE(decodeBeacon(withName(QByteArray(kMaxHostNameBytes, 'a'))));

    QByteArray badVersion = encodeBeacon({ sample(), false });
    badVersion[19] = ' ';
    EXPECT_FALSE(decodeBeacon(badVersion)) << "a version text holds printable ASCII only";
}

TEST(BeaconCodec, LongNamesAreCutBetweenCharacters)
{
    // Two-, three- and four-byte characters, with one or two ASCII letters in
    // front so the limit falls inside a character.
    for (const QString& unit : { QStringLiteral("é"), QStringLiteral("€"), QStringLiteral("😀") }) {
        for (const QString& front : { QString(), QStringLiteral("a"), QStringLiteral("ab") }) {
            Announcement a = sample();
            a.hostName = front + unit.repeated(40);
            const QByteArray bytes = encodeBeacon({ a, false });
            const auto back = decodeBeacon(bytes);
            ASSERT_TRUE(back.has_value()) << a.hostName.toStdString();
            const QString name = back->announcement.hostName;
            EXPECT_TRUE(a.hostName.startsWith(name));
            EXPECT_LE(static_cast<std::size_t>(name.toUtf8().size()), kMaxHostNameBytes);
            // Nothing more would have fitted: the next whole character is past the limit.
            EXPECT_GT(
                static_cast<std::size_t>(name.toUtf8().size() + unit.toUtf8().size()), kMaxHostNameBytes);
        }
    }
}
