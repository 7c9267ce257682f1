// Computer players' names: the marker added within the server's limit, and
// recognised in any window.
#include "computer_name.h"

#include "text_codec.h"
#include "wire_limits.h"

#include <algorithm>

namespace computername {

QString withMarker(const QString& name)
{
    const QString marker = QString::fromLatin1(kMarker);
    QString base = name.trimmed();
    if (base.endsWith(marker))
        base.chop(marker.size());
    base = base.trimmed();
    if (base.isEmpty())
        base = QStringLiteral("Computer");
    // Cut whole characters (never half a surrogate pair) until the name and
    // the marker fit: the server would otherwise cut the marker away.
    while (wire::encodeText(base + marker).size() > wire::kMaxNameBytes) {
        base.chop(base.size() >= 2 && base.back().isLowSurrogate() ? 2 : 1);
        base = base.trimmed();
    }
    return base + marker;
}

bool isComputerName(const QString& name)
{
    const QString trimmed = name.trimmed();
    QStringView rest(trimmed);
    // The number the server adds to a second player of one name, " (2)", comes after the marker.
    if (rest.endsWith(u')')) {
        const qsizetype open = rest.lastIndexOf(u" (");
        const QStringView digits = open < 0 ? QStringView() : rest.sliced(open + 2, rest.size() - open - 3);
        if (!digits.isEmpty()
            && std::all_of(digits.begin(), digits.end(), [](QChar c) { return c >= u'0' && c <= u'9'; }))
            rest = rest.first(open);
    }
    return rest.endsWith(QLatin1String(kMarker));
}

} // namespace computername
