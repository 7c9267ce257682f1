// The name the host and join dialogs offer: the one the window plays under now, unless that is
// the solo game's stand-in, else the one kept from the last game hosted or joined.
#pragma once

#include <QString>

namespace offeredname {

// The name a solo game plays under: none the player chose, so no dialog offers it.
inline constexpr char kSoloName[] = "You";

inline QString offeredName(const QString& playing, const QString& stored)
{
    const QString now = playing.trimmed();
    return now.isEmpty() || now == QLatin1String(kSoloName) ? stored : now;
}

} // namespace offeredname
