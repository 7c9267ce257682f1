// What a stranger on the local network may send a game browser: a beacon
// datagram, or the strings of a DNS-SD text record. Either is refused, or
// reads within its limits and writes back to the same announcement.
#include "fuzz_check.h"

#include "beacon_codec.h"
#include "discovery_limits.h"
#include "txt_record.h"

using namespace discovery;

namespace {

void checkLimits(const Announcement& a)
{
    FUZZ_CHECK(a.status.seatsTaken >= 0 && a.status.seatsTaken <= kMaxSeats);
    FUZZ_CHECK(a.status.spies >= 0 && a.status.spies <= kMaxSpies);
    FUZZ_CHECK(!a.hostName.isEmpty());
    FUZZ_CHECK(static_cast<std::size_t>(a.hostName.toUtf8().size()) <= kMaxHostNameBytes);
    FUZZ_CHECK(static_cast<std::size_t>(a.machineName.toUtf8().size()) <= kMaxMachineNameBytes);
    FUZZ_CHECK(isVersionText(a.version.toLatin1()));
    for (QChar c : a.hostName + a.machineName)
        FUZZ_CHECK(c.category() != QChar::Other_Control);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QByteArrayView whole(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));

    if (const auto beacon = decodeBeacon(whole)) {
        FUZZ_CHECK(static_cast<std::size_t>(size) <= kMaxDatagramBytes);
        FUZZ_CHECK(beacon->announcement.gamePort != 0);
        checkLimits(beacon->announcement);
        const auto again = decodeBeacon(encodeBeacon(*beacon));
        FUZZ_CHECK(
            again && again->announcement == beacon->announcement && again->withdrawn == beacon->withdrawn);
    }

    // The same bytes as a text record, one string per NUL-separated piece.
    QList<QByteArray> strings;
    for (QByteArrayView piece : QByteArray(whole.data(), whole.size()).split('\0'))
        strings.append(piece.toByteArray());
    if (const auto txt = decodeTxt(strings)) {
        checkLimits(*txt);
        const auto again = decodeTxt(encodeTxt(*txt));
        FUZZ_CHECK(again && *again == *txt);
    }
    return 0;
}
