// Preparing a chat line for the pane: one pass over the line, so the pane's
// cost for a line never grows faster than the line.
#include "shown_line.h"

#include <algorithm>

namespace {

constexpr char32_t kReplacement = 0xFFFD;

bool isLineBreakOrTab(char32_t c)
{
    return c == u'\t' || c == u'\n' || c == 0x0B || c == 0x0C || c == u'\r' || c == 0x85 || c == 0x2028
        || c == 0x2029;
}

// The explicit direction marks and controls: never dropped, as the window's
// isolates around other players' text are among them.
bool isDirectionControl(char32_t c)
{
    return c == 0x061C || c == 0x200E || c == 0x200F || (c >= 0x202A && c <= 0x202E)
        || (c >= 0x2066 && c <= 0x2069);
}

// What the layout shapes together with the character before it.
bool stacksOnPrevious(char32_t c)
{
    switch (QChar::category(c)) {
    case QChar::Mark_NonSpacing:
    case QChar::Mark_SpacingCombining:
    case QChar::Mark_Enclosing:
        return true;
    case QChar::Other_Format:
        return !isDirectionControl(c);
    default:
        return false;
    }
}

} // namespace

namespace shownline {

QString shownLine(const QString& line)
{
    QString shown;
    shown.reserve(std::min(line.size(), kMaxLength) + 1);
    int marksInARow = 0;
    for (qsizetype i = 0; i < line.size(); ++i) {
        char32_t c = line[i].unicode();
        qsizetype units = 1;
        if (QChar::isHighSurrogate(c) && i + 1 < line.size() && line[i + 1].isLowSurrogate()) {
            c = QChar::surrogateToUcs4(line[i], line[i + 1]);
            units = 2;
        } else if (QChar::isSurrogate(c)) {
            c = kReplacement;
        }

        if (isLineBreakOrTab(c))
            c = u' ';
        else if (QChar::category(c) == QChar::Other_Control)
            c = kReplacement;

        if (stacksOnPrevious(c)) {
            if (++marksInARow > kMaxMarksInARow) {
                i += units - 1;
                continue;
            }
        } else {
            marksInARow = 0;
        }

        if (shown.size() + (c > 0xFFFF ? 2 : 1) > kMaxLength) {
            shown += QChar(kEllipsis);
            return shown;
        }
        if (c > 0xFFFF) {
            shown += QChar(QChar::highSurrogate(c));
            shown += QChar(QChar::lowSurrogate(c));
        } else {
            shown += QChar(char16_t(c));
        }
        i += units - 1;
    }
    return shown;
}

} // namespace shownline
