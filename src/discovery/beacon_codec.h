// The broadcast beacon's datagram: writing one, and reading one as hostile input.
#pragma once

#include "game_info.h"

#include <QByteArray>
#include <QByteArrayView>

#include <optional>
#include <string_view>

namespace discovery {

// "LXGM": the first bytes of every beacon, so stray traffic on the port is
// dropped before anything else is read.
constexpr std::string_view kBeaconMagic = "LXGM";
constexpr quint8 kBeaconFormatVersion = 1;

// Flag bits of byte 5.
constexpr quint8 kFlagRoundRunning = 0x01;
constexpr quint8 kFlagWithdrawn = 0x02;

struct BeaconMessage {
    Announcement announcement;
    bool withdrawn = false; // the announcer stopped: drop the game at once
};

// Texts too long for their field are cut at a character boundary.
QByteArray encodeBeacon(const BeaconMessage& message);

// Nothing unless the datagram is a well-formed beacon of our format version.
std::optional<BeaconMessage> decodeBeacon(QByteArrayView datagram);

// A name as it goes into an announcement: UTF-8, at most maxBytes, never split
// inside a character. Shared with the DNS-SD text record.
QByteArray announcedText(const QString& text, std::size_t maxBytes);

// The reader's side: valid UTF-8 without control characters, within maxBytes.
std::optional<QString> readAnnouncedText(QByteArrayView bytes, std::size_t maxBytes);

// The protocol version text: 1 to kMaxVersionBytes printable ASCII characters.
bool isVersionText(QByteArrayView bytes);

} // namespace discovery
