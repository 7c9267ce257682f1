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
// ISOLATE when it needs them; left as it is otherwise. The text's own isolates
// are balanced first: a pop with no opening of its own would close ours early,
// and an opening left unclosed would take our pop, either way letting the
// text reorder the rest of the line. Embeddings and overrides need nothing:
// our pop ends every one still open inside.
inline QString isolated(const QString& outside)
{
    if (!needsIsolate(outside))
        return outside;
    QString text;
    text.reserve(outside.size() + 2);
    text += QChar(0x2068);
    qsizetype open = 0;
    for (QChar c : outside) {
        const QChar::Direction d = c.direction();
        if (d == QChar::DirPDI) {
            if (open == 0)
                continue;
            --open;
        } else if (d == QChar::DirLRI || d == QChar::DirRLI || d == QChar::DirFSI) {
            ++open;
        }
        text += c;
    }
    for (; open > 0; --open)
        text += QChar(0x2069);
    text += QChar(0x2069);
    return text;
}
