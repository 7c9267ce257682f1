// The DNS-SD text record: round trips, and what a reader refuses or ignores.
#include "discovery_limits.h"
#include "txt_record.h"

#include <gtest/gtest.h>

using namespace discovery;

namespace {

Announcement sample()
{
    Announcement a;
    a.instanceId = 0x00000000000ABCDEull;
    a.hostName = QStringLiteral("Ann ✓");
    a.version = QStringLiteral("2.0.5");
    a.status = { 2, 5, true };
    return a;
}

QList<QByteArray> without(QList<QByteArray> strings, const QByteArray& keyPrefix)
{
    strings.removeIf([&](const QByteArray& s) { return s.startsWith(keyPrefix); });
    return strings;
}

QList<QByteArray> replaced(QList<QByteArray> strings, const QByteArray& keyPrefix, const QByteArray& by)
{
    for (QByteArray& s : strings)
        if (s.startsWith(keyPrefix))
            s = by;
    return strings;
}

} // namespace

TEST(TxtRecord, RoundTripsTheStatus)
{
    const QList<QByteArray> strings = encodeTxt(sample());
    EXPECT_TRUE(strings.contains("txtvers=1"));
    EXPECT_TRUE(strings.contains("id=00000000000abcde"));
    EXPECT_TRUE(strings.contains("seats=2"));
    EXPECT_TRUE(strings.contains("spies=5"));
    EXPECT_TRUE(strings.contains("round=1"));
    EXPECT_TRUE(strings.contains("v=2.0.5"));
    for (const QByteArray& s : strings)
        EXPECT_LE(s.size(), 255) << "one text record string holds at most 255 bytes";
    const auto back = decodeTxt(strings);
    ASSERT_TRUE(back.has_value());
    EXPECT_EQ(*back, sample());
}

TEST(TxtRecord, KeysIgnoreCaseFirstWinsAndUnknownOnesPass)
{
    QList<QByteArray> strings = replaced(encodeTxt(sample()), "seats=", "SEATS=1");
    strings.append("seats=4"); // a second one does not count
    strings.append("colour=green");
    strings.append("flag"); // a bare attribute
    strings.append("=nameless");
    const auto back = decodeTxt(strings);
    ASSERT_TRUE(back.has_value());
    EXPECT_EQ(back->status.seatsTaken, 1);
}

TEST(TxtRecord, RefusesMissingOrMalformedValues)
{
    const QList<QByteArray> good = encodeTxt(sample());
    for (const char* key : { "txtvers=", "id=", "name=", "v=", "seats=", "spies=", "round=" })
        EXPECT_FALSE(decodeTxt(without(good, key))) << "without " << key;
    const std::pair<const char*, const char*> bad[] = {
        { "txtvers=", "txtvers=2" },
        { "id=", "id=00000000000ABCDE" }, // upper-case hex is not how ids are written
        { "id=", "id=abc" },
        { "id=", "id=0000000000000000ff" },
        { "name=", "name=" },
        { "name=", "name=Ann\x07" },
        { "name=", "name=\xFF\xFE" },
        { "v=", "v=2.0 5" },
        { "v=", "v=" },
        { "seats=", "seats=5" },
        { "seats=", "seats=-1" },
        { "seats=", "seats=01" },
        { "spies=", "spies=6" },
        { "round=", "round=2" },
        { "round=", "round=yes" },
    };
    for (const auto& [key, value] : bad)
        EXPECT_FALSE(decodeTxt(replaced(good, key, value))) << value;
    EXPECT_FALSE(decodeTxt(replaced(good, "name=", "name=" + QByteArray(kMaxHostNameBytes + 1, 'a'))));
}

TEST(TxtRecord, ReadsOnlyTheFirstStringsOfAHugeRecord)
{
    // Keys past the reading limit are never looked at.
    QList<QByteArray> strings;
    for (int i = 0; i < kMaxTxtStrings; ++i)
        strings.append("pad" + QByteArray::number(i) + "=x");
    strings += encodeTxt(sample());
    EXPECT_FALSE(decodeTxt(strings));
}
