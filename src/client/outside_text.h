// Text from other players, shown inside the window's own lines: a name that
// holds right-to-left letters or direction controls (U+202E) goes inside a
// directional isolate, so it cannot reorder what the window writes around it.
#pragma once

#include <QString>

inline bool needsIsolate(const QString& text)
{
    for (QChar c : text)
        switch (c.direction()) {
        case QChar::DirR:
        case QChar::DirAL:
        case QChar::DirRLE:
        case QChar::DirRLO:
        case QChar::DirLRE:
        case QChar::DirLRO:
        case QChar::DirPDF:
        case QChar::DirRLI:
        case QChar::DirLRI:
        case QChar::DirFSI:
        case QChar::DirPDI:
            return true;
        default:
            break;
        }
    return false;
}

// The text between U+2068 FIRST STRONG ISOLATE and U+2069 POP DIRECTIONAL
// ISOLATE when it needs them; left as it is otherwise.
inline QString isolated(const QString& outside)
{
    return needsIsolate(outside) ? QChar(0x2068) + outside + QChar(0x2069) : outside;
}
