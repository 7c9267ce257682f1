// Computer players' names: the marker added within the server's limit, and
// recognised in any window.
#include "computer_name.h"

#include "text_codec.h"
#include "wire_limits.h"

#include <algorithm>

namespace {

// The name before the number the server adds to a second player of one name
// (" (2)"), and that number's text; the number comes after the marker.
std::pair<QStringView, QStringView> splitNumber(QStringView name)
{
    if (!name.endsWith(u')'))
        return { name, {} };
    const qsizetype open = name.lastIndexOf(u" (");
    const QStringView digits = open < 0 ? QStringView() : name.sliced(open + 2, name.size() - open - 3);
    if (digits.isEmpty()
        || !std::all_of(digits.begin(), digits.end(), [](QChar c) { return c >= u'0' && c <= u'9'; }))
        return { name, {} };
    return { name.first(open), name.sliced(open) };
}

} // namespace

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
    return splitNumber(trimmed).first.endsWith(QLatin1String(kMarker));
}

QString withoutMarker(const QString& name)
{
    const QString trimmed = name.trimmed();
    const auto [base, number] = splitNumber(trimmed);
    if (!base.endsWith(QLatin1String(kMarker)))
        return name;
    return base.chopped(QLatin1String(kMarker).size()).toString() + number.toString();
}

} // namespace computername
