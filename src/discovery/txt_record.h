// The status of a game as DNS-SD text record strings ("key=value"), written and read.
#pragma once

#include "game_info.h"

#include <QByteArray>
#include <QList>

#include <optional>

namespace discovery {

// Text record strings read from one service at most; an honest one has seven.
constexpr int kMaxTxtStrings = 32;

// The strings of the text record; the game port travels in the service's SRV record.
QList<QByteArray> encodeTxt(const Announcement& announcement);

// Reads the strings of a text record as hostile input: nothing unless every
// required key is present and well-formed. Keys are matched without regard to
// case and the first occurrence of a key counts; unknown keys are ignored, so a
// later version may add some. The port and machine name are left for the caller.
std::optional<Announcement> decodeTxt(const QList<QByteArray>& strings);

} // namespace discovery
