// Computer players' names: the marker added within the server's limit, and
// recognised in any window.
#include "computer_name.h"

#include "text_codec.h"
#include "wire_limits.h"

#include <QRegularExpression>

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
    static const QRegularExpression marked(
        QRegularExpression::escape(QString::fromLatin1(kMarker)) + QStringLiteral("( \\([0-9]+\\))?$"));
    return marked.match(name.trimmed()).hasMatch();
}

} // namespace computername
