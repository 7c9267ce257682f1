// The client clock's text: the prefix, then minutes and two-digit seconds,
// never below "0:00".
#pragma once

#include <QString>

inline QString clockText(const QString& prefix, int secondsLeft)
{
    if (secondsLeft <= 0)
        return prefix + "0:00";
    return prefix + QString("%1:%2").arg(secondsLeft / 60).arg(secondsLeft % 60, 2, 10, QChar('0'));
}
